// Files written by other spreadsheet programs (xls/testdata/reader, see its
// README): what Open reads from them, and that each survives a read and a
// save: the copy is checked against the original by independent readers
// (python3-xlrd and python3-olefile through testdata/compare_copy.py).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "platform/codepage.h"

#include "xls/interior.h"
#include "xls/workbook.h"
#include "xls/xls_test_support.h"

namespace xls {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const std::string& name) { return fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader" / name; }

Variant ValueAt(TXLSWorkbook& book, int sheet, int row, int column) {
  return book.Worksheets().Entries(sheet)->Cells()->Item(row, column)->Value();
}

IXLSRange CellAt(TXLSWorkbook& book, int sheet, int row, int column) {
  return book.Worksheets().Entries(sheet)->Cells()->Item(row, column);
}

TEST(ReaderFixtures, OpenResults) {
  struct Case {
    const char* file;
    int expected;
  } cases[] = {
      {"libreoffice_biff8.xls", 1},   {"gnumeric_biff8.xls", 1},     {"gnumeric_biff7_cp1250.xls", 1},
      {"xlwt_basic.xls", 1},          {"xlwt_long_sst.xls", 1},      {"xlwt_1904.xls", 1},
      {"macro_sheet_between.xls", 1}, {"rc4_default_password.xls", 1}, {"rc4_user_password.xls", -1003},
      {"libreoffice_embedded_chart.xls", 1}, {"gnumeric_chart_sheet_first.xls", 1}, {"libreoffice_settings.xls", 1},
      {"gnumeric_errors.xls", 1},     {"gnumeric_biff7_utf16.xls", 1},
      {"zip_workbook.xlsx", 1},       {"not_a_workbook.txt", -3},    {"no_such_file.xls", -3},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    EXPECT_EQ(book.Open(Fixture(c.file).string()), c.expected) << c.file;
  }
}

// The same sheet saved by three programs (source.fods): BIFF8 from
// LibreOffice and Gnumeric, BIFF7 from Gnumeric in the Windows-1250 code page.
TEST(ReaderFixtures, TheSameSheetFromThreeWriters) {
  for (const char* file : {"libreoffice_biff8.xls", "gnumeric_biff8.xls", "gnumeric_biff7_cp1250.xls"}) {
    SCOPED_TRACE(file);
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(file).string()), 1);
    EXPECT_EQ(book.FormatRead(), std::string(file).find("biff7") != std::string::npos ? FileFormat::Biff5 : FileFormat::Biff8);
    ASSERT_EQ(book.Worksheets().Count(), 3);
    EXPECT_EQ(book.Worksheets().Entries(1)->Name(), u"Numery");
    EXPECT_EQ(book.Worksheets().Entries(3)->Name(), u"Trzeci");
    EXPECT_EQ(ValueAt(book, 1, 1, 1), Variant::Double(600123456));
    EXPECT_EQ(ValueAt(book, 1, 2, 1), Variant::Double(48600123456.0));
    EXPECT_EQ(ValueAt(book, 1, 2, 2), Variant::Double(0.125));
    EXPECT_EQ(ValueAt(book, 1, 3, 1), Variant::Text(u"600123456"));
    EXPECT_EQ(ValueAt(book, 1, 1, 2), Variant::Text(u"Zażółć gęślą jaźń"));
    EXPECT_EQ(ValueAt(book, 1, 4, 2), Variant::Text(u"wysłano"));
    EXPECT_EQ(ValueAt(book, 1, 5, 2), Variant::Text(u"=not a formula"));
    EXPECT_EQ(ValueAt(book, 1, 5, 1), Variant::Date(43890));  // 29 February 2020
    EXPECT_EQ(ValueAt(book, 1, 8, 2), Variant::Boolean(true));
    EXPECT_EQ(CellAt(book, 1, 3, 2)->Interior()->ColorIndex(), 46);
    EXPECT_EQ(CellAt(book, 1, 3, 2)->HorizontalAlignment(), xlCenter);
    EXPECT_EQ(CellAt(book, 1, 3, 2)->VerticalAlignment(), xlCenter);
    EXPECT_EQ(CellAt(book, 1, 4, 1)->Interior()->ColorIndex(), 3);
    EXPECT_EQ(CellAt(book, 1, 4, 1)->HorizontalAlignment(), xlRight);
    EXPECT_EQ(CellAt(book, 1, 4, 1)->VerticalAlignment(), xlTop);
    EXPECT_EQ(CellAt(book, 1, 4, 2)->Interior()->ColorIndex(), 4);
    EXPECT_EQ(CellAt(book, 1, 1, 1)->Interior()->ColorIndex(), xlNone);
    // Formulas keep their token arrays and results.
    const TXLSCellRef* formula = book.Worksheets().Entries(1)->CellHeap().Find(5, 0);
    ASSERT_NE(formula, nullptr);
    EXPECT_EQ(formula->kind, CellKind::Formula);
    EXPECT_EQ(ValueAt(book, 1, 6, 1), Variant::Double(1200246912));
    // A merged area: its other cells read as null.
    EXPECT_EQ(ValueAt(book, 1, 10, 1), Variant::Text(u"scalone"));
    EXPECT_TRUE(ValueAt(book, 1, 10, 2).IsNull());
    EXPECT_FALSE(book.Worksheets().Entries(1)->Parts().mergedAreas.empty());
    EXPECT_EQ(ValueAt(book, 2, 1, 2), Variant::Text(u"drugi arkusz"));
    EXPECT_EQ(ValueAt(book, 3, 1, 1), Variant::Double(3.25));
  }
}

