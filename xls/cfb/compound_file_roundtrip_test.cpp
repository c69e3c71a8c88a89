// Files the writer makes, read back by the reader.

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using testing::Pattern;
using testing::RawFile;

std::vector<std::uint8_t> Save(const CompoundFileWriter& writer) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(writer.SaveToBytes(bytes), kOk);
  return bytes;
}

std::vector<std::uint8_t> ReadNamed(const CompoundFileReader& file, EntryId storage, std::u16string_view name) {
  EntryInfo info;
  EXPECT_EQ(file.Find(storage, name, info), kOk);
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(file.ReadStream(info.id, bytes), kOk);
  EXPECT_EQ(bytes.size(), info.size);
  return bytes;
}

TEST(CompoundFileRoundTrip, WorkbookStreamOfEverySizeReadsBackIdentical) {
  // Around the mini stream cutoff (4096), mini and regular sector sizes, and large.
  for (std::size_t size : {0u, 1u, 63u, 64u, 65u, 511u, 512u, 513u, 4095u, 4096u, 4097u, 100000u, 3000001u}) {
    SCOPED_TRACE(size);
    CompoundFileWriter writer;
    const auto content = Pattern(size, static_cast<std::uint32_t>(size));
    ASSERT_EQ(writer.AddStream(writer.Root(), u"Workbook", content), kOk);
    CompoundFileReader file;
    ASSERT_EQ(file.OpenBytes(Save(writer)), kOk);
    EXPECT_EQ(file.MajorVersion(), 3);
    EXPECT_EQ(ReadNamed(file, file.Root(), u"Workbook"), content);
  }
}

TEST(CompoundFileRoundTrip, StreamsBelow4096BytesLiveInTheMiniStream) {
  struct Case {
    std::size_t size;
    bool mini;
  };
  for (const Case c : {Case{1, true}, Case{4095, true}, Case{4096, false}, Case{4097, false}}) {
    SCOPED_TRACE(c.size);
    CompoundFileWriter writer;
    const auto content = Pattern(c.size, 7);
    writer.AddStream(writer.Root(), u"Workbook", content);
    const RawFile raw(Save(writer));
    const testing::RawEntry root = raw.Entry(0);
    const testing::RawEntry book = raw.Entry(raw.FindEntry(u"Workbook"));
    EXPECT_EQ(book.size, c.size);
    if (c.mini) {
      // The root owns the mini stream; the stream's start is a mini sector.
      EXPECT_GE(root.size, c.size);
      EXPECT_EQ(root.size % 64, 0u);
      EXPECT_GT(raw.U32(0x40), 0u) << "mini FAT sectors";
      const std::size_t at = raw.SectorOffset(root.start) + 64 * book.start;
      EXPECT_TRUE(std::equal(content.begin(), content.end(), raw.bytes.begin() + static_cast<std::ptrdiff_t>(at)));
    } else {
      EXPECT_EQ(root.size, 0u);
      EXPECT_EQ(root.start, testing::kEnd);
      EXPECT_EQ(raw.Chain(book.start).size(), (c.size + 511) / 512);
      EXPECT_TRUE(std::equal(content.begin(), content.begin() + 512,
                             raw.bytes.begin() + static_cast<std::ptrdiff_t>(raw.SectorOffset(book.start))));
    }
  }
}

