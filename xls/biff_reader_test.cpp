// The BIFF reader on record streams built here: result codes of damaged and
// foreign files, cell records and their edge cases, shared strings across
// CONTINUE records, formulas, and the sheet list.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "xls/biff_reader.h"
#include "xls/biff_test_builder.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/file_storage.h"
#include "xls/decryption.h"
#include "xls/interior.h"
#include "xls/workbook.h"

namespace xls {
namespace {

using testing::Body;
using testing::Stream;
using testing::Records;

Variant ValueAt(TXLSWorkbook& book, int sheet, int row, int column) {
  return book.Worksheets().Entries(sheet)->Cells()->Item(row + 1, column + 1)->Value();
}

const TXLSCellRef* CellAt(TXLSWorkbook& book, int sheet, int row, int column) {
  return book.Worksheets().Entries(sheet)->CellHeap().Find(row, column);
}

std::vector<std::uint8_t> InCompoundFile(std::u16string_view streamName, const std::vector<std::uint8_t>& stream) {
  cfb::CompoundFileWriter file;
  file.AddStream(file.Root(), streamName, stream);
  std::vector<std::uint8_t> bytes;
  file.SaveToBytes(bytes);
  return bytes;
}

// ---- Result codes -----------------------------------------------------------

TEST(BiffReaderResult, CodesOfForeignAndDamagedFiles) {
  const std::vector<std::uint8_t> complete = Stream::OneSheet({});
  std::vector<std::uint8_t> cutShort = complete;
  cutShort.resize(cutShort.size() - 4);  // the last EOF announces 16 bytes and holds 2
  cutShort.insert(cutShort.end(), {0x0A, 0x00, 0x10, 0x00, 0x01, 0x02});
  std::vector<std::uint8_t> noFinalEof = complete;
  noFinalEof.resize(noFinalEof.size() - 4);
  const std::string text = "numer;telefon\n600123456\n";
  const std::vector<std::uint8_t> zip = {'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0};

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int expected;
  } cases[] = {
      {"complete workbook", complete, 1},
      {"empty file", {}, -3},
      {"text file", {text.begin(), text.end()}, -3},
      {"zip package cut short (a damaged .xlsx)", zip, -1},
      {"BOF of 2 bytes", Stream().Record(0x0809, Body().U16(0x0600)).Data(), -3},
      {"BOF longer than 30 bytes", Stream().Record(0x0809, Body().Zeros(31)).Data(), -3},
      {"BIFF4 version", Stream().Bof(0x0005, 0x0400).Eof().Data(), -1},
      {"worksheet before the globals", Stream().Worksheet().Eof().Data(), -1},
      {"BOF of 4 bytes only", Stream().Record(0x0809, Body().U16(0x0600).U16(5)).Eof().Data(), -1},
      {"body cut short", cutShort, -1},
      {"last EOF missing", noFinalEof, 100},
      {"FONT too short", Stream().Globals().Record(0x0031, Body().Zeros(10)).Eof().Data(), -1},
      {"FONT name past the body", Stream().Globals().Record(0x0031, Body().Zeros(14).U8(20).U8(0)).Eof().Data(), -1},
      {"FILEPASS of one byte", Stream().Globals().Record(0x002F, Body().U8(1)).Eof().Data(), kFilePassTooShort},
      {"FILEPASS of an unknown type", Stream().Globals().Record(0x002F, Body().U16(7).U16(1).U16(1)).Eof().Data(),
       kFilePassUnknownType},
      {"compound file without a workbook stream", InCompoundFile(u"Contents", complete), -3},
      {"stream named BOOK", InCompoundFile(u"BOOK", complete), 1},
      {"stream named workbook", InCompoundFile(u"workbook", complete), 1},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    EXPECT_EQ(book.OpenBytes(c.bytes), c.expected) << c.name;
  }
}

TEST(BiffReaderResult, SheetsReadBeforeAFailureStay) {
  std::vector<std::uint8_t> bytes = Stream::OneSheet({{0x027E, Stream::Cell(0, 0).U32(0x000001EE)}});
  bytes.resize(bytes.size() - 4);  // no EOF after the sheet
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(bytes), 100);
  ASSERT_EQ(book.Worksheets().Count(), 1);
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Double(123));
}

