#pragma once
// Writing compound files (version 3, 512-byte sectors) as spreadsheet
// programs expect them: streams shorter than 4,096 bytes in the mini stream,
// DIFAT sectors once the allocation table needs more than 109 sectors, each
// storage's children in a valid red-black tree.
//
// The file is built in memory and written in one go by Commit: into a
// temporary file in the target's folder, which replaces the target only once
// everything was written. Whatever fails on the way, the old file stays as it
// was and a result code comes back (result_codes.h).
//
// Usage (the workbook's SaveAs):
//   CompoundFileWriter file;
//   if (file.Create(path) != kOk) return kCannotCreate;   // -2
//   file.AddStream(file.Root(), u"Workbook", std::move(workbookBytes));
//   file.CopyStorage(input, vbaStorageId, file.Root());   // or TXLSFileStorage::WriteTo
//   return file.Commit();
//
// Threads: a writer belongs to one thread at a time; separate writers may
// work on separate threads.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xls/cfb/compound_file_reader.h"

namespace platform {
class AtomicFile;
}

namespace xls::cfb {


// A storage of the file being written; the root is 0.
using StorageId = std::uint32_t;

class CompoundFileWriter {
 public:
  CompoundFileWriter();
  // Removes the temporary file of a writer that was not committed; the
  // target is left as it was.
  ~CompoundFileWriter();
  CompoundFileWriter(const CompoundFileWriter&) = delete;
  CompoundFileWriter& operator=(const CompoundFileWriter&) = delete;

  // Makes sure a file can be written at `target` (which it will replace) and
  // creates the temporary file beside it. kCannotCreate when the folder is
  // missing or not writable, the target is a folder, is read-only or is
  // locked by another program (an fcntl or flock lock).
  int Create(const std::filesystem::path& target);

  StorageId Root() const { return 0; }

  // Adds an empty storage to `parent`. An element of the same name (without
  // regard to case) is replaced, as creating it anew in a storage does.
  // kOk, kInvalidName or kInvalidHandle.
  int AddStorage(StorageId parent, std::u16string_view name, StorageId& created);

  // Adds a stream holding `bytes` to `parent`, replacing an element of the
  // same name. kOk, kInvalidName, kInvalidHandle or kTooLarge (4 GiB or more).
  int AddStream(StorageId parent, std::u16string_view name, std::vector<std::uint8_t> bytes);

  // Copies the storage `sourceStorage` of an open file, with its name and
  // its whole subtree, into `parent`. kOk, or the first failure (a stream that
  // cannot be read, a name this writer refuses); a failed copy leaves no part
  // of itself behind.
  int CopyStorage(const CompoundFileReader& source, EntryId sourceStorage, StorageId parent);

  // Writes the file to the temporary file of Create and renames it over the
  // target. kOk, kCannotCreate (write, sync or rename failed, or the target
  // got locked since Create), kTooLarge, or kWrongState without a Create or
  // after a Commit.
  int Commit();

  // The whole file as bytes, for callers that keep it in memory.
  int SaveToBytes(std::vector<std::uint8_t>& out) const;

 private:
  struct Node {
    std::u16string name;
    bool isStorage = false;
    std::vector<std::uint8_t> data;
    std::vector<std::uint32_t> children;  // node indexes
  };

  int AddNode(StorageId parent, std::u16string_view name, bool isStorage, std::uint32_t& created);
  int CopyChildren(const CompoundFileReader& source, EntryId sourceStorage, StorageId parent, int depth);
  void Detach(StorageId parent, std::uint32_t child);

  std::vector<Node> nodes_;
  std::unique_ptr<platform::AtomicFile> pending_;  // from Create until Commit
};

}  // namespace xls::cfb
