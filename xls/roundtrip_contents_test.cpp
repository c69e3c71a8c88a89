// What a user's sheet holds besides plain values, carried through a read
// and a save: rich text (parts of a text in other fonts), error values, the
// texts of BIFF5 files in the UTF-16 code page, a file without its final
// EOF, a sheet filled to its last row. Copies are read back by the
// project's reader and by python3-xlrd.

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "xls/biff_reader.h"
#include "xls/biff_test_builder.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/roundtrip_test_support.h"
#include "xls/workbook.h"

namespace xls {
namespace {

using testing::Body;
using testing::Records;
using testing::Stream;
using testing::TestFolder;
using Runs = std::vector<TXLSRichRun>;
namespace fs = std::filesystem;

const TXLSCellRef* CellAt(TXLSWorkbook& book, int row, int column) {
  return book.Worksheets().Entries(1)->CellHeap().Find(row, column);
}

Body FontRecord(std::u16string_view name, bool bold, bool italic) {
  Body body;
  body.U16(200).U16(italic ? 0x02 : 0).U16(0x7FFF).U16(bold ? 700 : 400).U16(0).U8(0).U8(0).U8(0).U8(0);
  return body.U8(static_cast<std::uint8_t>(name.size())).U8(0).Latin1(name);
}

// Fonts 0-3 plain, file font 5 bold, file font 6 italic (there is no font 4);
// the 21 cell formats of a new file.
Records FontsAndFormats() {
  Records records;
  for (int i = 0; i < 4; ++i) records.push_back({0x0031, FontRecord(u"Arial", false, false)});
  records.push_back({0x0031, FontRecord(u"Arial", true, false)});
  records.push_back({0x0031, FontRecord(u"Courier New", false, true)});
  for (int i = 0; i < 21; ++i)
    records.push_back({0x00E0, Body().U16(0).U16(0).U16(i == 15 ? 1 : 0xFFF5).U8(0x20).Zeros(3).U32(0).U32(0).U16(0x20C0)});
  return records;
}

void PutRuns(Body& body, const Runs& runs) {
  for (const TXLSRichRun& run : runs) body.U16(run.firstChar).U16(run.font);
}

TEST(RoundTripContents, RichTextKeepsItsRuns) {
  const std::u16string polish = u"Zażółć gęślą jaźń";
  const std::u16string longText(5000, u'ł');
  // File font numbers: 5 bold, 6 italic, 0 plain.
  const Runs polishRuns = {{0, 5}, {4, 0}, {10, 6}};
  const Runs longRuns = {{0, 5}, {4000, 6}};
  Body sst;
  sst.U32(5).U32(3);
  sst.U16(static_cast<std::uint16_t>(polish.size())).U8(0x09).U16(3).Utf16(polish);
  PutRuns(sst, polishRuns);
  sst.U16(6).U8(1).Utf16(u"zwykły");
  // The long string goes on in a CONTINUE record: characters, then its runs.
  sst.U16(5000).U8(0x09).U16(2).Utf16(std::u16string_view(longText).substr(0, 3000));
  Body continued;
  continued.U8(0x01).Utf16(std::u16string_view(longText).substr(3000));
  PutRuns(continued, longRuns);
  Records globals = FontsAndFormats();
  globals.push_back({0x00FC, sst});
  globals.push_back({0x003C, continued});
  Body rstring = Stream::Cell(0, 1);
  rstring.U16(6).U8(0).Latin1(u"600123").U16(2);
  PutRuns(rstring, {{0, 6}, {3, 5}});
  const Records cells = {
      {0x00FD, Stream::Cell(0, 0).U32(0)}, {0x00FD, Stream::Cell(1, 0).U32(1)}, {0x00FD, Stream::Cell(2, 0).U32(2)},
      {0x00FD, Stream::Cell(3, 0).U32(0)}, {0x00D6, rstring},
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells, globals)), 1);
  const TXLSStringTable& strings = book.Strings();
  // Model font numbers: the file's 5 and 6 are the model's 4 and 5.
  EXPECT_EQ(strings.Runs(CellAt(book, 0, 0)->stringIndex), (Runs{{0, 4}, {4, 0}, {10, 5}}));
  EXPECT_EQ(CellAt(book, 3, 0)->stringIndex, CellAt(book, 0, 0)->stringIndex);
  EXPECT_TRUE(strings.Runs(CellAt(book, 1, 0)->stringIndex).empty());
  EXPECT_EQ(strings.Text(CellAt(book, 2, 0)->stringIndex), longText);
  EXPECT_EQ(strings.Runs(CellAt(book, 2, 0)->stringIndex), (Runs{{0, 4}, {4000, 5}}));
  EXPECT_EQ(strings.Runs(CellAt(book, 0, 1)->stringIndex), (Runs{{0, 5}, {3, 4}}));
  // The same text without runs is a string of its own.
  EXPECT_NE(strings.Find(polish), CellAt(book, 0, 0)->stringIndex);