// The constant cells of a Gnumeric workbook file (uncompressed XML, one
// element per line): numbers (value type 40) and texts (60), by sheet name.
struct SourceCell {
  std::u16string sheet;
  int row = 0;
  int column = 0;
  Variant value;
};

std::vector<SourceCell> ConstantCellsOf(const fs::path& file) {
  static const std::regex sheetName(R"(^\s*<gnm:Name>(.*)</gnm:Name>)");
  static const std::regex cell(R"x(<gnm:Cell Row="(\d+)" Col="(\d+)" ValueType="(40|60)">(.*)</gnm:Cell>)x");
  std::ifstream in(file);
  std::vector<SourceCell> cells;
  std::u16string sheet;
  std::smatch match;
  for (std::string line; std::getline(in, line);) {
    if (std::regex_search(line, match, sheetName)) sheet = platform::Utf8ToUtf16(match[1].str());
    if (!std::regex_search(line, match, cell)) continue;
    const std::string content = match[4].str();
    cells.push_back({sheet, std::stoi(match[1].str()) + 1, std::stoi(match[2].str()) + 1,
                     match[3].str() == "40" ? Variant::Double(std::stod(content))
                                            : Variant::Text(platform::Utf8ToUtf16(content))});
  }
  return cells;
}

IXLSWorksheet* SheetNamed(TXLSWorkbook& book, const std::u16string& name) {
  for (int position = 1; position <= book.Worksheets().Count(); ++position)
    if (book.Worksheets().Entries(position)->Name() == name) return book.Worksheets().Entries(position);
  return nullptr;
}

// Gnumeric's BIFF7 of a workbook it read as BIFF8 declares code page 1200
// and mixes 8-bit ASCII texts with UTF-16 ones (see its make script).
TEST(ReaderFixtures, GnumericBiff7OfTheUtf16CodePageReadsAsItsSource) {
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("gnumeric_biff7_utf16.xls").string()), 1);
  EXPECT_EQ(book.FormatRead(), FileFormat::Biff5);
  const std::vector<SourceCell> source = ConstantCellsOf(Fixture("gnumeric_biff7_utf16_source.gnumeric"));
  ASSERT_EQ(source.size(), 20u);
  ASSERT_EQ(book.Worksheets().Count(), 2);
  for (const SourceCell& cell : source) {
    const IXLSWorksheet* sheet = SheetNamed(book, cell.sheet);
    ASSERT_NE(sheet, nullptr) << platform::Utf16ToUtf8(cell.sheet);
    EXPECT_EQ(sheet->Cells()->Item(cell.row, cell.column)->Value(), cell.value)
        << platform::Utf16ToUtf8(cell.sheet) << " " << cell.row << "," << cell.column;
  }
  // Formulas keep their results: an 8-bit one and a UTF-16 one.
  EXPECT_EQ(ValueAt(book, 1, 8, 1), Variant::Text(u"600123484"));
  EXPECT_EQ(ValueAt(book, 1, 8, 2), Variant::Text(u"Łódź – Telefon"));
}

