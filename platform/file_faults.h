#pragma once
// File system tables for tests (platform/file_system.h): the real calls with
// one of them failing as a full disk, a failed rename or an unreadable file
// would. Install one with platform::ScopedFileSystem.
//
// Threads: install a table only while no other thread touches files (see
// platform/file_system.h).

#include <cerrno>
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace platform::testing {

// Writes succeed until `room` bytes have been written in all, then fail
// with ENOSPC (the write that reaches the limit is cut short), as on a disk
// that fills up.
inline FileSystemCalls FullDiskAfter(std::size_t room) {
  FileSystemCalls calls = FileSystemCalls::Real();
  auto left = std::make_shared<std::size_t>(room);
  calls.write = [left, real = calls.write](int fd, const void* buffer, size_t size) -> ssize_t {
    if (*left == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t done = real(fd, buffer, std::min(size, *left));
    if (done > 0) *left -= static_cast<std::size_t>(done);
    return done;
  };
  return calls;
}

// Every rename fails with `errorNumber`.
inline FileSystemCalls FailingRename(int errorNumber = EIO) {
  FileSystemCalls calls = FileSystemCalls::Real();
  calls.rename = [errorNumber](const char*, const char*) {
    errno = errorNumber;
    return -1;
  };
  return calls;
}

// Opening `path` fails with `errorNumber` (EACCES: no permission to read).
inline FileSystemCalls UnopenableFile(const std::filesystem::path& path, int errorNumber = EACCES) {
  FileSystemCalls calls = FileSystemCalls::Real();
  calls.open = [path = path.string(), errorNumber, real = calls.open](const char* name, int flags, mode_t mode) {
    if (name == path) {
      errno = errorNumber;
      return -1;
    }
    return real(name, flags, mode);
  };
  return calls;
}

// Reading any file fails with `errorNumber` after the first `bytes` bytes
// (EIO: a failing disk or a pulled-out stick).
inline FileSystemCalls ReadFailsAfter(std::size_t bytes, int errorNumber = EIO) {
  FileSystemCalls calls = FileSystemCalls::Real();
  auto left = std::make_shared<std::size_t>(bytes);
  calls.read = [left, errorNumber, real = calls.read](int fd, void* buffer, size_t size) -> ssize_t {
    if (*left == 0) {
      errno = errorNumber;
      return -1;
    }
    const ssize_t done = real(fd, buffer, std::min(size, *left));
    if (done > 0) *left -= static_cast<std::size_t>(done);
    return done;
  };
  return calls;
}

}  // namespace platform::testing