TEST(BiffReaderResult, OpenClearsAnEarlierWorkbook) {
  TXLSWorkbook book;
  book.Worksheets().Add()->Cells()->Item(5, 5)->SetValue(Variant::Text(u"stary"));
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({})), 1);
  EXPECT_EQ(book.Worksheets().Count(), 1);
  EXPECT_EQ(book.Worksheets().Entries(1)->Name(), u"Arkusz");
  EXPECT_TRUE(ValueAt(book, 1, 4, 4).IsNull());
  EXPECT_EQ(book.FormatRead(), FileFormat::Biff8);
}

// ---- Cells --------------------------------------------------------------------

TEST(BiffReaderCells, RkValuesAreDividedBy100) {
  struct Case {
    std::uint32_t rk;
    double expected;
  } cases[] = {
      {0x000001EE, 123},                                     // integer
      {(35u << 2) | 3u, 0.35},                               // 35 / 100 is the double nearest 0.35; 35 * 0.01 is not
      {(static_cast<std::uint32_t>(-5) << 2) | 2u, -5},      // negative integer
      {(static_cast<std::uint32_t>(-123) << 2) | 3u, -1.23},  // negative hundredths
      {0x3FC00000, 0.125},                                   // high bits of a double
      {0x3FF00000 | 1u, 0.01},                               // 1.0 / 100
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x027E, Stream::Cell(0, 0).U32(c.rk)}})), 1);
    const TXLSCellRef* cell = CellAt(book, 1, 0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->number, c.expected) << std::hex << c.rk;
  }
  EXPECT_NE(35 * 0.01, 0.35);  // why the division matters
}

TEST(BiffReaderCells, NumbersAndTextsOfAPhoneColumn) {
  Body sst;
  sst.U32(2).U32(2).U16(9).U8(0).Latin1(u"600123456").U16(4).U8(0).Latin1(u"=1+2");
  const Records globals = {{0x00FC, sst}};
  const Records cells = {
      {0x0203, Stream::Cell(0, 0).F64(600123456)},
      {0x027E, Stream::Cell(1, 0).U32((600123456u >> 10) << 2 | 2u)},
      {0x00FD, Stream::Cell(2, 0).U32(0)},
      {0x00FD, Stream::Cell(3, 0).U32(1)},
      {0x00FD, Stream::Cell(4, 0).U32(99)},  // an index past the strings read: an empty text
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells, globals)), 1);
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Double(600123456));
  EXPECT_EQ(ValueAt(book, 1, 1, 0), Variant::Double(600123456 >> 10));
  EXPECT_EQ(ValueAt(book, 1, 2, 0), Variant::Text(u"600123456"));
  EXPECT_EQ(ValueAt(book, 1, 3, 0), Variant::Text(u"=1+2"));  // a text, not a formula
  EXPECT_EQ(CellAt(book, 1, 3, 0)->kind, CellKind::Text);
  EXPECT_EQ(CellAt(book, 1, 4, 0)->kind, CellKind::Text);
  EXPECT_EQ(ValueAt(book, 1, 4, 0), Variant::Text(u""));
}

TEST(BiffReaderCells, LabelsKeepTheirCharactersLiterally) {
  struct Case {
    Body body;
    std::u16string expected;
  } cases[] = {
      {Stream::Cell(0, 0).U16(4).U8(0).Latin1(u"'abc"), u"'abc"},
      {Stream::Cell(0, 0).U16(3).U8(1).Utf16(u"ąęł"), u"ąęł"},
      {Stream::Cell(0, 0).U16(2).U8(0).Latin1(u"\xA3\xA5"), u"£¥"},  // compressed UTF-16, not a code page
      {Stream::Cell(0, 0).U16(3).U8(2).Latin1(u"abc"), u""},          // an option byte other than 0 or 1
      {Stream::Cell(0, 0).U16(40).U8(0).Latin1(u"cut"), u"cut"},      // more characters announced than held
      {Stream::Cell(0, 0).U16(5).U8(0).Latin1(u"ab\0cd"), u"ab"},     // cut at NUL
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x0204, c.body}})), 1);
    EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Text(c.expected));
  }
}

