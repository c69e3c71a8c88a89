// .xlsx workbooks written by independent programs (xls/testdata/xlsx,
// made by make_fixtures.py): what Open reads from them, that each reads as
// the same sheet saved as .xls does, and that damaged and hostile packages
// end in a clear result.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/codepage.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/interior.h"
#include "xls/workbook.h"
#include "xls/xlsx_package.h"
#include "xls/xls_test_support.h"
#include "xls/xlsx_sheet.h"

namespace xls {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const std::string& name) { return fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/xlsx" / name; }

// A cell's value in words: "600123456", "text:48600123456", "date:45352",
// "bool:1", "null"; numbers with up to 15 significant digits.
std::string Describe(const Variant& value) {
  char buffer[64];
  switch (value.Kind()) {
    case VariantKind::Null: return "null";
    case VariantKind::Date: std::snprintf(buffer, sizeof buffer, "date:%.15g", value.AsDouble()); return buffer;
    case VariantKind::Boolean: return value.AsBoolean() ? "bool:1" : "bool:0";
    default: break;
  }
  if (value.IsText()) return "text:" + platform::Utf16ToUtf8(value.AsText());
  std::snprintf(buffer, sizeof buffer, "%.15g", value.AsDouble());
  return buffer;
}

std::string CellText(TXLSWorkbook& book, int row, int column = 1) {
  return Describe(book.Worksheets().Entries(1)->Cells()->Item(row, column)->Value());
}

int Fill(TXLSWorkbook& book, int row, int column = 1) {
  return book.Worksheets().Entries(1)->Cells()->Item(row, column)->Interior()->ColorIndex();
}

TEST(XlsxReader, ReadsWhatIndependentWritersWrote) {
  struct Case {
    const char* file;
    const char* firstSheet;
    std::vector<std::string> columnA;  // from A1 down
    std::vector<int> fills;            // colour index of A1, A2, ...
  } cases[] = {
      {"openpyxl_list.xlsx",
       "Lista",
       {"600123456", "text:48600123456", "600123457", "bool:1", "date:45352", "text:Łódź 600", "12.5",
        "text:60012345", "null"},
       {-4142, -4142, 4, -4142, -4142, -4142, -4142, 3, -4142}},
      {"xlsxwriter_inline_formula.xlsx",
       "Numery",
       {"text:600123456", "600123457", "text:48600123456", "600123458", "date:45284", "bool:0", "null"},
       {-4142, -4142, -4142, 4, -4142, -4142, -4142}},
      {"gnumeric_list.xlsx",
       "gnumeric_source.csv",
       {"600123456", "48600123456", "text:Zażółć", "601000000", "null"},
       {-4142, -4142, -4142, -4142, -4142}},
      {"openpyxl_empty_first_row.xlsx", "Sheet", {"null", "600123456", "text:600123457", "null"}, {}},
      // Shared strings, an empty first row, formulas with cached results.
      {"libreoffice_list.xlsx",
       "Klienci",
       {"null", "600123456", "text:+48 600 123 457", "600123458", "text:60012345", "600123459", "date:45352", "12.5",
        "null"},
       {-4142, -4142, -4142, 4, 3, -4142, -4142, -4142, -4142}},
      // The workbook's first sheet is stored in the entry named sheet2.xml.
      {"second_entry_first.xlsx", "Pierwszy", {"text:600111111", "null"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(c.file).string()), kOpenOk);
    EXPECT_EQ(book.FormatRead(), FileFormat::Xlsx);
    EXPECT_FALSE(book.SaveKeepsEverything());  // a BIFF8 copy never holds the whole package
    EXPECT_EQ(platform::Utf16ToUtf8(book.Worksheets().Entries(1)->Name()), c.firstSheet);
    for (std::size_t row = 0; row < c.columnA.size(); ++row)
      EXPECT_EQ(CellText(book, static_cast<int>(row) + 1), c.columnA[row]) << "row " << row + 1;
    for (std::size_t row = 0; row < c.fills.size(); ++row)
      EXPECT_EQ(Fill(book, static_cast<int>(row) + 1), c.fills[row]) << "row " << row + 1;
  }
}

TEST(XlsxReader, SecondSheetAndOpenBytes) {
  std::ifstream in(Fixture("second_entry_first.xlsx"), std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TXLSWorkbook book;
  ASSERT_EQ(book.OpenBytes(bytes), kOpenOk);
  ASSERT_EQ(book.Worksheets().Count(), 2);
  EXPECT_EQ(Describe(book.Worksheets().Entries(2)->Cells()->Item(1, 1)->Value()), "text:600222222");
}

// The same sheet as .xlsx and as .xls (saved from it by Gnumeric, or by
// LibreOffice from the same source): every
// cell of the used area reads alike, value and fill.
// Gnumeric's BIFF8 export gives unfilled cells an automatic solid fill
// (-4105); the .xlsx says "none" (-4142). Both are "no colour" to a reader.
int Colour(int colourIndex) { return colourIndex == -4105 ? -4142 : colourIndex; }

TEST(XlsxReader, ReadsLikeTheSameSheetSavedAsXls) {
  const std::pair<fs::path, fs::path> pairs[] = {
      {Fixture("openpyxl_list.xlsx"), Fixture("openpyxl_list.xls")},
      {Fixture("xlsxwriter_inline_formula.xlsx"), Fixture("xlsxwriter_inline_formula.xls")},
      {Fixture("gnumeric_list.xlsx"), Fixture("gnumeric_list.xls")},
      {Fixture("openpyxl_empty_first_row.xlsx"), Fixture("openpyxl_empty_first_row.xls")},
      {Fixture("libreoffice_list.xlsx"), Fixture("libreoffice_list.xls")},
      // LibreOffice's .xlsx of the 300-row sheet of the reader fixtures.
      {fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader/zip_workbook.xlsx",
       fs::path(TALVANE_SOURCE_DIR) / "xls/testdata/reader/rc4_plain_source.xls"},
  };
  for (const auto& [xlsx, xls] : pairs) {
    SCOPED_TRACE(xlsx.filename().string());
    TXLSWorkbook fromXlsx, fromXls;
    ASSERT_EQ(fromXlsx.Open(xlsx.string()), kOpenOk);
    ASSERT_EQ(fromXls.Open(xls.string()), kOpenOk);
    const TXLSCellHeap& heap = fromXls.Worksheets().Entries(1)->CellHeap();
    ASSERT_FALSE(heap.Empty());
    for (int row = 1; row <= heap.LastRow() + 2; ++row) {
      for (int column = 1; column <= heap.LastColumn() + 2; ++column) {
        EXPECT_EQ(CellText(fromXlsx, row, column), CellText(fromXls, row, column)) << row << "," << column;
        EXPECT_EQ(Colour(Fill(fromXlsx, row, column)), Colour(Fill(fromXls, row, column))) << row << "," << column;
      }
    }
  }
}

TEST(XlsxReader, DamagedAndHostilePackagesEndInAClearResult) {
  struct Case {
    const char* file;
    int expected;
  } cases[] = {
      {"hostile_truncated.xlsx", kOpenCorrupt},      {"hostile_missing_sheet.xlsx", kOpenEntryMissing},
      {"hostile_deep.xlsx", kOpenTooDeep},           {"hostile_entities.xlsx", kOpenTooDeep},
      {"hostile_huge_declared.xlsx", kOpenTooLarge}, {"hostile_bad_xml.xlsx", kOpenCorrupt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path file = Fixture(c.file);
    const auto before = fs::file_size(file);
    TXLSWorkbook book;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(book.Open(file.string()), c.expected);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // the XML parser's own messages stay unprinted
    EXPECT_EQ(fs::file_size(file), before);
    EXPECT_NE(OpenResultReason(c.expected, file).find("damaged"), std::string::npos);
  }
}

// A sheet holds 65,536 rows: a value further down is left out, and the sheet
// says so; a formatted blank cell down there (spreadsheets write them) is no
// loss.
TEST(XlsxReader, ValuesPastTheSheetsLastRowAreNotedAsLeftOut) {
  for (const auto& [file, leftOut] : {std::pair{"rows_past_the_sheet.xlsx", true},
                                      std::pair{"blank_rows_past_the_sheet.xlsx", false},
                                      std::pair{"openpyxl_list.xlsx", false}}) {
    SCOPED_TRACE(file);
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(Fixture(file).string()), kOpenOk);
    EXPECT_EQ(book.Worksheets().Entries(1)->RowsLeftOut(), leftOut);
    EXPECT_EQ(CellText(book, 1), "600123456");  // what the sheet holds is read all the same
  }
}

// A password-protected .xlsx is a compound file with the encrypted package
// inside: a password result, not "not a spreadsheet".
TEST(XlsxReader, EncryptedPackageIsReportedAsEncrypted) {
  cfb::CompoundFileWriter writer;
  ASSERT_EQ(writer.AddStream(writer.Root(), u"EncryptionInfo", std::vector<std::uint8_t>(200, 1)), cfb::kOk);
  ASSERT_EQ(writer.AddStream(writer.Root(), u"EncryptedPackage", std::vector<std::uint8_t>(5000, 2)), cfb::kOk);
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(writer.SaveToBytes(bytes), cfb::kOk);
  TXLSWorkbook book;
  EXPECT_EQ(book.OpenBytes(bytes), kOpenEncryptedPackage);
  EXPECT_EQ(OpenResultReason(kOpenEncryptedPackage, "x.xlsx"), "encrypted with a password");
}

// A copy of openpyxl_list.xlsx whose first sheet's entry holds `xml` (bytes
// as they stand), made by python's zipfile.
fs::path WithSheetEntry(const fs::path& folder, const std::string& sheetXml) {
  const fs::path xml = folder / "sheet.xml", out = folder / "lista.xlsx";
  std::ofstream(xml, std::ios::binary) << sheetXml;
  const auto made = testing::RunCommand(
      std::string(TALVANE_PYTHON) + " -c \"import sys, zipfile\n"
      "src = zipfile.ZipFile(sys.argv[1]); out = zipfile.ZipFile(sys.argv[3], 'w', zipfile.ZIP_DEFLATED)\n"
      "for n in src.namelist(): out.writestr(n, open(sys.argv[2], 'rb').read() if n == 'xl/worksheets/sheet1.xml' "
      "else src.read(n))\n"
      "out.close()\" '" + Fixture("openpyxl_list.xlsx").string() + "' '" + xml.string() + "' '" + out.string() + "'");
  EXPECT_EQ(made.status, 0) << made.output;
  return out;
}

// A copy of openpyxl_list.xlsx whose first sheet holds `sheetData`.
fs::path WithSheetData(const fs::path& folder, const std::string& sheetData) {
  return WithSheetEntry(folder, R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
                                   sheetData + "</sheetData></worksheet>");
}

// The forms XML gives the same text: references to characters and the
// predefined entities, CDATA sections, spaces kept by xml:space, names with
// a namespace prefix, a byte-order mark, UTF-16.
TEST(XlsxReader, EveryFormOfTheSameXmlReadsAlike) {
  const std::string sheetData =
      R"(<row r="1"><c r="A1" t="inlineStr"><is><t>A&amp;B &#x105;&#261; &lt;1&gt;</t></is></c>)"
      R"(<c r="B1" t="inlineStr"><is><t><![CDATA[600 & <700>]]></t></is></c>)"
      R"(<c r="C1" t="inlineStr"><is><t xml:space="preserve">  </t></is></c></row>)"
      R"(<x:row xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" r="2">)"
      R"(<x:c r="A2"><x:v>600123456</x:v></x:c></x:row>)";
  const std::string utf8 = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
                           sheetData + "</sheetData></worksheet>";
  std::string utf16 = "\xFF\xFE";  // little-endian, as Windows programs write it
  for (const char16_t unit : platform::Utf8ToUtf16(std::string(utf8).replace(utf8.find("UTF-8"), 5, "UTF-16"))) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  const struct {
    const char* form;
    std::string xml;
  } forms[] = {{"UTF-8", utf8}, {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8}, {"UTF-16", utf16}};
  for (const auto& form : forms) {
    SCOPED_TRACE(form.form);
    const testing::TestFolder folder;
    TXLSWorkbook book;
    ASSERT_EQ(book.Open(WithSheetEntry(folder.Path(), form.xml).string()), kOpenOk);
    EXPECT_EQ(CellText(book, 1, 1), "text:A&B ąą <1>");
    EXPECT_EQ(CellText(book, 1, 2), "text:600 & <700>");
    EXPECT_EQ(CellText(book, 1, 3), "text:  ");
    EXPECT_EQ(CellText(book, 2, 1), "600123456");
  }
}

// Texts a cell carries itself (inline strings, text results of formulas)
// reach the shared string table only at the end of the sheet: what a cell
// held last is what it holds then, and equal texts share one entry.
TEST(XlsxReader, TextsOfTheCellsThemselvesAsTheCellLastHadThem) {
  const testing::TestFolder folder;
  const fs::path file = WithSheetData(
      folder.Path(),
      R"(<row r="1"><c r="A1" t="inlineStr"><is><t>Zażółć 600</t></is></c>)"
      R"(<c r="B1" t="inlineStr"><is><r><t>600</t></r><r><t>123</t></r><rPh><t>ロ</t></rPh></is></c></row>)"
      R"(<row r="2"><c r="XFD2" t="inlineStr"><is><t>poza arkuszem</t></is></c>)"
      R"(<c r="A2" t="inlineStr"><is><t>600123456</t></is></c></row>)"
      R"(<row r="3"><c r="A3" t="inlineStr"><is><t>zastąpiony</t></is></c><c r="A3"><v>5</v></c>)"
      R"(<c r="B3"><v>1</v></c><c r="B3" t="inlineStr"><is><t>pierwszy</t></is></c>)"
      R"(<c r="B3" t="inlineStr"><is><t>ostatni</t></is></c></row>)"
      R"(<row r="4"><c r="A4" t="str"><f>A1</f><v>Zażółć 600</v></c><c r="B4"><v>+7</v></c></row>)");
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(file.string()), kOpenOk);
  const struct {
    int row, column;
    const char* value;
  } cells[] = {{1, 1, "text:Zażółć 600"}, {1, 2, "text:600123"}, {2, 1, "text:600123456"}, {3, 1, "5"},
               {3, 2, "text:ostatni"},    {4, 1, "text:Zażółć 600"}, {4, 2, "7"}};
  for (const auto& c : cells) EXPECT_EQ(CellText(book, c.row, c.column), c.value) << c.row << "," << c.column;
  const TXLSStringTable& strings = book.Strings();
  const std::int32_t shared = strings.Find(u"Zażółć 600");
  ASSERT_GE(shared, 0);
  EXPECT_EQ(strings.UseCount(shared), 2u);
  for (const char16_t* gone : {u"zastąpiony", u"pierwszy", u"poza arkuszem"}) {
    const std::int32_t index = strings.Find(gone);
    EXPECT_TRUE(index < 0 || strings.UseCount(index) == 0) << platform::Utf16ToUtf8(gone);
  }
}

