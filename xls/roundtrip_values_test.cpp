// Values that must come through a read and a save unchanged, on small
// workbooks built here: numbers bit for bit, formula text results of any
// length, names that refer to other names, the dates of 1904 workbooks; and
// the files of formats too old to read, which are refused by name. Copies
// are read back by the project's reader and by python3-xlrd.

#include <gtest/gtest.h>

#include <bit>

#include "platform/codepage.h"
#include "xls/biff_read_stream.h"
#include "xls/biff_test_builder.h"
#include "xls/range.h"
#include "xls/result_codes.h"
#include "xls/rk.h"
#include "xls/roundtrip_test_support.h"
#include "xls/workbook.h"

namespace xls {
namespace {

using testing::Body;
using testing::Records;
using testing::Stream;
using testing::TestFolder;
namespace fs = std::filesystem;

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

const TXLSCellRef* CellAt(TXLSWorkbook& book, int row, int column) {
  return book.Worksheets().Entries(1)->CellHeap().Find(row, column);
}

// A FORMULA record: cached result bytes as given, then the tokens.
Body Formula(int row, int column, int xf, const Body& result, const std::vector<std::uint8_t>& tokens) {
  Body body = Stream::Cell(row, column, xf);
  body.Bytes(result).U16(0).U32(0).U16(static_cast<std::uint16_t>(tokens.size())).Bytes(tokens);
  return body;
}
Body TextResult() { return Body().U8(0).Zeros(5).U16(0xFFFF); }
Body NumberResult(double value) { return Body().F64(value); }

// The 21 cell formats of a new file and, as XF 21, a date format (m/d/yy).
Records FormatRecords() {
  Records records;
  for (int i = 0; i < 21; ++i)
    records.push_back({0x00E0, Body().U16(0).U16(0).U16(i == 15 ? 1 : 0xFFF5).U8(0x20).Zeros(3).U32(0).U32(0).U16(0x20C0)});
  records.push_back({0x00E0, Body().U16(0).U16(14).U16(0x0001).U8(0x20).U8(0).U8(0).U8(0x04).U32(0).U32(0).U16(0x20C0)});
  return records;
}

TEST(RoundTrip, NumbersKeepEveryBit) {
  // Numbers whose "value x 100" form rounds to a neighbour, their exact
  // neighbours, and numbers of the other compact forms.
  const double values[] = {20.990000000000002, 20.99,  120.03999999999999, 120.04, -768.1800000000001, -768.18,
                           3087.9300000000003, 3087.93, 0.35,              1.5,    123,                -0.0,
                           0.1 + 0.2,          1e-300,  600123456};
  for (double value : values) {
    if (const auto rk = EncodeRK(value)) {
      EXPECT_EQ(Bits(DecodeRK(*rk)), Bits(value)) << value;
    }
  }
  EXPECT_EQ(EncodeRK(20.990000000000002), std::nullopt);
  EXPECT_NE(EncodeRK(20.99), std::nullopt);

  const TestFolder folder;
  const fs::path file = folder / "numbers.xls";
  TXLSWorkbook book;
  const IXLSRange cells = book.Worksheets().Add()->Cells();
  const int count = static_cast<int>(std::size(values));
  for (int i = 0; i < count; ++i) {
    cells->Item(i + 1, 1)->SetValue(Variant::Double(values[i]));  // alone in its row: RK or NUMBER
    for (int column = 3; column <= 5; ++column)                   // side by side: MULRK runs
      cells->Item(i + 1, column)->SetValue(Variant::Double(values[i]));
  }
  ASSERT_EQ(book.SaveAs(file.string()), 1);

  TXLSWorkbook again;
  ASSERT_EQ(again.Open(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output;
  for (int i = 0; i < count; ++i) {
    for (int column : {0, 2, 3, 4}) {
      const TXLSCellRef* cell = CellAt(again, i, column);
      ASSERT_NE(cell, nullptr) << values[i];
      EXPECT_EQ(Bits(cell->number), Bits(values[i])) << values[i] << " column " << column;
      EXPECT_EQ(Bits(testing::JsonNumber(dump.Cell(0, i, column), "value")), Bits(values[i]))
          << values[i] << ": " << dump.Cell(0, i, column);
    }
  }
}

// A STRING record as spreadsheet programs write a long text: as many
// characters as fit, then CONTINUE records, each with its own option byte;
// a part is 8-bit when all its characters fit in 8 bits.
Records StringRecords(std::u16string_view text) {
  Records records;
  bool first = true;
  while (first || !text.empty()) {
    const std::size_t header = first ? 3 : 1;
    std::size_t fit = std::min(text.size(), 8224 - header);
    bool narrow = true;
    for (std::size_t i = 0; i < fit && narrow; ++i) narrow = text[i] < 0x100;
    if (!narrow) fit = std::min(text.size(), (8224 - header) / 2);
    Body body;
    if (first) body.U16(static_cast<std::uint16_t>(text.size()));
    body.U8(narrow ? 0 : 1);
    for (char16_t c : text.substr(0, fit)) narrow ? body.U8(static_cast<std::uint8_t>(c)) : body.U16(c);
    records.push_back({first ? std::uint16_t{0x0207} : std::uint16_t{0x003C}, body});
    text.remove_prefix(fit);
    first = false;
  }
  return records;
}

std::u16string LongText(std::size_t length) {
  std::u16string text(9000, u'a');  // a first record of 8-bit characters
  while (text.size() < length) text += u" żółw 600123456";
  text.resize(length);
  return text;
}

TEST(RoundTrip, LongFormulaTextResultsReadAndCopyWhole) {
  const std::u16string texts[] = {u"krótki", LongText(10000), LongText(24732)};
  Records cells;
  const std::vector<std::uint8_t> tokens = {0x17, 0x01, 0x00, 'x'};  // ="x"; the result is what matters
  for (int row = 0; row < 3; ++row) {
    cells.push_back({0x0006, Formula(row, 0, 15, TextResult(), tokens)});
    for (const auto& record : StringRecords(texts[row])) cells.push_back(record);
  }
  const TestFolder folder;
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells)), 1);
  for (int row = 0; row < 3; ++row) {
    ASSERT_EQ(CellAt(book, row, 0)->kind, CellKind::Formula);
    EXPECT_EQ(CellAt(book, row, 0)->formula->resultText, texts[row]) << "row " << row;
  }
  // Saved and read again, twice: nothing is cut on any save.
  fs::path file = folder / "copy1.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  TXLSWorkbook copy;
  ASSERT_EQ(copy.Open(file.string()), 1);
  file = folder / "copy2.xls";
  ASSERT_EQ(copy.SaveAs(file.string()), 1);
  ASSERT_EQ(copy.Open(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output.substr(0, 2000);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(CellAt(copy, row, 0)->formula->resultText, texts[row]) << "row " << row;
    EXPECT_EQ(testing::JsonField(dump.Cell(0, row, 0), "value"), "\"" + platform::Utf16ToUtf8(texts[row]) + "\"")
        << "row " << row;
  }
}

// A NAME record (BIFF8) with a name of 8-bit characters.
Body NameRecord(std::uint16_t options, std::u16string_view name, std::uint16_t tab,
                const std::vector<std::uint8_t>& formula) {
  Body body;
  body.U16(options).U8(0).U8(static_cast<std::uint8_t>(name.size())).U16(static_cast<std::uint16_t>(formula.size()));
  body.U16(0).U16(tab).U32(0).U8(0).Latin1(name).Bytes(formula);
  return body;
}

TEST(RoundTrip, NamesReferringToTheWorkbooksOwnNamesKeepTheirTargets) {
  // Name 1: the print titles of sheet 1 (the reader moves it behind the
  // others). Name 2 a number; name 3 refers to name 2 through this
  // workbook's own external-name entry; name 4 to name 3 directly.
  const std::vector<std::uint8_t> titles = {0x3B, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0};
  const std::vector<std::uint8_t> number = Body().U8(0x1F).F64(23.5);
  const std::vector<std::uint8_t> nameXTo2 = {0x39, 0, 0, 2, 0, 0, 0};
  const std::vector<std::uint8_t> nameTo3 = {0x23, 3, 0, 0, 0};
  const Records globals = {
      {0x01AE, Body().U16(1).U16(0x0401)},     // SUPBOOK: this workbook
      {0x0017, Body().U16(1).U16(0).U16(0).U16(0)},  // EXTERNSHEET: its first sheet
      {0x0018, NameRecord(0x0020, u"\x07", 1, titles)},
      {0x0018, NameRecord(0, u"Stawka", 0, number)},
      {0x0018, NameRecord(0, u"Podatek", 0, nameXTo2)},
      {0x0018, NameRecord(0, u"Razem", 0, nameTo3)},
  };
  const Records cells = {
      {0x0006, Formula(0, 0, 15, NumberResult(23.5), {0x39, 0, 0, 4, 0, 0, 0})},  // =Razem through the entry
      {0x0006, Formula(1, 0, 15, NumberResult(23.5), {0x23, 2, 0, 0, 0})},        // =Stawka
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells, globals)), 1);
  ASSERT_EQ(book.Names().size(), 3u);
  EXPECT_EQ(book.Names()[1].name, u"Podatek");
  EXPECT_EQ(book.Names()[1].formula, (std::vector<std::uint8_t>{0x39, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(book.Names()[2].formula, (std::vector<std::uint8_t>{0x23, 2, 0, 0, 0}));
  EXPECT_EQ(CellAt(book, 0, 0)->formula->tokens, (std::vector<std::uint8_t>{0x39, 0, 0, 3, 0, 0, 0}));
  EXPECT_EQ(CellAt(book, 1, 0)->formula->tokens, (std::vector<std::uint8_t>{0x23, 1, 0, 0, 0}));
  EXPECT_TRUE(book.Worksheets().Entries(1)->Parts().pageSetup.printTitleRows.has_value());

  const TestFolder folder;
  const fs::path file = folder / "names.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output;
  for (const char* name : {"Stawka", "Podatek", "Razem"})
    EXPECT_EQ(testing::JsonField(dump.Name(name), "value"), "23.5") << name << "\n" << dump.output;
  EXPECT_NE(dump.Name("Print_Titles"), "") << dump.output;
}

TEST(RoundTrip, DatesOf1904WorkbooksCountDaysAlikeInConstantsAndFormulaResults) {
  Records globals = {{0x0022, Body().U16(1)}};
  for (const auto& record : FormatRecords()) globals.push_back(record);
  const std::vector<std::uint8_t> refA1 = {0x44, 0, 0, 0, 0xC0};
  const Records cells = {
      {0x0203, Stream::Cell(0, 0, 21).F64(42428)},                   // 29 February 2020, as a constant
      {0x0006, Formula(1, 0, 21, NumberResult(42428), refA1)},       // =A1, a date
      {0x0006, Formula(2, 0, 15, NumberResult(42428), refA1)},       // =A1, in General: a plain number
  };
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(Stream::OneSheet(cells, globals)), 1);
  EXPECT_EQ(CellAt(book, 0, 0)->number, 43890);
  EXPECT_EQ(CellAt(book, 1, 0)->formula->resultNumber, 43890);
  EXPECT_EQ(CellAt(book, 2, 0)->formula->resultNumber, 42428);

  const TestFolder folder;
  const fs::path file = folder / "dates1904.xls";
  ASSERT_EQ(book.SaveAs(file.string()), 1);
  const testing::XlrdDump dump = testing::DumpWithXlrd(file);
  ASSERT_EQ(dump.status, 0) << dump.output;
  EXPECT_EQ(dump.lines.front(), "{\"datemode\": 1}");
  for (int row = 0; row < 3; ++row) EXPECT_EQ(testing::JsonNumber(dump.Cell(0, row, 0), "value"), 42428) << row;
}

TEST(RoundTrip, OlderFormatsAreRefusedByName) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<std::uint8_t> biff4 = Stream().Record(0x0409, Body().U16(0).U16(0x0010).U16(0)).Eof().Data();
  std::vector<std::uint8_t> biff4InCompoundFile;
  {
    cfb::CompoundFileWriter file;
    file.AddStream(file.Root(), u"Book", biff4);
    file.SaveToBytes(biff4InCompoundFile);
  }
  const Case cases[] = {
      {"BIFF2", Stream().Record(0x0009, Body().U16(2).U16(0x0010)).Eof().Data()},
      {"BIFF3", Stream().Record(0x0209, Body().U16(0).U16(0x0010).U16(0)).Eof().Data()},
      {"BIFF4", biff4},
      {"BIFF4 workbook", Stream().Record(0x0409, Body().U16(0).U16(0x0100).U16(0)).Eof().Data()},
      {"BIFF4 in a compound file", biff4InCompoundFile},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    EXPECT_EQ(book.OpenBytes(c.bytes), kOpenOldFormat) << c.name;
  }
  const std::string message = OpenResultReason(kOpenOldFormat, "excel4.xls");
  EXPECT_NE(message.find("too old"), std::string::npos) << message;
  EXPECT_NE(message.find("save it as .xls (Excel 97-2003)"), std::string::npos) << message;
  EXPECT_NE(OpenResultReason(kOpenNotWorkbook, "excel4.xls"), message);
}

}  // namespace
}  // namespace xls