TEST(ReaderFixtures, XlwtWorkbooks) {
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("xlwt_basic.xls").string()), 1);
  EXPECT_EQ(ValueAt(book, 1, 6, 1), Variant::Text(u"£¥ café"));  // compressed strings are not code page text
  EXPECT_EQ(ValueAt(book, 1, 8, 1), Variant::Text(u"'apostrophe"));
  EXPECT_EQ(book.Worksheets().Entries(1)->Columns().Find(0)->width, 4022);
  EXPECT_EQ(book.Worksheets().Entries(1)->Columns().Find(2)->width, 6000);

  ASSERT_EQ(book.Open(Fixture("xlwt_long_sst.xls").string()), 1);
  EXPECT_EQ(ValueAt(book, 1, 699, 1), Variant::Text(u"plain text number 00698 xxxxxxxxxx"));
  const Variant last = ValueAt(book, 1, 701, 1);
  ASSERT_TRUE(last.IsText());
  EXPECT_EQ(last.AsText(), std::u16string(5000, u'a') + std::u16string(3000, u'ł'));

  ASSERT_EQ(book.Open(Fixture("xlwt_1904.xls").string()), 1);
  EXPECT_TRUE(book.Date1904());
  EXPECT_EQ(ValueAt(book, 1, 1, 1), Variant::Date(43890));
  EXPECT_EQ(ValueAt(book, 1, 3, 1), Variant::Double(1000));
  EXPECT_EQ(ValueAt(book, 1, 4, 1), Variant::Date(1000 + 1462));
}

TEST(ReaderFixtures, MacroSheetBetweenTwoWorksheets) {
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("macro_sheet_between.xls").string()), 1);
  ASSERT_EQ(book.Worksheets().Count(), 2);
  EXPECT_EQ(book.Worksheets().Entries(1)->Name(), u"Pierwszy");
  EXPECT_EQ(ValueAt(book, 1, 1, 1), Variant::Text(u"w Pierwszy"));
  EXPECT_EQ(book.Worksheets().Entries(2)->Name(), u"Trzeci");
  EXPECT_EQ(ValueAt(book, 2, 1, 1), Variant::Text(u"w Trzeci"));
}

TEST(ReaderFixtures, ChartSheetFirstAndEmbeddedChart) {
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("gnumeric_chart_sheet_first.xls").string()), 1);
  ASSERT_EQ(book.Worksheets().Count(), 2);
  const IXLSWorksheet& chart = *book.Worksheets().Entries(1);
  EXPECT_EQ(chart.Name(), u"Wykres");
  EXPECT_EQ(chart.Type(), SheetType::Chart);
  EXPECT_FALSE(chart.Parts().chart.empty());
  EXPECT_TRUE(ValueAt(book, 1, 1, 1).IsNull());
  EXPECT_EQ(book.Worksheets().Entries(2)->Name(), u"Dane");
  EXPECT_EQ(ValueAt(book, 2, 1, 1), Variant::Double(600123450));

  ASSERT_EQ(book.Open(Fixture("libreoffice_embedded_chart.xls").string()), 1);
  const TXLSRecordList& drawing = book.Worksheets().Entries(1)->Parts().drawing;
  int bofs = 0, eofs = 0;
  for (const TXLSRecord& record : drawing) {
    bofs += record.id == 0x0809;
    eofs += record.id == 0x000A;
  }
  EXPECT_EQ(bofs, 1);  // the embedded chart's substream stays with the sheet's drawing
  EXPECT_EQ(eofs, 1);
  EXPECT_FALSE(book.DrawingGroup().empty());
}

TEST(ReaderFixtures, NamesPageSetupProtectionAndHyperlinks) {
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("libreoffice_settings.xls").string()), 1);
  const IXLSWorksheet& sheet = *book.Worksheets().Entries(1);
  const TXLSPageSetup& setup = sheet.Parts().pageSetup;
  ASSERT_EQ(setup.printAreas.size(), 1u);
  EXPECT_EQ(setup.printAreas[0], (TXLSArea{0, 19, 0, 1}));
  ASSERT_TRUE(setup.printTitleRows.has_value());
  EXPECT_EQ(*setup.printTitleRows, (TXLSArea{0, 0, 0, 255}));
  EXPECT_EQ(setup.options & 0x0002, 0);  // landscape
  EXPECT_TRUE(sheet.Parts().protection.isProtected);
  EXPECT_FALSE(sheet.Parts().hyperlinks.empty());
  ASSERT_EQ(book.Names().size(), 1u);
  EXPECT_EQ(book.Names()[0].name, u"Numery");
  // =SUM(Numery) refers to the third NAME of the file; the copy writes that name first.
  const TXLSCellRef* sum = book.Worksheets().Entries(2)->CellHeap().Find(0, 0);
  ASSERT_NE(sum, nullptr);
  ASSERT_EQ(sum->kind, CellKind::Formula);
  ASSERT_GE(sum->formula->tokens.size(), 3u);
  EXPECT_EQ(sum->formula->tokens[0] & 0x1F, 0x03);  // the name token
  EXPECT_EQ(sum->formula->tokens[1], 1);
}