// The window runs in the user's locale, where the decimal separator is a
// comma: numbers in a sheet's XML are read all the same.
TEST(XlsxReader, NumbersReadTheSameInALocaleWithADecimalComma) {
  const testing::TestFolder folder;
  const auto made = testing::RunCommand("localedef -i pl_PL -f UTF-8 '" + (folder / "pl_PL.UTF-8").string() + "'");
  ASSERT_EQ(made.status, 0) << made.output;  // the locales package holds the sources
  ::setenv("LOCPATH", folder.Path().c_str(), 1);
  ASSERT_NE(std::setlocale(LC_ALL, "pl_PL.UTF-8"), nullptr);
  struct Restore {
    ~Restore() {
      std::setlocale(LC_ALL, "C");
      ::unsetenv("LOCPATH");
    }
  } restore;
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  TXLSWorkbook book;
  ASSERT_EQ(book.Open(Fixture("openpyxl_list.xlsx").string()), kOpenOk);
  const IXLSRange cells = book.Worksheets().Entries(1)->Cells();
  EXPECT_EQ(cells->Item(7, 1)->Value().Kind(), VariantKind::Double);
  EXPECT_EQ(cells->Item(7, 1)->Value().AsDouble(), 12.5);
  EXPECT_EQ(cells->Item(5, 1)->Value().AsDouble(), 45352);
}

