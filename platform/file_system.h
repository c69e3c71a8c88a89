#pragma once
// The file system calls behind the program's files (the workbook, the
// settings store, INI files, the reference store, the component log), in one
// replaceable table as the serial port has for its calls, so that tests can
// inject a full disk, a failed rename or a permission error.
//
// Threads: the table is process-wide; FileSystem() may be read from any
// thread. A test installs its table (ScopedFileSystem) while no other thread
// touches files, and removes it the same way.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <functional>

namespace platform {

struct FileSystemCalls {
  std::function<int(const char* path, int flags, mode_t mode)> open;
  std::function<int(int fd)> close;
  std::function<ssize_t(int fd, void* buffer, size_t size)> read;
  std::function<ssize_t(int fd, void* buffer, size_t size, off_t offset)> pread;
  std::function<ssize_t(int fd, const void* buffer, size_t size)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int fd, struct stat* info)> fstat;
  std::function<int(const char* path, struct stat* info)> stat;
  std::function<int(int fd, mode_t mode)> fchmod;
  std::function<int(int fd, uid_t owner, gid_t group)> fchown;
  // faccessat with AT_EACCESS: what the effective user may do with `path`.
  std::function<int(const char* path, int mode)> access;
  std::function<int(const char* from, const char* to)> rename;
  std::function<int(const char* path)> unlink;
  // fcntl with F_OFD_GETLK, and flock: the probes for another program's lock.
  std::function<int(int fd, struct flock* probe)> getLock;
  std::function<int(int fd, int operation)> flock;

  static const FileSystemCalls& Real();
};

// The table in use: the real calls unless a test installed its own.
const FileSystemCalls& FileSystem();

// Installs `calls` for its lifetime (tests). Start from FileSystemCalls::Real()
// and replace the calls to fail.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystemCalls calls);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystemCalls calls_;
  const FileSystemCalls* previous_;
};

}  // namespace platform