TEST(CompoundFileRoundTrip, NestedStoragesKeepNamesAndBytes) {
  CompoundFileWriter writer;
  StorageId vba = 0, inner = 0, empty = 0;
  ASSERT_EQ(writer.AddStorage(writer.Root(), u"_VBA_PROJECT_CUR", vba), kOk);
  ASSERT_EQ(writer.AddStream(vba, u"PROJECT", Pattern(300, 1)), kOk);
  ASSERT_EQ(writer.AddStorage(vba, u"VBA", inner), kOk);
  ASSERT_EQ(writer.AddStream(inner, u"dir", Pattern(5000, 2)), kOk);
  ASSERT_EQ(writer.AddStream(inner, u"_VBA_PROJECT", {}), kOk);
  ASSERT_EQ(writer.AddStorage(inner, u"Empty", empty), kOk);
  ASSERT_EQ(writer.AddStream(writer.Root(), u"Workbook", Pattern(9000, 3)), kOk);

  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(Save(writer)), kOk);
  EntryInfo vbaInfo, innerInfo, emptyInfo;
  ASSERT_EQ(file.Find(file.Root(), u"_vba_project_cur", vbaInfo), kOk);
  EXPECT_EQ(vbaInfo.name, u"_VBA_PROJECT_CUR");
  EXPECT_EQ(vbaInfo.type, EntryType::Storage);
  ASSERT_EQ(file.Find(vbaInfo.id, u"VBA", innerInfo), kOk);
  EXPECT_EQ(ReadNamed(file, vbaInfo.id, u"PROJECT"), Pattern(300, 1));
  EXPECT_EQ(ReadNamed(file, innerInfo.id, u"dir"), Pattern(5000, 2));
  EXPECT_TRUE(ReadNamed(file, innerInfo.id, u"_VBA_PROJECT").empty());
  ASSERT_EQ(file.Find(innerInfo.id, u"Empty", emptyInfo), kOk);
  std::vector<EntryInfo> none;
  EXPECT_EQ(file.Children(emptyInfo.id, none), kOk);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(ReadNamed(file, file.Root(), u"Workbook"), Pattern(9000, 3));
}

TEST(CompoundFileRoundTrip, NamesAreFoundWithoutRegardToCaseAndListedInDirectoryOrder) {
  CompoundFileWriter writer;
  for (const char16_t* name : {u"Workbook", u"BOOK", u"\u0105b", u"zz", u"\u0005SummaryInformation"}) {
    ASSERT_EQ(writer.AddStream(writer.Root(), name, Pattern(10, 1)), kOk);
  }
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(Save(writer)), kOk);
  EntryInfo info;
  for (const char16_t* query : {u"workbook", u"WORKBOOK", u"book", u"\u0104B", u"ZZ"}) {
    EXPECT_EQ(file.Find(file.Root(), query, info), kOk) << platform::Utf16ToUtf8(query);
  }
  EXPECT_EQ(file.Find(file.Root(), u"Book ", info), kNotFound);
  EXPECT_EQ(file.Find(file.Root(), u"Workboo", info), kNotFound);

  std::vector<EntryInfo> children;
  ASSERT_EQ(file.Children(file.Root(), children), kOk);
  std::vector<std::u16string> names;
  for (const auto& child : children) names.push_back(child.name);
  // Shorter first; equal lengths in upper case: "\u0104B" (0x104) after "ZZ" (0x5A).
  EXPECT_EQ(names, (std::vector<std::u16string>{u"zz", u"\u0105b", u"BOOK", u"Workbook", u"\u0005SummaryInformation"}));
}

TEST(CompoundFileRoundTrip, AnElementOfTheSameNameIsReplaced) {
  CompoundFileWriter writer;
  StorageId storage = 0;
  ASSERT_EQ(writer.AddStorage(writer.Root(), u"workbook", storage), kOk);
  ASSERT_EQ(writer.AddStream(storage, u"x", Pattern(10, 1)), kOk);
  ASSERT_EQ(writer.AddStream(writer.Root(), u"Workbook", Pattern(20, 2)), kOk);
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(Save(writer)), kOk);
  std::vector<EntryInfo> children;
  ASSERT_EQ(file.Children(file.Root(), children), kOk);
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].name, u"Workbook");
  EXPECT_EQ(children[0].type, EntryType::Stream);
  EXPECT_EQ(ReadNamed(file, file.Root(), u"Workbook"), Pattern(20, 2));
}