TEST(XlsxReader, CellReferencesAndDates) {
  struct Reference {
    const char* text;
    bool ok;
    int row, column;
  } references[] = {{"A1", true, 0, 0},   {"IV65536", true, 65535, 255}, {"AA10", true, 9, 26},
                    {"XFD1048576", true, 1048575, 16383}, {"a1", false, 0, 0}, {"A", false, 0, 0},
                    {"1", false, 0, 0},  {"A0", false, 0, 0}, {"A1x", false, 0, 0}, {"", false, 0, 0},
                    {"A-1", false, 0, 0}, {"A 1", false, 0, 0}, {"B+2", false, 0, 0}};
  for (const Reference& r : references) {
    int row = -5, column = -5;
    EXPECT_EQ(ParseCellReference(r.text, row, column), r.ok) << r.text;
    if (r.ok) {
      EXPECT_EQ(std::make_pair(row, column), std::make_pair(r.row, r.column)) << r.text;
    }
  }
  struct Date {
    const char* text;
    double days;  // -1: not a date
  } dates[] = {{"2024-03-01", 45352},         {"1900-01-01", 1},         {"1900-03-01", 61},
               {"2024-03-01T12:00:00", 45352.5}, {"2024-02-30", -1}, {"yesterday", -1}};
  for (const Date& d : dates) {
    double days = -1;
    const bool ok = ParseIsoDate(d.text, days);
    EXPECT_EQ(ok, d.days >= 0) << d.text;
    if (ok) {
      EXPECT_DOUBLE_EQ(days, d.days) << d.text;
    }
  }
}

// A relationship's target is named from the folder of the entry that names
// it: relative, absolute from the package root, or climbing out with "..".
TEST(XlsxReader, TargetsAreNamedFromTheEntryThatNamesThem) {
  const struct {
    const char* from;
    const char* target;
    const char* entry;
  } targets[] = {{"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
                 {"xl/workbook.xml", "/xl/worksheets/sheet2.xml", "xl/worksheets/sheet2.xml"},
                 {"xl/worksheets/sheet1.xml", "../styles.xml", "xl/styles.xml"},
                 {"xl/workbook.xml", "./theme/../theme/theme1.xml", "xl/theme/theme1.xml"},
                 {"", "xl/workbook.xml", "xl/workbook.xml"}};
  for (const auto& t : targets) EXPECT_EQ(ResolveEntryName(t.from, t.target), t.entry) << t.from << " + " << t.target;
  EXPECT_EQ(RelationshipsEntryOf(""), "_rels/.rels");
  EXPECT_EQ(RelationshipsEntryOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
}

}  // namespace
}  // namespace xls