TEST(BiffReaderCells, MulRkAndMulBlankStayInsideTheirBodyAndTheSheet) {
  Body mulRk = Body().U16(0).U16(0);  // row 0, first column 0
  for (int i = 0; i < 3; ++i) mulRk.U16(15).U32(static_cast<std::uint32_t>((i + 1) << 2 | 2));
  mulRk.U16(9);  // claims columns up to 9
  Body edge = Body().U16(1).U16(254);
  for (int i = 0; i < 4; ++i) edge.U16(15).U32(static_cast<std::uint32_t>((i + 10) << 2 | 2));
  edge.U16(257);
  Body blanks = Body().U16(2).U16(1).U16(16).U16(17).U16(18).U16(3);  // row 3, B-D
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x00BD, mulRk}, {0x00BD, edge}, {0x00BE, blanks}})), 1);
  const IXLSWorksheet& sheet = *book.Worksheets().Entries(1);
  EXPECT_EQ(sheet.CellHeap().Row(0).size(), 3u);
  EXPECT_EQ(ValueAt(book, 1, 0, 2), Variant::Double(3));
  EXPECT_EQ(sheet.CellHeap().Row(1).size(), 2u);  // columns 254 and 255 only
  EXPECT_EQ(ValueAt(book, 1, 1, 255), Variant::Double(11));
  ASSERT_EQ(sheet.CellHeap().Row(2).size(), 3u);
  for (int column = 1; column <= 3; ++column) {
    const TXLSCellRef* cell = CellAt(book, 1, 2, column);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind, CellKind::Blank);
    EXPECT_EQ(cell->xf, 15u + column);
    EXPECT_TRUE(ValueAt(book, 1, 2, column).IsNull());
  }
}

TEST(BiffReaderCells, BoolErrAndBlank) {
  const Records cells = {
      {0x0205, Stream::Cell(0, 0, 16).U8(1).U8(0)},
      {0x0205, Stream::Cell(1, 0, 17).U8(0).U8(0)},
      {0x0205, Stream::Cell(2, 0, 18).U8(0x07).U8(1)},  // #DIV/0!
      {0x0201, Stream::Cell(3, 0, 19)},
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells)), 1);
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Boolean(true));
  EXPECT_EQ(ValueAt(book, 1, 1, 0), Variant::Boolean(false));
  EXPECT_EQ(CellAt(book, 1, 2, 0)->kind, CellKind::Error);  // kept for the save, read as null
  EXPECT_EQ(CellAt(book, 1, 2, 0)->number, 0x07);
  EXPECT_TRUE(ValueAt(book, 1, 2, 0).IsNull());
  EXPECT_EQ(CellAt(book, 1, 2, 0)->xf, 18u);
  EXPECT_TRUE(ValueAt(book, 1, 3, 0).IsNull());
  EXPECT_EQ(CellAt(book, 1, 3, 0)->xf, 19u);
}

