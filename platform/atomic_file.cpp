#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "platform/file_system.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

constexpr int kCreateAttempts = 100;

std::string RandomSuffix(std::mt19937_64& random) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix.push_back(kLetters[random() % (sizeof kLetters - 1)]);
  return suffix;
}

// A target that is a symbolic link is written through: the file it names is
// replaced, the link stays.
fs::path ResolveTarget(const fs::path& target) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    const fs::path resolved = fs::weakly_canonical(target, error);
    if (!error) return resolved;
  }
  return target;
}

fs::path FolderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

}  // namespace

bool IsLockedByAnother(const fs::path& path) {
  const FileSystemCalls& calls = FileSystem();
  const int fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0);
  if (fd < 0) return false;
  // An open file description lock conflicts with the record locks of every
  // process, this one included, and with other descriptions' locks.
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  bool locked = calls.getLock(fd, &probe) == 0 && probe.l_type != F_UNLCK;
  if (!locked) {
    if (calls.flock(fd, LOCK_EX | LOCK_NB) == 0) {
      calls.flock(fd, LOCK_UN);
    } else {
      locked = errno == EWOULDBLOCK;
    }
  }
  calls.close(fd);
  return locked;
}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(int errorNumber) { return Fail(std::strerror(errorNumber)); }

bool AtomicFile::Fail(const std::string& reason) {
  errorText_ = (target_.empty() ? std::string("(no file name)") : target_.string()) + ": " + reason;
  Discard();
  return false;
}

void AtomicFile::Discard() {
  const FileSystemCalls& calls = FileSystem();
  if (fd_ >= 0) calls.close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) calls.unlink(temporary_.c_str());
  temporary_.clear();
}

bool AtomicFile::Create(const fs::path& target, bool createFolder) {
  Discard();
  errorText_.clear();
  target_ = target;
  if (target.empty() || !target.has_filename()) return Fail("no file name");
  target_ = ResolveTarget(target);
  const fs::path folder = FolderOf(target_);
  if (createFolder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return Fail(error.message());
  }

  const FileSystemCalls& calls = FileSystem();
  struct stat info {};
  targetExisted_ = calls.stat(target_.c_str(), &info) == 0;
  if (targetExisted_) {
    if (!S_ISREG(info.st_mode)) return Fail(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    // A read-only file stays untouched even for a user (root) whom the
    // permissions would not stop.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || calls.access(target_.c_str(), W_OK) != 0) {
      return Fail(EACCES);
    }
    if (IsLockedByAnother(target_)) return Fail("locked by another program");
    targetMode_ = info.st_mode & 07777;
    targetOwner_ = info.st_uid;
    targetGroup_ = info.st_gid;
  } else if (errno != ENOENT) {
    return Fail(errno);
  }

  std::mt19937_64 random(std::random_device{}());
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    // Hidden beside the target: ".book.xls.k3j9x0qa.tmp".
    const fs::path candidate = folder / ("." + target_.filename().string() + "." + RandomSuffix(random) + ".tmp");
    // 0666 lets the umask decide the permissions of a new file, as for any file created.
    fd_ = calls.open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd_ >= 0) {
      temporary_ = candidate;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return Fail(errno);
}

bool AtomicFile::Write(const void* bytes, std::size_t count) {
  if (fd_ < 0) return Fail(EBADF);
  const auto* next = static_cast<const char*>(bytes);
  const FileSystemCalls& calls = FileSystem();
  while (count > 0) {
    const ssize_t done = calls.write(fd_, next, count);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return Fail(done < 0 ? errno : ENOSPC);
    next += done;
    count -= static_cast<std::size_t>(done);
  }
  return true;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return Fail(EBADF);
  const FileSystemCalls& calls = FileSystem();
  if (calls.fsync(fd_) != 0) return Fail(errno);
  if (targetExisted_) {
    if (calls.fchmod(fd_, targetMode_) != 0) return Fail(errno);
    // Keeping the owner needs privileges the user may lack; then the file is the user's.
    [[maybe_unused]] const bool ownerKept = calls.fchown(fd_, targetOwner_, targetGroup_) == 0;
    if (IsLockedByAnother(target_)) return Fail("locked by another program");
  }
  const int closed = calls.close(fd_);
  fd_ = -1;
  if (closed != 0) return Fail(errno);
  if (calls.rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno);
  temporary_.clear();
  // Make the rename itself durable; the file is in place whatever this says.
  const int folderFd = calls.open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (folderFd >= 0) {
    calls.fsync(folderFd);
    calls.close(folderFd);
  }
  return true;
}

bool WriteFileAtomically(const fs::path& path, std::string_view contents, std::string* error, bool createFolder) {
  AtomicFile file;
  if (file.Create(path, createFolder) && file.Write(contents) && file.Commit()) return true;
  if (error) *error = file.ErrorText();
  return false;
}

}  // namespace platform
