#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

std::string Describe(const std::filesystem::path& path, int errorNumber) {
  return path.string() + ": " + std::strerror(errorNumber);
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error,
                         bool createFolder) {
  auto fail = [&](int errorNumber) {
    if (error) *error = Describe(path, errorNumber);
    return false;
  };
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  if (createFolder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail(ec.value());
  }
  // A hidden name next to the file: ".<name>.XXXXXX".
  std::string hiddenName = ".";
  hiddenName += path.filename().string();
  hiddenName += ".XXXXXX";
  std::string temporary = (folder / hiddenName).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return fail(errno);

  // Keep the permissions of the file being replaced (mkostemp makes 0600).
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  int errorNumber = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, contents) || ::fsync(fd) != 0) errorNumber = errno;
  if (::close(fd) != 0 && errorNumber == 0) errorNumber = errno;
  if (errorNumber == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) errorNumber = errno;
  if (errorNumber != 0) {
    ::unlink(temporary.c_str());
    return fail(errorNumber);
  }
  return true;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error && errno != ENOENT) *error = Describe(path, errno);
    return std::nullopt;
  }
  std::string text;
  char buffer[8192];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      text.append(buffer, static_cast<size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      if (error) *error = Describe(path, errno);
      ::close(fd);
      return std::nullopt;
    }
  }
  ::close(fd);
  return text;
}

}  // namespace platform