TEST(BiffReaderCells, DatesOf1904WorkbooksMoveTo1900DayCounts) {
  // XF 21: a cell format with number format 14 (m/d/yy).
  Body dateXF = Body().U16(0).U16(14).U16(0x0001).U8(0x20).U8(0).U8(0).U8(0x04).U32(0).U32(0).U16(0x20C0);
  Records globals = {{0x0022, Body().U16(1)}};
  for (int i = 0; i < 21; ++i) globals.push_back({0x00E0, Body().U16(0).U16(0).U16(i == 15 ? 1 : 0xFFF5).U8(0x20).Zeros(3).U32(0).U32(0).U16(0x20C0)});
  globals.push_back({0x00E0, dateXF});
  const Records cells = {{0x0203, Stream::Cell(0, 0, 21).F64(42428)}, {0x0203, Stream::Cell(1, 0, 15).F64(42428)}};
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells, globals)), 1);
  EXPECT_TRUE(book.Date1904());
  EXPECT_EQ(CellAt(book, 1, 0, 0)->number, 42428 + 1462);  // 29 February 2020
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Date(43890));
  EXPECT_EQ(ValueAt(book, 1, 1, 0), Variant::Double(42428));  // General: unchanged
}

TEST(BiffReaderCells, CellsOutsideTheSheetAreLeftOut) {
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x027E, Stream::Cell(0, 256).U32(6)},
                                             {0x027E, Stream::Cell(0, 0, 60000).U32(6)}})),
            1);
  EXPECT_EQ(book.Worksheets().Entries(1)->CellHeap().CellCount(), 1u);
  EXPECT_EQ(CellAt(book, 1, 0, 0)->xf, 0u);  // an XF past the table: the default format
}

// ---- Shared strings -------------------------------------------------------------

TEST(BiffReaderSst, StringsContinueAcrossRecordsAndSwitchWidth) {
  // String 0: 6 characters, 3 as 8-bit in the SST and 3 as 16-bit in the CONTINUE.
  // String 1: rich text with 2 runs whose bytes straddle the next boundary.
  // String 2: plain, after the runs.
  Body sst = Body().U32(3).U32(3).U16(6).U8(0).Latin1(u"abc");
  Body first = Body().U8(1).Utf16(u"ąęł").U16(4).U8(0x08).U16(2).Latin1(u"rich").U32(0x00010000);
  Body second = Body().U32(0x00020001).U16(5).U8(0).Latin1(u"after");
  Stream s;
  s.Globals().Record(0x00FC, sst).Record(0x003C, first).Record(0x003C, second).BoundSheet(u"A").Eof().Worksheet();
  for (int i = 0; i < 3; ++i) s.Record(0x00FD, Stream::Cell(i, 0).U32(static_cast<std::uint32_t>(i)));
  s.Eof();
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(s.Data()), 1);
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Text(u"abcąęł"));
  EXPECT_EQ(ValueAt(book, 1, 1, 0), Variant::Text(u"rich"));
  EXPECT_EQ(ValueAt(book, 1, 2, 0), Variant::Text(u"after"));
}

TEST(BiffReaderSst, AnnouncedCountIsNotTrusted) {
  Body sst = Body().U32(0xFFFFFFFF).U32(0xFFFFFFFF).U16(2).U8(0).Latin1(u"ok").U16(50).U8(1).Utf16(u"cut");
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x00FD, Stream::Cell(0, 0).U32(0)}, {0x00FD, Stream::Cell(1, 0).U32(1)}},
                                            {{0x00FC, sst}})),
            1);
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Text(u"ok"));
  EXPECT_EQ(ValueAt(book, 1, 1, 0), Variant::Text(u"cut"));  // what the records held of it
}

// ---- Formulas -----------------------------------------------------------------

Body FormulaRecord(int row, int column, double cached, const std::vector<std::uint8_t>& tokens) {
  Body body = Stream::Cell(row, column);
  body.F64(cached).U16(0).U32(0).U16(static_cast<std::uint16_t>(tokens.size())).Bytes(tokens);
  return body;
}

