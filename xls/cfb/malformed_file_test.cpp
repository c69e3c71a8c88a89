// Damaged and hostile files end in a result code: no crash, no loop, no read
// outside the file (the sanitizer builds run these too).

#include <gtest/gtest.h>

#include <functional>

#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using testing::kChild;
using testing::kLeft;
using testing::kRight;
using testing::kSize;
using testing::kSizeHigh;
using testing::kStart;
using testing::Pattern;
using testing::RawFile;

// Root: "Workbook" (5000 bytes, ten regular sectors), "Small" (100 bytes,
// two mini sectors), storage "Sub" holding "Inner" (10 bytes).
RawFile BaseFile() {
  CompoundFileWriter writer;
  writer.AddStream(writer.Root(), u"Workbook", Pattern(5000, 1));
  writer.AddStream(writer.Root(), u"Small", Pattern(100, 2));
  StorageId sub = 0;
  writer.AddStorage(writer.Root(), u"Sub", sub);
  writer.AddStream(sub, u"Inner", Pattern(10, 3));
  std::vector<std::uint8_t> bytes;
  writer.SaveToBytes(bytes);
  return RawFile(std::move(bytes));
}

// Reads every stream it can reach; returns the first failure, or kOk.
int ReadAll(const CompoundFileReader& file, EntryId storage = 0) {
  std::vector<EntryInfo> children;
  int result = file.Children(storage, children);
  for (const EntryInfo& child : children) {
    std::vector<std::uint8_t> bytes;
    const int r = child.type == EntryType::Storage ? ReadAll(file, child.id) : file.ReadStream(child.id, bytes);
    if (result == kOk) result = r;
  }
  return result;
}

int ReadNamed(const CompoundFileReader& file, std::u16string_view name) {
  EntryInfo info;
  std::vector<std::uint8_t> bytes;
  const int found = file.Find(file.Root(), name, info);
  return found == kOk ? file.ReadStream(info.id, bytes) : found;
}

TEST(CompoundFileMalformed, BaseFileIsSound) {
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(BaseFile().bytes), kOk);
  EXPECT_EQ(ReadAll(file), kOk);
}

