#pragma once
// Reading compound files (structured storage): a small file system of named
// storages and streams inside one file, in which XLS workbooks live.
//
// The whole file is taken into memory and checked when it is opened: the
// header, the allocation tables, the directory tree. A damaged or hostile
// file ends in a result code (result_codes.h), never in a crash, a loop or a
// read outside the file. Versions 3 (512-byte sectors) and 4 (4096-byte
// sectors) are read.
//
// Usage:
//   CompoundFileReader file;
//   if (file.OpenFile(path) != kOk) ... not a compound file ...
//   EntryInfo book;
//   if (file.Find(file.Root(), u"Workbook", book) == kOk) file.ReadStream(book.id, bytes);
//
// Threads: a reader belongs to one thread at a time; separate readers may
// work on separate threads.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xls/cfb/result_codes.h"

namespace xls::cfb {

// Index of an element in the file's directory; the root storage is 0.
using EntryId = std::uint32_t;

enum class EntryType { Storage, Stream };

struct EntryInfo {
  EntryId id = 0;
  std::u16string name;
  EntryType type = EntryType::Storage;
  std::uint64_t size = 0;  // a stream's size as the directory lists it; 0 for a storage
};

// Storages nested deeper than this below the root make a file corrupt; it
// keeps recursive walks over a file's tree within a bounded depth.
inline constexpr int kMaxStorageDepth = 256;

class CompoundFileReader {
 public:
  // Opens a file from disk, replacing whatever was open before. kOk,
  // kCannotRead, kNotCompoundFile or kCorrupt.
  int OpenFile(const std::filesystem::path& path);
  // Opens a compound file held in memory; the bytes are copied.
  int OpenBytes(std::span<const std::uint8_t> bytes);
  int OpenBytes(std::vector<std::uint8_t>&& bytes);

  bool IsOpen() const { return open_; }
  void Close();

  int MajorVersion() const { return majorVersion_; }  // 3 or 4; 0 while closed
  EntryId Root() const { return 0; }

  // Name, kind and size of an element. kOk or kInvalidHandle.
  int Stat(EntryId id, EntryInfo& out) const;

  // The children of a storage in the order of its directory tree (in a sound
  // file: by length of name, then by name without regard to case). kOk or
  // kInvalidHandle.
  int Children(EntryId storage, std::vector<EntryInfo>& out) const;

  // The child of a storage whose name equals `name` without regard to case
  // ("workbook" finds "Workbook"). kOk, kNotFound or kInvalidHandle.
  int Find(EntryId storage, std::u16string_view name, EntryInfo& out) const;

  // The whole content of a stream. kOk, kInvalidHandle (not a stream), or
  // kCorrupt when its chain loops, leaves the file or is shorter than the
  // listed size. `out` is empty after a failure.
  int ReadStream(EntryId stream, std::vector<std::uint8_t>& out) const;

 private:
  struct Entry {
    std::u16string name;
    std::uint8_t type = 0;  // as stored: 1 storage, 2 stream, 5 root
    std::uint32_t left = 0, right = 0, child = 0;
    std::uint32_t startSector = 0;
    std::uint64_t size = 0;
    bool reachable = false;         // part of the tree below the root
    std::vector<EntryId> children;  // filled for storages reachable from the root
  };

  int Parse();
  int ReadHeader();
  int ReadAllocationTable();
  int ReadDirectory();
  int LinkDirectoryTree();
  int CollectChildren(EntryId storage, std::vector<EntryId>& out, std::vector<bool>& reached) const;
  void ReadMiniStream();

  int ReadSectorChain(std::uint32_t first, std::uint64_t size, std::vector<std::uint8_t>& out) const;
  int ReadMiniChain(std::uint32_t first, std::uint64_t size, std::vector<std::uint8_t>& out) const;
  const std::uint8_t* Sector(std::uint32_t index) const;
  EntryInfo Info(EntryId id) const;
  bool IsStorage(EntryId id) const;

  bool open_ = false;
  std::vector<std::uint8_t> bytes_;  // the file, padded with zeros to whole sectors
  int majorVersion_ = 0;
  std::uint32_t sectorSize_ = 0;
  std::uint32_t sectorCount_ = 0;
  std::uint32_t firstDirectorySector_ = 0;
  std::uint32_t firstMiniFatSector_ = 0;
  std::uint32_t fatSectorCount_ = 0;
  std::uint32_t firstDifatSector_ = 0;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> miniFat_;
  std::vector<std::uint8_t> miniStream_;
  int miniStreamResult_ = 0;  // kOk, or why the small streams cannot be read
  std::vector<Entry> entries_;
};

}  // namespace xls::cfb