TEST(BiffReaderFormulas, TokensAreKeptAndSharedFormulasMoved) {
  const std::vector<std::uint8_t> plus = {0x1E, 0x02, 0x00, 0x1E, 0x03, 0x00, 0x03};  // 2+3
  const std::vector<std::uint8_t> expAt10 = {0x01, 0x01, 0x00, 0x00, 0x00};          // shared formula at A2
  // Shared: the cell one column to the right (B of the same row), relative row and column.
  const std::vector<std::uint8_t> shared = {0x4C, 0x00, 0x00, 0x01, 0xC0};
  Body shrfmla = Body().U16(1).U16(3).U8(0).U8(0).U16(0).U16(static_cast<std::uint16_t>(shared.size())).Bytes(shared);
  const Records cells = {
      {0x0006, FormulaRecord(0, 0, 999, plus)},
      {0x0006, FormulaRecord(1, 0, 7, expAt10)},
      {0x04BC, shrfmla},
      {0x0006, FormulaRecord(2, 0, 8, expAt10)},
      {0x0006, FormulaRecord(5, 0, 9, {0x01, 0x05, 0x00, 0x00, 0x00})},  // its SHRFMLA never comes
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells)), 1);
  const TXLSCellRef* a1 = CellAt(book, 1, 0, 0);
  ASSERT_EQ(a1->kind, CellKind::Formula);
  EXPECT_EQ(a1->formula->tokens, plus);
  EXPECT_EQ(a1->formula->resultNumber, 999);  // kept for writing back, not trusted as the value
  for (int row : {1, 2}) {
    const TXLSCellRef* cell = CellAt(book, 1, row, 0);
    ASSERT_EQ(cell->kind, CellKind::Formula) << row;
    const std::vector<std::uint8_t> expected = {0x44, static_cast<std::uint8_t>(row), 0x00, 0x01, 0xC0};
    EXPECT_EQ(cell->formula->tokens, expected) << row;
  }
  EXPECT_EQ(CellAt(book, 1, 5, 0)->kind, CellKind::Number);
  EXPECT_EQ(ValueAt(book, 1, 5, 0), Variant::Double(9));
}

TEST(BiffReaderFormulas, ArrayFormulaCellsShareTheirArray) {
  const std::vector<std::uint8_t> exp = {0x01, 0x00, 0x00, 0x00, 0x00};
  const std::vector<std::uint8_t> tokens = {0x1E, 0x01, 0x00};
  Body array = Body().U16(0).U16(1).U8(0).U8(0).U16(0).U32(0).U16(3).Bytes(tokens);
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x0006, FormulaRecord(0, 0, 1, exp)},
                                             {0x0221, array},
                                             {0x0006, FormulaRecord(1, 0, 1, exp)}})),
            1);
  const TXLSCellRef* host = CellAt(book, 1, 0, 0);
  const TXLSCellRef* other = CellAt(book, 1, 1, 0);
  ASSERT_EQ(host->kind, CellKind::Formula);
  ASSERT_EQ(other->kind, CellKind::Formula);
  ASSERT_NE(host->formula->array, nullptr);
  EXPECT_EQ(host->formula->array, other->formula->array);
  EXPECT_EQ(host->formula->array->tokens, tokens);
}

// ---- Structure ------------------------------------------------------------------

TEST(BiffReaderStructure, MacroSheetsAreSkippedAndChartSheetsKept) {
  Stream s;
  s.Globals().BoundSheet(u"Wykres", 2).BoundSheet(u"Dane").BoundSheet(u"Makro", 1).BoundSheet(u"Koniec");
  s.Record(0x003D, Body().Zeros(10).U16(3).U16(1).U16(1).U16(600)).Eof();  // active tab: "Koniec"
  s.Bof(0x0020).Record(0x1002, Body().Zeros(16)).Record(0x003C, Body().U8(1)).Eof();
  s.Worksheet().Record(0x027E, Stream::Cell(0, 0).U32(6)).Eof();
  s.Bof(0x0040).Record(0x027E, Stream::Cell(0, 0).U32(10)).Bof(0x0020).Eof().Eof();  // a macro sheet with a chart
  s.Worksheet().Record(0x027E, Stream::Cell(0, 0).U32(14)).Eof();
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(s.Data()), 1);
  IXLSWorkSheets& sheets = book.Worksheets();
  ASSERT_EQ(sheets.Count(), 3);
  EXPECT_EQ(sheets.Entries(1)->Name(), u"Wykres");
  EXPECT_EQ(sheets.Entries(1)->Type(), SheetType::Chart);
  EXPECT_TRUE(ValueAt(book, 1, 0, 0).IsNull());
  ASSERT_EQ(sheets.Entries(1)->Parts().chart.size(), 2u);
  EXPECT_EQ(sheets.Entries(1)->Parts().chart[0].id, 0x1002);
  EXPECT_EQ(sheets.Entries(2)->Name(), u"Dane");
  EXPECT_EQ(ValueAt(book, 2, 0, 0), Variant::Double(1));
  EXPECT_EQ(sheets.Entries(3)->Name(), u"Koniec");
  EXPECT_EQ(ValueAt(book, 3, 0, 0), Variant::Double(3));
  EXPECT_EQ(sheets.ActiveSheet(), sheets.Entries(3));
  EXPECT_EQ(book.FirstVisibleTab(), 1);
}

