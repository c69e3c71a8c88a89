#include "xls/cfb/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

#include "xls/cfb/result_codes.h"

namespace xls::cfb {

namespace {

constexpr int kCreateAttempts = 100;

std::string RandomSuffix(std::mt19937_64& random) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return suffix;
}

// A target that is a symbolic link is written through: the file it names is
// replaced, the link stays.
std::filesystem::path ResolveTarget(const std::filesystem::path& target) {
  std::error_code error;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    if (!error) return resolved;
  }
  return target;
}

}  // namespace

bool IsLockedByAnother(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  // An open file description lock conflicts with the record locks of every
  // process, this one included, and with other descriptions' locks.
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  bool locked = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  if (!locked) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::flock(fd, LOCK_UN);
    } else {
      locked = errno == EWOULDBLOCK;
    }
  }
  ::close(fd);
  return locked;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

int AtomicFile::Create(const std::filesystem::path& target) {
  Discard();
  if (target.empty() || !target.has_filename()) return kCannotCreate;
  target_ = ResolveTarget(target);

  struct stat info {};
  targetExisted_ = ::stat(target_.c_str(), &info) == 0;
  if (targetExisted_) {
    // A read-only file stays untouched even for a user (root) whom the
    // permissions would not stop.
    const bool readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                          ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0;
    if (!S_ISREG(info.st_mode) || readOnly || IsLockedByAnother(target_)) return kCannotCreate;
    targetMode_ = info.st_mode & 07777;
    targetOwner_ = info.st_uid;
    targetGroup_ = info.st_gid;
  } else if (errno != ENOENT) {
    return kCannotCreate;
  }

  const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
  std::mt19937_64 random(std::random_device{}());
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string name = ".";  // hidden beside the target: ".book.xls.k3j9x0qa.tmp"
    name += target_.filename().string();
    name += '.';
    name += RandomSuffix(random);
    name += ".tmp";
    const std::filesystem::path candidate = folder / name;
    // 0666 lets the umask decide the permissions of a new file, as for any file created.
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd_ >= 0) {
      temporary_ = candidate;
      return kOk;
    }
    if (errno != EEXIST) break;
  }
  return kCannotCreate;
}

int AtomicFile::Commit() {
  if (fd_ < 0) return kCannotCreate;
  bool ok = ::fsync(fd_) == 0;
  if (ok && targetExisted_) {
    ok = ::fchmod(fd_, targetMode_) == 0;
    // Keeping the owner needs privileges the user may lack; then the file is the user's.
    [[maybe_unused]] const bool ownerKept = ::fchown(fd_, targetOwner_, targetGroup_) == 0;
  }
  ok = ok && !(targetExisted_ && IsLockedByAnother(target_));
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && ::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    Discard();
    return kCannotCreate;
  }
  temporary_.clear();
  // Make the rename itself durable; the file is in place whatever this says.
  const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
  return kOk;
}

}  // namespace xls::cfb
