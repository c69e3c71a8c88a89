// Version 4 files (4096-byte sectors), which the writer never makes but
// other programs do.

#include <gtest/gtest.h>

#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using namespace testing;

std::vector<std::uint8_t> Read(const CompoundFileReader& file, EntryId storage, std::u16string_view name) {
  EntryInfo info;
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(file.Find(storage, name, info), kOk);
  EXPECT_EQ(file.ReadStream(info.id, bytes), kOk);
  return bytes;
}

TEST(CompoundFileVersion4, HandBuiltFileReadsWhole) {
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(HandBuiltVersion4File()), kOk);
  EXPECT_EQ(file.MajorVersion(), 4);
  std::vector<EntryInfo> children;
  ASSERT_EQ(file.Children(file.Root(), children), kOk);
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0].name, u"Sub");
  EXPECT_EQ(children[1].name, u"Small");
  EXPECT_EQ(children[2].name, u"Workbook");
  EXPECT_EQ(children[2].size, 5000u);

  EXPECT_EQ(Read(file, file.Root(), u"WORKBOOK"), kV4Workbook);
  EXPECT_EQ(Read(file, file.Root(), u"small"), kV4Small);
  EXPECT_EQ(Read(file, children[0].id, u"Inner"), kV4Inner);
}

TEST(CompoundFileVersion4, SizesAre64BitsWide) {
  // In version 4 the upper half of a size counts: this one passes the file.
  RawFile raw(HandBuiltVersion4File());
  raw.SetEntryU32(2, kSizeHigh, 1);
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(raw.bytes), kOk);
  EntryInfo info;
  ASSERT_EQ(file.Find(file.Root(), u"Workbook", info), kOk);
  EXPECT_EQ(info.size, 0x100000000ull + 5000);
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(file.ReadStream(info.id, bytes), kCorrupt);
  EXPECT_TRUE(bytes.empty());
}

TEST(CompoundFileVersion4, LastSectorCutShortStillReads) {
  std::vector<std::uint8_t> bytes = HandBuiltVersion4File();
  bytes.resize(bytes.size() - 3000);  // "Workbook" ends 904 bytes into its second sector
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(bytes), kOk);
  EXPECT_EQ(Read(file, file.Root(), u"Workbook"), kV4Workbook);
}

}  // namespace
}  // namespace xls::cfb