TEST(BiffReaderStructure, FontsAndCellFormats) {
  Records globals;
  for (int i = 0; i < 6; ++i) {
    Body font = Body().U16(static_cast<std::uint16_t>(200 + 20 * i)).U16(i == 4 ? 0x02 : 0).U16(0x7FFF).U16(i == 4 ? 700 : 400);
    font.U16(0).U8(0).U8(0).U8(238).U8(0).U8(5).U8(0).Latin1(u"Arial");
    globals.push_back({0x0031, font});
  }
  for (int i = 0; i < 21; ++i) globals.push_back({0x00E0, Body().U16(0).U16(0).U16(i == 15 ? 1 : 0xFFF5).U8(0x20).Zeros(3).U32(0).U32(0).U16(0x20C0)});
  // XF 21: font 5 of the file, solid fill of entry 53, centred both ways.
  globals.push_back({0x00E0, Body().U16(5).U16(0).U16(0x0001).U8(0x12).U8(0).U8(0).U8(0x58).U32(0).U32(1u << 26).U16(0x2000 | 53)});
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x0201, Stream::Cell(0, 0, 21)}}, globals)), 1);
  const TXLSXF& xf = book.XFList().Entry(21);
  EXPECT_EQ(xf.font, 4);  // the file has no font 4
  EXPECT_TRUE(book.Fonts().Font(4).bold);
  EXPECT_TRUE(book.Fonts().Font(4).italic);
  EXPECT_EQ(book.Fonts().Font(4).colour, 0);
  EXPECT_EQ(book.Fonts().FileFontCount(), 6);
  const IXLSRange cell = book.Worksheets().Entries(1)->Cells()->Item(1, 1);
  EXPECT_EQ(cell->Interior()->ColorIndex(), 46);
  EXPECT_EQ(cell->HorizontalAlignment(), xlCenter);
  EXPECT_EQ(cell->VerticalAlignment(), xlCenter);
}

