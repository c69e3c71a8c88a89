// What a workbook knows about the file it was read from that matters before
// it is saved over that file: whether the file was encrypted (the writer
// does not encrypt) and whether the file held something a BIFF8 save cannot
// carry.

#include <gtest/gtest.h>

#include <filesystem>

#include "xls/biff_test_builder.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/workbook.h"

namespace xls {
namespace {

using testing::Body;
using testing::Stream;
namespace fs = std::filesystem;

fs::path Fixture(const std::string& name) { return fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader" / name; }

std::vector<std::uint8_t> InCompoundFile(const std::vector<std::uint8_t>& stream,
                                         std::u16string_view extraStream = {}) {
  cfb::CompoundFileWriter file;
  file.AddStream(file.Root(), u"Workbook", stream);
  file.AddStream(file.Root(), std::u16string(u"\x05") + u"SummaryInformation", {1, 2, 3});
  if (!extraStream.empty()) file.AddStream(file.Root(), extraStream, {4, 5, 6});
  std::vector<std::uint8_t> bytes;
  file.SaveToBytes(bytes);
  return bytes;
}

// A BIFF5 workbook of one sheet holding `records`.
std::vector<std::uint8_t> Biff5Sheet(const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& records) {
  Stream s(false);
  s.Globals().BoundSheet(u"Lista").Eof().Worksheet();
  for (const auto& [id, body] : records) s.Record(id, body);
  s.Eof();
  return s.Data();
}

TEST(SaveLosses, FilesAndWhatTheirSaveWouldLose) {
  Stream macroSheet;
  macroSheet.Globals().BoundSheet(u"Dane").BoundSheet(u"Makro", 1).Eof();
  macroSheet.Worksheet().Eof().Bof(0x0040).Eof();
  // A BIFF5 formula with a token that has no BIFF8 form (0x60 is unknown).
  const std::vector<std::uint8_t> foreignFormula =
      Stream::Cell(0, 0).F64(7).U16(0).U32(0).U16(1).U8(0x60).Data();

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint32_t losses;
  } cases[] = {
      {"BIFF8 cells, in a compound file with document properties",
       InCompoundFile(Stream::OneSheet({{0x027E, Stream::Cell(0, 0).U32(0x1EE)}})), 0},
      {"BIFF5 cells", Biff5Sheet({{0x027E, Stream::Cell(0, 0).U32(0x1EE)}}), 0},
      {"macro sheet", macroSheet.Data(), kLossSkippedSheets},
      {"BIFF5 comment", Biff5Sheet({{0x001C, Stream::Cell(0, 0).U16(1).Latin1(u"x")}}), kLossBiff5Objects},
      {"BIFF5 drawing object", Biff5Sheet({{0x005D, Body().Zeros(30)}}), kLossBiff5Objects},
      {"BIFF5 chart sheet",
       Stream(false).Globals().BoundSheet(u"Wykres", 2).Eof().Bof(0x0020).Eof().Data(), kLossBiff5Objects},
      {"BIFF5 embedded chart", Biff5Sheet({{0x0809, Body().U16(0x0500).U16(0x0020).U32(0)}, {0x000A, {}}}),
       kLossBiff5Objects},
      {"BIFF5 formula that does not convert", Biff5Sheet({{0x0006, foreignFormula}}), kLossFormulaValues},
      {"pivot table", Stream::OneSheet({{0x00B0, Body().Zeros(20)}}), kLossUnreadRecords},
      {"scenario", Stream::OneSheet({{0x00AF, Body().Zeros(20)}}), kLossUnreadRecords},
      {"background picture", Stream::OneSheet({{0x00E9, Body().Zeros(20)}}), kLossUnreadRecords},
      {"embedded object storage", InCompoundFile(Stream::OneSheet({}), u"ObjectPool"), kLossOtherStreams},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.OpenBytes(c.bytes), 1) << c.name;
    EXPECT_EQ(book.SaveLosses(), c.losses) << c.name;
    EXPECT_EQ(book.SaveKeepsEverything(), c.losses == 0) << c.name;
    EXPECT_FALSE(book.OpenedEncrypted()) << c.name;
  }
}

TEST(SaveLosses, ABiff5VbaProjectIsNotWrittenBack) {
  cfb::CompoundFileWriter file;
  file.AddStream(file.Root(), u"Book", Biff5Sheet({}));
  cfb::StorageId project = 0;
  file.AddStorage(file.Root(), u"_VBA_PROJECT", project);
  file.AddStream(project, u"PROJECT", {'I', 'D'});
  std::vector<std::uint8_t> bytes;
  file.SaveToBytes(bytes);
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(bytes), 1);
  EXPECT_EQ(book.SaveLosses(), kLossMacros);
}

TEST(SaveLosses, ProgramFilesAreKeptWholeUnlessTheyHoldMacroSheetsOrBiff5Comments) {
  struct Case {
    const char* file;
    bool keepsEverything;
  } cases[] = {
      {"libreoffice_biff8.xls", true},          {"gnumeric_biff8.xls", true},
      {"xlwt_basic.xls", true},                 {"xlwt_1904.xls", true},
      {"libreoffice_embedded_chart.xls", true}, {"gnumeric_chart_sheet_first.xls", true},
      {"libreoffice_settings.xls", true},       {"macro_sheet_between.xls", false},
      {"gnumeric_biff7_cp1250.xls", false},  // its comment is a BIFF5 NOTE
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(c.file).string()), 1) << c.file;
    EXPECT_EQ(book.SaveKeepsEverything(), c.keepsEverything) << c.file << " losses " << book.SaveLosses();
  }
}

TEST(SaveLosses, EncryptedFilesAreKnownAsSuchUntilTheNextOpen) {
  for (const char* file : {"rc4_default_password.xls", "xor_default_password.xls", "cryptoapi_default_password.xls"}) {
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(file).string()), 1) << file;
    EXPECT_TRUE(book.OpenedEncrypted()) << file;
    ASSERT_EQ(book.Open(Fixture("rc4_plain_source.xls").string()), 1);
    EXPECT_FALSE(book.OpenedEncrypted()) << "after reading a plain file over " << file;
  }
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("xor_user_password.xls").string(), u"tajne"), 1);
  EXPECT_TRUE(book.OpenedEncrypted());
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x00B0, Body().Zeros(20)}})), 1);
  EXPECT_FALSE(book.OpenedEncrypted());
  EXPECT_FALSE(book.SaveKeepsEverything());
  book.Clear();
  EXPECT_TRUE(book.SaveKeepsEverything());
}

}  // namespace
}  // namespace xls