  const TestFolder folder;
  const fs::path file = folder / "rich.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output.substr(0, 2000);
  const std::string polishRunsRead = "[[0, \"Arial\", true, false], [4, \"Arial\", false, false], [10, \"Courier New\", false, true]]";
  EXPECT_EQ(testing::JsonField(dump.Cell(0, 0, 0), "runs"), polishRunsRead) << dump.Cell(0, 0, 0);
  EXPECT_EQ(testing::JsonField(dump.Cell(0, 3, 0), "runs"), polishRunsRead) << dump.Cell(0, 3, 0);
  EXPECT_EQ(testing::JsonField(dump.Cell(0, 0, 0), "value"), "\"Zażółć gęślą jaźń\"");
  EXPECT_EQ(testing::JsonField(dump.Cell(0, 1, 0), "runs"), "");
  EXPECT_EQ(testing::JsonField(dump.Cell(0, 2, 0), "runs"), "[[0, \"Arial\", true, false], [4000, \"Courier New\", false, true]]");
  EXPECT_EQ(testing::JsonField(dump.Cell(0, 0, 1), "runs"), "[[0, \"Courier New\", false, true], [3, \"Arial\", true, false]]");
}

TEST(RoundTripContents, ManyRichTextsAcrossSharedStringRecords) {
  // Enough rich texts that the shared string table fills several records,
  // with a font the workbook adds and no cell format uses.
  TXLSWorkbook book;
  TXLSFontData bold = book.Fonts().Font(0);
  bold.bold = true;
  const int boldFont = book.Fonts().FindOrAdd(bold);
  IXLSWorksheet* sheet = book.Worksheets().Add();
  const int count = 1500;
  for (int row = 0; row < count; ++row) {
    const std::u16string text = u"numer " + platform::Utf8ToUtf16(std::to_string(600000000 + row)) + u" gotowy";
    sheet->SetCellRichText(sheet->GetOrCreateCell(row, 0), text,
                           {{0, 0}, {6, static_cast<std::uint16_t>(boldFont)}, {15, 0}});
  }
  const TestFolder folder;
  const fs::path file = folder / "many_rich.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output.substr(0, 2000);
  const std::string expected = "[[0, \"Arial\", false, false], [6, \"Arial\", true, false], [15, \"Arial\", false, false]]";
  int matching = 0;
  for (int row = 0; row < count; ++row) matching += testing::JsonField(dump.Cell(0, row, 0), "runs") == expected;
  EXPECT_EQ(matching, count) << dump.Cell(0, 0, 0);
  TXLSWorkbook again;
  ASSERT_EQ(again.Open(file.string()), 1);
  EXPECT_EQ(again.Strings().Runs(CellAt(again, count - 1, 0)->stringIndex).size(), 3u);
}

