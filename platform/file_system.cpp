#include "platform/file_system.h"

#include <sys/file.h>
#include <unistd.h>

#include <atomic>

namespace platform {
namespace {

std::atomic<const FileSystemCalls*> installed{nullptr};

}  // namespace

const FileSystemCalls& FileSystemCalls::Real() {
  static const FileSystemCalls calls{
      [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
      [](int fd) { return ::close(fd); },
      [](int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); },
      [](int fd, void* buffer, size_t size, off_t offset) { return ::pread(fd, buffer, size, offset); },
      [](int fd, const void* buffer, size_t size) { return ::write(fd, buffer, size); },
      [](int fd) { return ::fsync(fd); },
      [](int fd, struct stat* info) { return ::fstat(fd, info); },
      [](const char* path, struct stat* info) { return ::stat(path, info); },
      [](int fd, mode_t mode) { return ::fchmod(fd, mode); },
      [](int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); },
      [](const char* path, int mode) { return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS); },
      [](const char* from, const char* to) { return ::rename(from, to); },
      [](const char* path) { return ::unlink(path); },
      [](int fd, struct flock* probe) { return ::fcntl(fd, F_OFD_GETLK, probe); },
      [](int fd, int operation) { return ::flock(fd, operation); },
  };
  return calls;
}

const FileSystemCalls& FileSystem() {
  const FileSystemCalls* calls = installed.load();
  return calls ? *calls : FileSystemCalls::Real();
}

ScopedFileSystem::ScopedFileSystem(FileSystemCalls calls)
    : calls_(std::move(calls)), previous_(installed.exchange(&calls_)) {}

ScopedFileSystem::~ScopedFileSystem() { installed.store(previous_); }

}  // namespace platform