TEST(CompoundFileMalformed, BrokenHeadersAreNotCompoundFiles) {
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> mutate;
  };
  const Case cases[] = {
      {"empty", [](auto& b) { b.clear(); }},
      {"signature only", [](auto& b) { b.resize(8); }},
      {"header cut short", [](auto& b) { b.resize(511); }},
      {"wrong signature", [](auto& b) { b[7] = 0xE0; }},
      {"zip-based workbook", [](auto& b) { b = {'P', 'K', 3, 4, 20, 0, 6, 0}; b.resize(2048); }},
      {"wrong byte order", [](auto& b) { b[0x1C] = 0xFF; }},
      {"version 3 with 4096-byte sectors", [](auto& b) { b[0x1E] = 12; }},
      {"version 4 with 512-byte sectors", [](auto& b) { b[0x1A] = 4; }},
      {"version 5", [](auto& b) { b[0x1A] = 5; }},
      {"mini sectors of 128 bytes", [](auto& b) { b[0x20] = 7; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = BaseFile().bytes;
    c.mutate(bytes);
    CompoundFileReader file;
    EXPECT_EQ(file.OpenBytes(bytes), kNotCompoundFile);
    EXPECT_FALSE(file.IsOpen());
  }
}

struct Damage {
  const char* what;
  std::function<void(RawFile&)> mutate;
  int open;        // result of OpenBytes
  int workbook;    // result of reading "Workbook" when the file opens
  int small;       // result of reading "Small" when the file opens
};

std::uint32_t Id(const RawFile& f, const char16_t* name) { return f.FindEntry(name); }
std::uint32_t Start(const RawFile& f, const char16_t* name) { return f.Entry(Id(f, name)).start; }

TEST(CompoundFileMalformed, DamagedStructuresEndInFailureCodes) {
  const Damage cases[] = {
      // Allocation chains of streams.
      {"FAT entry of a stream links to itself",
       [](RawFile& f) { f.SetFat(Start(f, u"Workbook"), Start(f, u"Workbook")); }, kOk, kCorrupt, kOk},
      {"FAT chain loops back after three sectors",
       [](RawFile& f) {
         const auto chain = f.Chain(Start(f, u"Workbook"));
         f.SetFat(chain[2], chain[0]);
       },
       kOk, kCorrupt, kOk},
      {"FAT chain leaves the file", [](RawFile& f) { f.SetFat(Start(f, u"Workbook"), 0x00ABCDEF); }, kOk, kCorrupt,
       kOk},
      {"FAT chain points at a FAT marker", [](RawFile& f) { f.SetFat(Start(f, u"Workbook"), 0xFFFFFFFD); }, kOk,
       kCorrupt, kOk},
      {"stream starts outside the file", [](RawFile& f) { f.SetEntryU32(Id(f, u"Workbook"), kStart, 0x7FFFFFF0); },
       kOk, kCorrupt, kOk},
      {"FAT chain ends before the size", [](RawFile& f) { f.SetFat(Start(f, u"Workbook"), testing::kEnd); }, kOk,
       kCorrupt, kOk},
      {"size larger than the file", [](RawFile& f) { f.SetEntryU32(Id(f, u"Workbook"), kSize, 0xFFFFFFF0); }, kOk,
       kCorrupt, kOk},
      {"garbage in the upper half of a version 3 size",
       [](RawFile& f) { f.SetEntryU32(Id(f, u"Workbook"), kSizeHigh, 0xDEADBEEF); }, kOk, kOk, kOk},
      // The mini stream.
      {"mini FAT entry links to itself",
       [](RawFile& f) { f.SetU32(f.MiniFatEntryOffset(Start(f, u"Small")), Start(f, u"Small")); }, kOk, kOk,
       kCorrupt},
      {"small stream larger than its mini chain", [](RawFile& f) { f.SetEntryU32(Id(f, u"Small"), kSize, 4000); },
       kOk, kOk, kCorrupt},
      {"small stream starts past the mini stream", [](RawFile& f) { f.SetEntryU32(Id(f, u"Small"), kStart, 500); },
       kOk, kOk, kCorrupt},
      {"root's mini stream larger than its chain", [](RawFile& f) { f.SetEntryU32(0, kSize, 0x00100000); }, kOk, kOk,
       kCorrupt},
      {"mini FAT chain loops", [](RawFile& f) { f.SetFat(f.U32(0x3C), f.U32(0x3C)); }, kOk, kOk, kCorrupt},
      // The directory.
      {"root's child is the root", [](RawFile& f) { f.SetEntryU32(0, kChild, 0); }, kCorrupt, 0, 0},
      {"entry whose left sibling is itself",
       [](RawFile& f) { f.SetEntryU32(Id(f, u"Small"), kLeft, Id(f, u"Small")); }, kCorrupt, 0, 0},
      {"two entries pointing at each other",
       [](RawFile& f) {
         f.SetEntryU32(Id(f, u"Small"), kRight, Id(f, u"Workbook"));
         f.SetEntryU32(Id(f, u"Workbook"), kLeft, Id(f, u"Small"));
       },
       kCorrupt, 0, 0},
      {"storage whose child is itself", [](RawFile& f) { f.SetEntryU32(Id(f, u"Sub"), kChild, Id(f, u"Sub")); },
       kCorrupt, 0, 0},
      {"storage whose child is the root", [](RawFile& f) { f.SetEntryU32(Id(f, u"Sub"), kChild, 0); }, kCorrupt, 0,
       0},
      {"sibling beyond the directory", [](RawFile& f) { f.SetEntryU32(Id(f, u"Small"), kLeft, 1000); }, kCorrupt, 0,
       0},
      {"sibling is an unused entry", [](RawFile& f) { f.SetEntryU32(Id(f, u"Small"), kLeft, f.EntryCount() - 1); },
       kCorrupt, 0, 0},
      {"entry of an unknown type", [](RawFile& f) { f.bytes[f.EntryOffset(Id(f, u"Small")) + 0x42] = 7; }, kCorrupt,
       0, 0},
      {"first entry is no root", [](RawFile& f) { f.bytes[f.EntryOffset(0) + 0x42] = 1; }, kCorrupt, 0, 0},
      {"directory chain loops", [](RawFile& f) { f.SetFat(f.U32(0x30), f.U32(0x30)); }, kCorrupt, 0, 0},
      {"directory starts outside the file", [](RawFile& f) { f.SetU32(0x30, 0x01000000); }, kCorrupt, 0, 0},
      {"no directory at all", [](RawFile& f) { f.SetU32(0x30, testing::kEnd); }, kCorrupt, 0, 0},
      {"FAT sector outside the file", [](RawFile& f) { f.SetU32(0x4C, 0x00FFFFFF); }, kCorrupt, 0, 0},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.what);
    RawFile raw = BaseFile();
    c.mutate(raw);
    CompoundFileReader file;
    ASSERT_EQ(file.OpenBytes(raw.bytes), c.open);
    if (c.open != kOk) continue;
    EXPECT_EQ(ReadNamed(file, u"Workbook"), c.workbook);
    EXPECT_EQ(ReadNamed(file, u"Small"), c.small);
  }
}

