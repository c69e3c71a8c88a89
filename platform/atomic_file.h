#pragma once
// The one way the program replaces a file: the new content goes to a hidden
// temporary file in the target's folder, is flushed to disk and renamed over
// the target only when complete. Readers see the old or the new content,
// never half a file; a failed or abandoned write leaves the old file as it
// was and no temporary file behind.
//
// The target is checked first and refused when it is a folder or another
// non-regular file, read-only (even for root), or locked by another program
// (fcntl or flock). A symbolic link is written through: the file it names is
// replaced, the link stays. The new file keeps the permissions (and, where
// allowed, the owner) of the file it replaces; a new file gets the default
// permissions of the user's umask.
//
// Every call goes through platform::FileSystem(). Threads: an AtomicFile is
// used by one thread at a time; different files may be written concurrently.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // without Commit: the temporary file goes, the target stays
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Checks the target and creates the temporary file; the target's folder is
  // created first when `createFolder` is true and it is missing.
  bool Create(const std::filesystem::path& target, bool createFolder = false);
  // Appends to the temporary file; false (with the error kept) when not all
  // bytes could be written.
  bool Write(const void* bytes, std::size_t count);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // Syncs, gives the target's permissions, checks the lock once more and
  // renames over the target. The temporary file is gone either way.
  bool Commit();

  // Why the last call failed: "<path>: <reason>".
  const std::string& ErrorText() const { return errorText_; }

 private:
  bool Fail(int errorNumber);
  bool Fail(const std::string& reason);
  void Discard();

  std::filesystem::path target_;  // symbolic links resolved
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool targetExisted_ = false;
  mode_t targetMode_ = 0;
  uid_t targetOwner_ = 0;
  gid_t targetGroup_ = 0;
  std::string errorText_;
};

// The whole of `contents` as the new content of `path`. False with `error`
// ("<path>: <reason>") filled when the file cannot be written.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error,
                         bool createFolder = false);

// True when another open file holds an fcntl or flock lock on `path` that a
// writer must honour. (Closing its probe drops the record locks this process
// itself may hold on the file, as closing any descriptor of a file does; the
// program holds none on the files it writes.)
bool IsLockedByAnother(const std::filesystem::path& path);

}  // namespace platform
