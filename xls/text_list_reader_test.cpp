// Lists kept as text: the first field of each line into column A, the
// separators and quoting of CSV files, and the encodings lists come in.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "xls/range.h"
#include "xls/text_list_reader.h"
#include "xls/workbook.h"

namespace xls {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Column A from row 1 to the last used row, "" for an empty row; text cells only.
std::vector<std::string> ColumnA(TXLSWorkbook& book) {
  std::vector<std::string> column;
  IXLSWorksheet* sheet = book.Worksheets().Entries(1);
  if (!sheet || sheet->CellHeap().Empty()) return column;
  for (int row = 1; row <= sheet->CellHeap().LastRow() + 1; ++row) {
    const Variant value = sheet->Cells()->Item(row, 1)->Value();
    EXPECT_TRUE(value.IsNull() || value.IsText()) << "row " << row;
    column.push_back(value.IsText() ? platform::Utf16ToUtf8(value.AsText()) : "");
  }
  return column;
}

TEST(TextList, FirstFieldOfEachLineIntoColumnA) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> columnA;
  } cases[] = {
      {"one number a line", "600123456\n48600123456\n", {"600123456", "48600123456"}},
      {"CR LF and no final break", "600123456\r\n0600123456", {"600123456", "0600123456"}},
      {"semicolons", "600123456;Jan Kowalski;Kraków\n601000000;Anna\n", {"600123456", "601000000"}},
      {"tabs", "600123456\tJan\n601000000\tAnna\n", {"600123456", "601000000"}},
      {"commas with a quoted comma", "\"600,123\",x\n601000000,y\n", {"600,123", "601000000"}},
      {"semicolons beat a comma inside quotes", "\"Nowak, Jan\";600\n\"a\";1\n", {"Nowak, Jan", "a"}},
      {"doubled quotes and a quoted line break", "\"say \"\"hi\"\"\nthere\",1\n602000000,2\n",
       {"say \"hi\"\nthere", "602000000"}},
      {"an empty line leaves its row empty", "600123456\n\n601000000\n", {"600123456", "", "601000000"}},
      {"an empty first field", ";600123456\n601000000;x\n", {"", "601000000"}},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF\xC5\x81\xC3\xB3\x64\xC5\xBA\n", {"Łódź"}},
      {"UTF-8 without one", "\xC5\x81\xC3\xB3\x64\xC5\xBA;1\n", {"Łódź"}},
      {"Windows-1250", "\xA3\xF3\x64\x9F;1\n\x8C\x6C\xB9\x73\x6B\n", {"Łódź", "Śląsk"}},
      {"UTF-16 little-endian with its mark", std::string("\xFF\xFE" "6\0" "0\0" "\n\0" "A\0", 10), {"60", "A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TXLSWorkbook book;
    ASSERT_EQ(ReadTextList(book, Bytes(c.bytes)), kOpenOk);
    EXPECT_EQ(book.FormatRead(), FileFormat::Text);
    EXPECT_EQ(ColumnA(book), c.columnA);
  }
}

// A sheet holds 65,536 rows: a longer list is read up to there and the sheet
// says that values were left out; blank lines past the end are no loss.
TEST(TextList, ValuesPastTheSheetsLastRowAreNotedAsLeftOut) {
  std::string full;
  for (int row = 0; row < kRowCount; ++row) full += std::to_string(600000000 + row) + ";x\n";
  const struct {
    const char* name;
    std::string bytes;
    bool leftOut;
  } cases[] = {{"exactly a sheet", full, false},
               {"a sheet and blank lines", full + "\n;\r\n\n", false},
               {"one number more", full + "700000000\n", true},
               {"a number after blank lines", full + "\n\n700000000", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TXLSWorkbook book;
    ASSERT_EQ(ReadTextList(book, Bytes(c.bytes)), kOpenOk);
    const IXLSWorksheet& sheet = *book.Worksheets().Entries(1);
    EXPECT_EQ(sheet.RowsLeftOut(), c.leftOut);
    EXPECT_EQ(sheet.CellHeap().CellCount(), static_cast<std::size_t>(kRowCount));
  }
}

TEST(TextList, EncodingAndSeparatorDetection) {
  EXPECT_TRUE(IsValidUtf8("plain ascii"));
  EXPECT_TRUE(IsValidUtf8("\xC5\x81\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xA3\xF3\x64\x9F"));  // Windows-1250 "Łódź"
  EXPECT_FALSE(IsValidUtf8("\xC5"));              // cut short
  EXPECT_EQ(DetectSeparator(u"a;b;c\nd;e"), u';');
  EXPECT_EQ(DetectSeparator(u"a\tb,c\nd\te"), u'\t');
  EXPECT_EQ(DetectSeparator(u"600123456\n"), u',');
  EXPECT_EQ(DetectSeparator(u"\"a;b;c\",d\n"), u',');
}

TEST(TextList, BinaryFilesAreNotLists) {
  for (const std::string& bytes : {std::string("\x89PNG\r\n\x1A\n\0\0", 10), std::string("600\0" "123", 7)}) {
    TXLSWorkbook book;
    EXPECT_EQ(ReadTextList(book, Bytes(bytes)), kOpenNotWorkbook);
  }
}

// Files on disk: the content decides, whatever the name says.
TEST(TextList, OpenWorkbookOrListPicksTheReaderByContent) {
  const fs::path data = fs::path(TALVANE_SOURCE_DIR) / "xls/testdata";
  struct Case {
    fs::path file;
    int result;
    FileFormat format;
    std::string a1;
  } cases[] = {
      {data / "xlsx/gnumeric_export.csv", kOpenOk, FileFormat::Text, "600123456"},
      {data / "reader/not_a_workbook.txt", kOpenOk, FileFormat::Text, ""},
      {data / "xlsx/openpyxl_list.xlsx", kOpenOk, FileFormat::Xlsx, ""},
      {data / "xlsx/openpyxl_list.xls", kOpenOk, FileFormat::Biff8, ""},
      {data / "xlsx/hostile_deep.xlsx", kOpenTooDeep, FileFormat::None, ""},
      {data / "xlsx/no_such_file.csv", kOpenNotWorkbook, FileFormat::None, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.filename().string());
    TXLSWorkbook book;
    ASSERT_EQ(OpenWorkbookOrList(book, c.file.string()), c.result);
    if (c.result != kOpenOk) continue;
    EXPECT_EQ(book.FormatRead(), c.format);
    if (!c.a1.empty()) {
      EXPECT_EQ(ColumnA(book).at(0), c.a1);
    }
  }
}

}  // namespace
}  // namespace xls