TEST(CompoundFileMalformed, EveryTruncationOpensOrFailsCleanly) {
  const RawFile base = BaseFile();
  for (std::size_t size = 0; size <= base.bytes.size(); size += 37) {
    std::vector<std::uint8_t> cut(base.bytes.begin(), base.bytes.begin() + static_cast<std::ptrdiff_t>(size));
    CompoundFileReader file;
    const int opened = file.OpenBytes(cut);
    if (opened == kOk) {
      ReadAll(file);
    } else {
      EXPECT_TRUE(opened == kNotCompoundFile || opened == kCorrupt) << size << ": " << opened;
    }
  }
}

TEST(CompoundFileMalformed, ALastSectorCutShortReadsAsZeros) {
  // Some writers leave out the unused tail of the last sector.
  CompoundFileWriter writer;
  writer.AddStream(writer.Root(), u"Workbook", Pattern(4100, 5));
  std::vector<std::uint8_t> bytes;
  writer.SaveToBytes(bytes);
  RawFile raw(bytes);
  // Move the directory's sector to the end by giving the file one more sector that holds it.
  const std::uint32_t lastSector = static_cast<std::uint32_t>(bytes.size() / 512 - 1);
  const std::size_t directoryAt = raw.SectorOffset(raw.U32(0x30));
  raw.bytes.insert(raw.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(directoryAt),
                   bytes.begin() + static_cast<std::ptrdiff_t>(directoryAt) + 512);
  raw.SetFat(lastSector, testing::kEnd);
  raw.SetU32(0x30, lastSector);
  raw.bytes.resize(raw.bytes.size() - 256);  // entries 2 and 3 (unused) are cut off
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(raw.bytes), kOk);
  EXPECT_EQ(ReadNamed(file, u"Workbook"), kOk);
}

TEST(CompoundFileMalformed, StoragesNestedTooDeeplyAreCorrupt) {
  for (int depth : {kMaxStorageDepth, kMaxStorageDepth + 1}) {
    CompoundFileWriter writer;
    StorageId storage = writer.Root();
    for (int level = 0; level < depth; ++level) writer.AddStorage(storage, u"S", storage);
    writer.AddStream(storage, u"Deep", Pattern(10, 1));
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(writer.SaveToBytes(bytes), kOk);
    CompoundFileReader file;
    EXPECT_EQ(file.OpenBytes(bytes), depth <= kMaxStorageDepth ? kOk : kCorrupt) << depth;
  }
}

TEST(CompoundFileMalformed, FilesThatCannotBeReadAreReportedSo) {
  CompoundFileReader file;
  EXPECT_EQ(file.OpenFile("/nonexistent/folder/book.xls"), kCannotRead);
  EXPECT_EQ(file.OpenFile("/tmp"), kCannotRead);
  EXPECT_EQ(file.OpenFile(""), kCannotRead);
}

}  // namespace
}  // namespace xls::cfb
