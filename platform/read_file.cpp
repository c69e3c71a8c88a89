#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/file_system.h"

namespace platform {

namespace {

std::string Describe(const std::filesystem::path& path, int errorNumber) {
  return path.string() + ": " + std::strerror(errorNumber);
}

// Reads the regular file at `path` into `out`; 0, or the error number.
template <typename Bytes>
int ReadInto(const std::filesystem::path& path, Bytes& out) {
  const FileSystemCalls& calls = FileSystem();
  // Non-blocking, so that opening a pipe never waits for a writer.
  const int fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0);
  if (fd < 0) return errno;
  int errorNumber = 0;
  struct stat info {};
  if (calls.fstat(fd, &info) != 0) {
    errorNumber = errno;
  } else if (!S_ISREG(info.st_mode)) {
    errorNumber = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
  }
  try {
    if (errorNumber == 0) out.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    while (errorNumber == 0) {
      const ssize_t count = calls.read(fd, buffer, sizeof buffer);
      if (count > 0) {
        out.insert(out.end(), buffer, buffer + count);
      } else if (count == 0) {
        break;
      } else if (errno != EINTR) {
        errorNumber = errno;
      }
    }
  } catch (const std::bad_alloc&) {
    errorNumber = ENOMEM;
  }
  calls.close(fd);
  return errorNumber;
}

template <typename Bytes>
std::optional<Bytes> ReadWhole(const std::filesystem::path& path, std::string* error) {
  Bytes bytes;
  if (const int errorNumber = ReadInto(path, bytes); errorNumber != 0) {
    if (error && errorNumber != ENOENT) *error = Describe(path, errorNumber);
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error) {
  return ReadWhole<std::string>(path, error);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFileBytes(const std::filesystem::path& path, std::string* error) {
  return ReadWhole<std::vector<std::uint8_t>>(path, error);
}

std::optional<char> LastByteOfFile(const std::filesystem::path& path) {
  const FileSystemCalls& calls = FileSystem();
  const int fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0);
  if (fd < 0) return std::nullopt;
  std::optional<char> last;
  struct stat info {};
  char byte = 0;
  if (calls.fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      calls.pread(fd, &byte, 1, info.st_size - 1) == 1) {
    last = byte;
  }
  calls.close(fd);
  return last;
}

bool AppendToFile(const std::filesystem::path& path, std::string_view text, std::string* error) {
  const FileSystemCalls& calls = FileSystem();
  const int fd = calls.open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  int errorNumber = fd < 0 ? errno : 0;
  while (errorNumber == 0 && !text.empty()) {
    const ssize_t done = calls.write(fd, text.data(), text.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      errorNumber = done < 0 ? errno : ENOSPC;
    } else {
      text.remove_prefix(static_cast<std::size_t>(done));
    }
  }
  if (fd >= 0 && calls.close(fd) != 0 && errorNumber == 0) errorNumber = errno;
  if (errorNumber != 0 && error) *error = Describe(path, errorNumber);
  return errorNumber == 0;
}

}  // namespace platform