TEST(CompoundFileRoundTrip, WriterRefusesWhatTheFormatForbids) {
  CompoundFileWriter writer;
  StorageId ignored = 0;
  for (const char16_t* bad : {u"", u"a/b", u"a\\b", u"a:b", u"a!b", u"12345678901234567890123456789012"}) {
    EXPECT_EQ(writer.AddStream(writer.Root(), bad, {}), kInvalidName) << platform::Utf16ToUtf8(bad);
    EXPECT_EQ(writer.AddStorage(writer.Root(), bad, ignored), kInvalidName);
  }
  EXPECT_EQ(writer.AddStream(writer.Root(), u"1234567890123456789012345678901", {}), kOk);  // 31 units
  EXPECT_EQ(writer.AddStream(42, u"x", {}), kInvalidHandle);
  EXPECT_EQ(writer.AddStream(1, u"y", {}), kInvalidHandle);  // 1 is the stream above
  EXPECT_EQ(writer.Commit(), kWrongState);  // no Create
}

TEST(CompoundFileRoundTrip, CopyStorageTakesTheWholeSubtreeFromAnOpenFile) {
  CompoundFileWriter original;
  StorageId vba = 0, inner = 0;
  original.AddStorage(original.Root(), u"_VBA_PROJECT_CUR", vba);
  original.AddStream(vba, u"PROJECTwm", Pattern(40, 4));
  original.AddStorage(vba, u"VBA", inner);
  original.AddStream(inner, u"Module1", Pattern(7000, 5));
  original.AddStream(original.Root(), u"\u0005DocumentSummaryInformation", Pattern(200, 6));
  CompoundFileReader source;
  ASSERT_EQ(source.OpenBytes(Save(original)), kOk);
  EntryInfo sourceVba;
  ASSERT_EQ(source.Find(source.Root(), u"_VBA_PROJECT_CUR", sourceVba), kOk);

  CompoundFileWriter copy;
  copy.AddStream(copy.Root(), u"Workbook", Pattern(600, 7));
  ASSERT_EQ(copy.CopyStorage(source, sourceVba.id, copy.Root()), kOk);
  EXPECT_EQ(copy.CopyStorage(source, 4096, copy.Root()), kInvalidHandle);
  CompoundFileReader file;
  ASSERT_EQ(file.OpenBytes(Save(copy)), kOk);
  EntryInfo vbaInfo, innerInfo, absent;
  ASSERT_EQ(file.Find(file.Root(), u"_VBA_PROJECT_CUR", vbaInfo), kOk);
  ASSERT_EQ(file.Find(vbaInfo.id, u"VBA", innerInfo), kOk);
  EXPECT_EQ(ReadNamed(file, vbaInfo.id, u"PROJECTwm"), Pattern(40, 4));
  EXPECT_EQ(ReadNamed(file, innerInfo.id, u"Module1"), Pattern(7000, 5));
  EXPECT_EQ(file.Find(file.Root(), u"\u0005DocumentSummaryInformation", absent), kNotFound);
}

TEST(CompoundFileRoundTrip, HandlesOfOtherKindsAreRefused) {
  CompoundFileWriter writer;
  writer.AddStream(writer.Root(), u"Workbook", Pattern(10, 1));
  CompoundFileReader file;
  std::vector<std::uint8_t> bytes;
  std::vector<EntryInfo> children;
  EXPECT_EQ(file.ReadStream(0, bytes), kInvalidHandle);  // nothing open
  EXPECT_EQ(file.Children(0, children), kInvalidHandle);
  ASSERT_EQ(file.OpenBytes(Save(writer)), kOk);
  EntryInfo book;
  ASSERT_EQ(file.Find(file.Root(), u"Workbook", book), kOk);
  EXPECT_EQ(file.ReadStream(file.Root(), bytes), kInvalidHandle);
  EXPECT_EQ(file.Children(book.id, children), kInvalidHandle);
  EXPECT_EQ(file.Find(book.id, u"x", book), kInvalidHandle);
  EXPECT_EQ(file.ReadStream(3, bytes), kInvalidHandle);  // an unused directory slot
  EXPECT_EQ(file.ReadStream(1000, bytes), kInvalidHandle);
}

}  // namespace
}  // namespace xls::cfb
