#pragma once
// A file that replaces its target all at once: written under a temporary name
// in the target's folder and renamed over the target only when complete.
// Until then the target keeps its old content; a file given up (destroyed
// without Commit) leaves no trace.

#include <filesystem>

namespace xls::cfb {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Checks the target and creates the temporary file. kOk or kCannotCreate:
  // an empty path, a missing or read-only folder, a target that is a folder or
  // another non-regular file, a read-only target, a target locked by another
  // program (fcntl or flock), a failure to create the temporary file.
  int Create(const std::filesystem::path& target);

  // The temporary file, open for writing; -1 before Create.
  int Descriptor() const { return fd_; }

  // Syncs the temporary file, gives it the target's permissions (or the
  // default ones for a new file), checks the lock once more and renames it
  // over the target. kOk or kCannotCreate; the temporary file is gone either way.
  int Commit();

 private:
  void Discard();

  std::filesystem::path target_;  // symbolic links resolved
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool targetExisted_ = false;
  unsigned targetMode_ = 0;
  unsigned targetOwner_ = 0, targetGroup_ = 0;
};

// True when another open file holds an fcntl or flock lock on `path` that a
// writer must honour. (Closing its probe drops the record locks
// this process itself may hold on the file, as closing any descriptor of a
// file does; the program holds none on the files it saves.)
bool IsLockedByAnother(const std::filesystem::path& path);

}  // namespace xls::cfb