TEST(BiffReaderStructure, RowsColumnsAndMergedAreas) {
  Body merged = Body().U16(5);  // five announced, three held: one valid, two not
  merged.U16(0).U16(1).U16(0).U16(2);
  merged.U16(3).U16(2).U16(0).U16(0);    // first row after last
  merged.U16(0).U16(0).U16(250).U16(300);  // past the last column
  const Records records = {
      {0x007D, Body().U16(0).U16(0).U16(4022).U16(15).U16(0x0201).U16(0)},  // outline level 2, hidden
      {0x007D, Body().U16(5).U16(3).U16(999).U16(15).U16(0).U16(0)},        // last before first: ignored
      {0x007D, Body().U16(250).U16(256).U16(3000).U16(15).U16(0).U16(0)},
      {0x0208, Body().U16(4).U16(0).U16(0).U16(0x8123).U16(0).U16(0).U32(0x00110060)},
      {0x00E5, merged},
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(records)), 1);
  const IXLSWorksheet& sheet = *book.Worksheets().Entries(1);
  ASSERT_NE(sheet.Columns().Find(0), nullptr);
  EXPECT_EQ(sheet.Columns().Find(0)->width, 4022);
  EXPECT_EQ(sheet.Columns().Find(0)->outlineLevel, 2);
  EXPECT_TRUE(sheet.Columns().Find(0)->hidden);
  EXPECT_EQ(sheet.Columns().Find(3), nullptr);
  EXPECT_EQ(sheet.Columns().Find(255)->width, 3000);
  const TXLSRowInfo* row = sheet.Rows().Find(4);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->height, 0x0123);
  EXPECT_TRUE(row->customHeight);
  EXPECT_TRUE(row->hidden);
  EXPECT_EQ(row->xf, kNoFormat);
  ASSERT_EQ(sheet.Parts().mergedAreas.size(), 1u);
  EXPECT_EQ(sheet.Parts().mergedAreas[0], (TXLSArea{0, 1, 0, 2}));
}

TEST(BiffReaderStructure, PrintAreaAndNamesAreRenumbered) {
  // NAME 1: built-in print area of sheet 1; NAME 2: "Stawka" = 5.
  Body printArea = Body().U16(0x0020).U8(0).U8(1).U16(11).U16(0).U16(1).U32(0).U8(0).U8(0x06);
  printArea.U8(0x3B).U16(0).U16(0).U16(9).U16(0).U16(1);
  Body rate = Body().U16(0).U8(0).U8(6).U16(3).U16(0).U16(0).U32(0).U8(0).Latin1(u"Stawka").U8(0x1E).U16(5);
  const Records globals = {{0x01AE, Body().U16(1).U16(0x0401)},
                           {0x0017, Body().U16(1).U16(0).U16(0).U16(0)},
                           {0x0018, printArea},
                           {0x0018, rate}};
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet({{0x0006, FormulaRecord(0, 0, 10, {0x23, 0x02, 0x00, 0x00, 0x00})}}, globals)), 1);
  ASSERT_EQ(book.Names().size(), 1u);
  EXPECT_EQ(book.Names()[0].name, u"Stawka");
  const TXLSPageSetup& setup = book.Worksheets().Entries(1)->Parts().pageSetup;
  ASSERT_EQ(setup.printAreas.size(), 1u);
  EXPECT_EQ(setup.printAreas[0], (TXLSArea{0, 9, 0, 1}));
  // The writer puts the user names first: the formula's reference to name 2 becomes name 1.
  const TXLSCellRef* cell = CellAt(book, 1, 0, 0);
  ASSERT_EQ(cell->kind, CellKind::Formula);
  EXPECT_EQ(cell->formula->tokens[1], 1);
}

TEST(BiffReaderStructure, Biff5Workbook) {
  Stream s(false);
  s.Globals().Record(0x0042, Body().U16(1250)).BoundSheet(u"Lista").Eof().Worksheet();
  s.Record(0x0204, Stream::Cell(0, 0).U16(5).Latin1(u"\xA3\xB9ka!"));  // "Łąka!" in Windows-1250
  s.Record(0x027E, Stream::Cell(1, 0).U32(0x000001EE));
  s.Eof();
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(s.Data()), 1);
  EXPECT_EQ(book.FormatRead(), FileFormat::Biff5);
  EXPECT_EQ(book.Worksheets().Entries(1)->Name(), u"Lista");
  EXPECT_EQ(ValueAt(book, 1, 0, 0), Variant::Text(u"Łąka!"));
  EXPECT_EQ(ValueAt(book, 1, 1, 0), Variant::Double(123));
}

// ---- Encryption -----------------------------------------------------------------

