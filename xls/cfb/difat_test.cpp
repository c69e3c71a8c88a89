// Files whose allocation table passes the 109 sectors the header can list.

#include <gtest/gtest.h>

#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using testing::Pattern;
using testing::RawFile;

std::uint32_t DifatSectorsFor(std::uint32_t fatSectors) {
  return fatSectors > 109 ? (fatSectors - 109 + 126) / 127 : 0;
}

// The size of a "Workbook" stream that fills exactly `fatSectors` FAT
// sectors: every sector the FAT can describe is used by the stream, the one
// directory sector, the FAT and the DIFAT.
std::size_t StreamSizeFillingFat(std::uint32_t fatSectors) {
  const std::uint32_t streamSectors = fatSectors * 128 - 1 - fatSectors - DifatSectorsFor(fatSectors);
  return std::size_t{streamSectors} * 512;
}

std::vector<std::uint8_t> FileWithStream(std::size_t size) {
  CompoundFileWriter writer;
  EXPECT_EQ(writer.AddStream(writer.Root(), u"Workbook", Pattern(size, 9)), kOk);
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(writer.SaveToBytes(bytes), kOk);
  return bytes;
}

void ExpectWorkbookReadsBack(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(bytes), kOk);
  EntryInfo info;
  ASSERT_EQ(file.Find(file.Root(), u"Workbook", info), kOk);
  std::vector<std::uint8_t> read;
  ASSERT_EQ(file.ReadStream(info.id, read), kOk);
  EXPECT_TRUE(read == Pattern(size, 9));
}

TEST(CompoundFileDifat, FilesOf108To110FatSectorsAndTheNextSectorBeyond) {
  for (std::uint32_t fatSectors : {108u, 109u, 110u}) {
    SCOPED_TRACE(fatSectors);
    const std::size_t size = StreamSizeFillingFat(fatSectors);
    const RawFile full(FileWithStream(size));
    EXPECT_EQ(full.FatSectorCount(), fatSectors);
    EXPECT_EQ(full.DifatSectorCount(), DifatSectorsFor(fatSectors));
    EXPECT_EQ(full.FirstDifatSector() == testing::kEnd, fatSectors <= 109);
    EXPECT_EQ(full.bytes.size(), 512u * (1 + fatSectors * 128));
    // Header entries beyond the FAT are free; DIFAT entries beyond it too.
    for (std::uint32_t i = fatSectors; i < 109; ++i) EXPECT_EQ(full.U32(0x4C + 4 * i), testing::kFree);
    if (fatSectors == 110) {
      const std::size_t difat = full.SectorOffset(full.FirstDifatSector());
      EXPECT_EQ(full.U32(difat + 4), testing::kFree);
      EXPECT_EQ(full.U32(difat + 508), testing::kEnd);
      EXPECT_EQ(full.Fat(full.FirstDifatSector()), 0xFFFFFFFCu);
    }
    for (std::uint32_t s : full.FatSectors()) EXPECT_EQ(full.Fat(s), 0xFFFFFFFDu);
    ExpectWorkbookReadsBack(full.bytes, size);

    // One sector more needs one FAT sector more (and, past 109, a DIFAT sector).
    const RawFile more(FileWithStream(size + 1));
    EXPECT_EQ(more.FatSectorCount(), fatSectors + 1);
    EXPECT_EQ(more.DifatSectorCount(), DifatSectorsFor(fatSectors + 1));
    ExpectWorkbookReadsBack(more.bytes, size + 1);
  }
}

TEST(CompoundFileDifat, BrokenDifatChainsAreCorrupt) {
  const RawFile base(FileWithStream(StreamSizeFillingFat(110)));
  const std::uint32_t difat = base.FirstDifatSector();
  const std::size_t difatAt = base.SectorOffset(difat);
  const std::uint32_t sectors = static_cast<std::uint32_t>(base.bytes.size() / 512 - 1);

  struct Case {
    const char* what;
    void (*mutate)(RawFile&, std::uint32_t difat, std::size_t difatAt);
  };
  const Case cases[] = {
      {"DIFAT sector links to itself",
       [](RawFile& f, std::uint32_t d, std::size_t at) {
         // Full of valid FAT sector numbers, so only the loop is wrong.
         for (int i = 0; i < 127; ++i) f.SetU32(at + 4 * i, f.U32(0x4C));
         f.SetU32(at + 508, d);
         f.SetU32(0x2C, 109 + 127 + 10);
       }},
      {"first DIFAT sector out of range", [](RawFile& f, std::uint32_t, std::size_t) { f.SetU32(0x44, 0x00FFFF00); }},
      {"DIFAT chain ends before the FAT count",
       [](RawFile& f, std::uint32_t, std::size_t at) {
         for (int i = 0; i < 127; ++i) f.SetU32(at + 4 * i, f.U32(0x4C));
         f.SetU32(0x2C, 109 + 127 + 1);
       }},
      {"free DIFAT entry within the FAT count", [](RawFile& f, std::uint32_t, std::size_t) { f.SetU32(0x2C, 111); }},
      {"FAT count beyond the file", [](RawFile& f, std::uint32_t, std::size_t) { f.SetU32(0x2C, 0x7FFFFFFF); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RawFile file = base;
    c.mutate(file, difat, difatAt);
    CompoundFileReader reader;
    EXPECT_EQ(reader.OpenBytes(file.bytes), kCorrupt);
    EXPECT_FALSE(reader.IsOpen());
  }
  EXPECT_GT(sectors, 109u + 127u + 10u);  // the loop case is not refused by the count alone
}

TEST(CompoundFileDifat, WrongDifatCountInTheHeaderIsIgnored) {
  // The chain, not the count, tells where the FAT sectors are.
  RawFile file(FileWithStream(StreamSizeFillingFat(110)));
  file.SetU32(0x48, 7);
  ExpectWorkbookReadsBack(file.bytes, StreamSizeFillingFat(110));
}

}  // namespace
}  // namespace xls::cfb