TEST(ReaderFixtures, EncryptedWorkbooks) {
  TXLSWorkbook plain;
  ASSERT_EQ(plain.Open(Fixture("rc4_plain_source.xls").string()), 1);
  struct Case {
    const char* file;
    std::u16string password;
    int expected;
  } cases[] = {
      {"rc4_default_password.xls", u"", 1},
      {"rc4_user_password.xls", u"", -1003},
      {"rc4_user_password.xls", u"tajne", 1},
      {"rc4_user_password.xls", u"jawne", -1005},
      {"rc4_user_password.xls", std::u16string(32, u'x'), -1004},
      {"xor_default_password.xls", u"", 1},
      {"xor_user_password.xls", u"", -1003},
      {"xor_user_password.xls", u"tajne", 1},
      {"xor_user_password.xls", u"tajni", -1005},
      {"cryptoapi_default_password.xls", u"", 1},
      {"cryptoapi_user_password.xls", u"", -1003},
      {"cryptoapi_user_password.xls", u"tajne", 1},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(c.file).string(), c.password), c.expected) << c.file;
    if (c.expected != 1) continue;
    for (int row = 1; row <= 300; row += 37) {
      EXPECT_EQ(ValueAt(book, 1, row, 1), ValueAt(plain, 1, row, 1)) << row;
      EXPECT_EQ(ValueAt(book, 1, row, 2), ValueAt(plain, 1, row, 2)) << row;
    }
  }
}

TEST(ReaderFixtures, EveryReadableFileSurvivesACopy) {
  const testing::TestFolder folder;
  struct Case {
    const char* file;
    const char* original;  // what the copy is compared with (an encrypted file: its plain source)
    const char* options = "";
  } cases[] = {
      {"libreoffice_biff8.xls", nullptr},
      {"gnumeric_biff8.xls", nullptr},
      // BIFF5 comments are laid out unlike BIFF8 ones and are not carried into the BIFF8 copy.
      {"gnumeric_biff7_cp1250.xls", nullptr, " --no-comments"},
      {"xlwt_basic.xls", nullptr},
      {"xlwt_long_sst.xls", nullptr},
      {"xlwt_1904.xls", nullptr},
      {"macro_sheet_between.xls", nullptr},
      {"rc4_default_password.xls", "rc4_plain_source.xls"},
      {"xor_default_password.xls", "rc4_plain_source.xls"},
      {"cryptoapi_default_password.xls", "rc4_plain_source.xls"},
      {"libreoffice_embedded_chart.xls", nullptr},
      {"gnumeric_chart_sheet_first.xls", nullptr},
      {"libreoffice_settings.xls", nullptr},
      {"gnumeric_errors.xls", nullptr},
      // xlrd reads its mixed texts all as UTF-16: compared with the BIFF8 file it was made from.
      {"gnumeric_biff7_utf16.xls", "gnumeric_biff8_utf16.xls"},
  };
  for (const Case& c : cases) {
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(c.file).string()), 1) << c.file;
    const fs::path copy = folder / c.file;
    ASSERT_EQ(book.SaveAs(copy.string()), 1) << c.file;
    const fs::path original = Fixture(c.original ? c.original : c.file);
    const auto check = testing::RunCommand(std::string(TALVANE_PYTHON) + " " + TALVANE_SOURCE_DIR +
                                           "/xls/testdata/compare_copy.py '" + original.string() + "' '" +
                                           copy.string() + "'" + c.options);
    EXPECT_EQ(check.status, 0) << c.file << ": " << check.output;
    EXPECT_NE(check.output.find("OK"), std::string::npos) << c.file << ": " << check.output;
    // And the copy reads back into the same model.
    TXLSWorkbook again;
    ASSERT_EQ(again.Open(copy.string()), 1) << c.file;
    EXPECT_EQ(again.Worksheets().Count(), book.Worksheets().Count()) << c.file;
  }
}

}  // namespace
}  // namespace xls