TEST(RoundTripContents, ErrorValuesStayErrors) {
  struct Case {
    std::uint8_t code;
    const char* text;
  } cases[] = {{0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
               {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"}};
  Records cells;
  int row = 0;
  for (const Case& c : cases) cells.push_back({0x0205, Stream::Cell(row++, 0).U8(c.code).U8(1)});
  // =1/0 with its cached error result.
  Body formula = Stream::Cell(row, 0);
  formula.U8(2).U8(0).U8(0x07).Zeros(3).U16(0xFFFF).U16(0).U32(0).U16(7).Bytes({0x1E, 1, 0, 0x1E, 0, 0, 0x06});
  cells.push_back({0x0006, formula});
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells)), 1);
  const TestFolder folder;
  const fs::path file = folder / "errors.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  TXLSWorkbook again;
  ASSERT_EQ(again.Open(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output;
  row = 0;
  for (const Case& c : cases) {
    ASSERT_EQ(CellAt(again, row, 0)->kind, CellKind::Error) << c.text;
    EXPECT_EQ(CellAt(again, row, 0)->number, c.code) << c.text;
    EXPECT_EQ(ErrorValueText(c.code), platform::Utf8ToUtf16(c.text));
    EXPECT_EQ(testing::JsonField(dump.Cell(0, row, 0), "error"), std::string("\"") + c.text + "\"") << dump.Cell(0, row, 0);
    ++row;
  }
  EXPECT_EQ(CellAt(again, row, 0)->kind, CellKind::Formula);
  EXPECT_EQ(testing::JsonField(dump.Cell(0, row, 0), "error"), "\"#DIV/0!\"") << dump.Cell(0, row, 0);
}

// Error values as another program writes them (see testdata/reader/README.md):
// every cell of the copy reads as the original's.
TEST(RoundTripContents, ErrorValuesOfAnotherProgramsFile) {
  const fs::path original = fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader/gnumeric_errors.xls";
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(original.string()), 1);
  const TestFolder folder;
  const fs::path file = folder / "errors_copy.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump before = testing::DumpWithXlrd(original);
  const testing::XlrdDump after = testing::DumpWithXlrd(file);
  ASSERT_EQ(after.status, 0) << after.output;
  int errors = 0;
  for (int row = 0; row < 5; ++row) {
    for (int column = 0; column < 2; ++column) {
      EXPECT_EQ(after.Cell(0, row, column), before.Cell(0, row, column));
      errors += testing::JsonField(after.Cell(0, row, column), "error") != "";
    }
  }
  EXPECT_EQ(errors, 4);
}

TEST(RoundTripContents, Biff5TextsInTheUtf16CodePage) {
  const std::u16string sheetName = u"Łódź";
  const std::u16string texts[] = {u"Łódź – telefony", u"Zażółć gęślą jaźń", u"600123456"};
  Stream s(false);
  s.Globals().Record(0x0042, Body().U16(1200));
  s.Record(0x0085, Body().U32(0).U8(0).U8(0).U8(static_cast<std::uint8_t>(2 * sheetName.size())).Utf16(sheetName));
  s.Eof().Worksheet();
  int row = 0;
  for (const std::u16string& text : texts)  // counted in bytes
    s.Record(0x0204, Stream::Cell(row++, 0).U16(static_cast<std::uint16_t>(2 * text.size())).Utf16(text));
  s.Eof();
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(s.Data()), 1);
  EXPECT_EQ(book.Worksheets().Entries(1)->Name(), sheetName);
  for (row = 0; row < 3; ++row)
    EXPECT_EQ(book.Worksheets().Entries(1)->Cells()->Item(row + 1, 1)->Value(), Variant::Text(texts[row])) << row;

  const TestFolder folder;
  const fs::path file = folder / "utf16_biff5.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output;
  for (row = 0; row < 3; ++row)
    EXPECT_EQ(testing::JsonField(dump.Cell(0, row, 0), "value"), "\"" + platform::Utf16ToUtf8(texts[row]) + "\"");
}

TEST(RoundTripContents, AWorkbookWithoutItsFinalEofIsSavedWhole) {
  std::vector<std::uint8_t> bytes = Stream::OneSheet({{0x027E, Stream::Cell(0, 0).U32(0x1EE)},
                                                      {0x027E, Stream::Cell(1, 0).U32(0x1F2)}});
  bytes.erase(bytes.end() - 4, bytes.end());  // no EOF after the sheet
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(bytes), kOpenUnfinished);
  EXPECT_EQ(book.FormatRead(), FileFormat::Biff8);
  EXPECT_FALSE(book.SaveKeepsEverything());  // what followed in the file is unknown
  const TestFolder folder;
  const fs::path file = folder / "unfinished.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output;
  EXPECT_EQ(testing::JsonNumber(dump.Cell(0, 0, 0), "value"), 123);
  EXPECT_EQ(testing::JsonNumber(dump.Cell(0, 1, 0), "value"), 124);
}

TEST(RoundTripContents, ASheetFilledToItsLastRow) {
  // Read: a file whose cells reach row 65,536 (index 65535).
  Records cells;
  for (int row : {0, 65534, 65535}) {
    cells.push_back({0x0208, Body().U16(static_cast<std::uint16_t>(row)).U16(0).U16(1).U16(0x00FF).Zeros(4).U32(0x0100)});
    cells.push_back({0x0203, Stream::Cell(row, 0).F64(600000000 + row)});
  }
  TXLSWorkbook read;
  ASSERT_EQ(read.OpenBytes(Stream::OneSheet(cells)), 1);
  EXPECT_EQ(read.Worksheets().Entries(1)->Cells()->Item(65536, 1)->Value(), Variant::Double(600065535));

  // Written: a column of 65,536 numbers, marked as the import marks them.
  TXLSWorkbook book;
  const IXLSRange column = book.Worksheets().Add()->Cells();
  for (int row = 1; row <= kRowCount; ++row) column->Item(row, 1)->SetValue(Variant::Double(600000000 + row));
  column->Item(kRowCount, 1)->Interior()->SetColorIndex(4);
  const TestFolder folder;
  const fs::path file = folder / "full.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  TXLSWorkbook again;
  ASSERT_EQ(again.Open(file.string()), 1);
  EXPECT_EQ(again.Worksheets().Entries(1)->Cells()->Item(kRowCount, 1)->Value(), Variant::Double(600065536));
  EXPECT_EQ(again.Worksheets().Entries(1)->Cells()->Item(kRowCount, 1)->Interior()->ColorIndex(), 4);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output.substr(0, 2000);
  EXPECT_EQ(testing::JsonNumber(dump.Cell(0, kRowCount - 1, 0), "value"), 600065536);
}

}  // namespace
}  // namespace xls