TEST(BiffReaderEncryption, XorPasswordVerifierAndKey) {
  // The verifier is the hash that sheet protection (PASSWORD) uses as well.
  EXPECT_EQ(TXLSDecrypterXOR::PasswordVerifier(u"test"), 0xCBEB);
  EXPECT_NE(TXLSDecrypterXOR::PasswordVerifier(u"tesu"), 0xCBEB);
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

// A compound file with a workbook stream and a VBA project storage holding a
// nested storage and an empty stream.
std::vector<std::uint8_t> WorkbookWithVba(std::u16string_view streamName, std::u16string_view storageName,
                                          const std::vector<std::uint8_t>& stream) {
  cfb::CompoundFileWriter file;
  file.AddStream(file.Root(), streamName, stream);
  cfb::StorageId project = 0, vba = 0;
  file.AddStorage(file.Root(), storageName, project);
  file.AddStream(project, u"PROJECT", {'I', 'D', '=', '1'});
  file.AddStorage(project, u"VBA", vba);
  file.AddStream(vba, u"dir", std::vector<std::uint8_t>(700, 0x5A));
  file.AddStream(vba, u"empty", {});
  std::vector<std::uint8_t> bytes;
  file.SaveToBytes(bytes);
  return bytes;
}

TEST(BiffReaderVba, ProjectStorageIsCopiedAndWrittenBackToBiff8Only) {
  struct Case {
    std::u16string_view stream, storage;
    std::vector<std::uint8_t> workbook;
    bool writtenBack;
  } cases[] = {
      {u"Workbook", u"_VBA_PROJECT_CUR", Stream::OneSheet({}), true},
      {u"Book", u"_VBA_PROJECT", Stream(false).Globals().BoundSheet(u"A").Eof().Worksheet().Eof().Data(), false},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.OpenBytes(WorkbookWithVba(c.stream, c.storage, c.workbook)), 1);
    ASSERT_NE(book.VbaStorage(), nullptr);
    EXPECT_EQ(book.VbaStorage()->Name(), c.storage);
    ASSERT_EQ(book.VbaStorage()->Children().size(), 2u);

    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("talvane_vba_" + std::to_string(::getpid()) + ".xls");
    ASSERT_EQ(book.SaveAs(file.string()), 1);
    cfb::CompoundFileReader saved;
    ASSERT_EQ(saved.OpenFile(file), cfb::kOk);
    cfb::EntryInfo project, vba, dir;
    if (!c.writtenBack) {
      EXPECT_EQ(saved.Find(saved.Root(), c.storage, project), cfb::kNotFound);  // saved as BIFF8: macros of BIFF5 go
      std::filesystem::remove(file);
      continue;
    }
    ASSERT_EQ(saved.Find(saved.Root(), c.storage, project), cfb::kOk);
    ASSERT_EQ(saved.Find(project.id, u"VBA", vba), cfb::kOk);
    ASSERT_EQ(saved.Find(vba.id, u"dir", dir), cfb::kOk);
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(saved.ReadStream(dir.id, bytes), cfb::kOk);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(700, 0x5A));
    std::filesystem::remove(file);
  }
}

TEST(BiffReaderVba, NoProjectCopyAfterAFailedRead) {
  std::vector<std::uint8_t> damaged = Stream::OneSheet({});
  damaged.push_back(0x0A);  // a record after the last EOF whose body is cut short
  damaged.insert(damaged.end(), {0x00, 0x10, 0x00, 0x01});
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(WorkbookWithVba(u"Workbook", u"_VBA_PROJECT_CUR", damaged)), -1);
  EXPECT_EQ(book.VbaStorage(), nullptr);
}

// A file without its final EOF is read up to there and saved like any other:
// its macros go along.
TEST(BiffReaderVba, ProjectOfAWorkbookWithoutItsFinalEofIsCopied) {
  std::vector<std::uint8_t> unfinished = Stream::OneSheet({});
  unfinished.resize(unfinished.size() - 4);
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(WorkbookWithVba(u"Workbook", u"_VBA_PROJECT_CUR", unfinished)), 100);
  EXPECT_NE(book.VbaStorage(), nullptr);
}

}  // namespace
}  // namespace xls
