// `talvane-cli xls dump` and `xls copy` as a user runs them on workbooks
// written by other programs: the JSON lines of a dump, and a copy that
// independent readers (python3-xlrd, python3-olefile) find equal to the
// original.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/cli_programs.h"
#include "tests/workbook_fixtures.h"
#include "xls/xls_test_support.h"

namespace {

namespace fs = std::filesystem;
using e2e::Lines;
using e2e::RunCli;
using e2e::Streams;

std::string Fixture(const std::string& name) { return (e2e::kReaderFixtures / name).string(); }

// python3-olefile and python3-xlrd find the copy equal to the original.
e2e::Result CompareCopy(const std::string& original, const fs::path& copy) {
  return e2e::RunProgram(
      {TALVANE_PYTHON, std::string(TALVANE_SOURCE_DIR) + "/xls/testdata/compare_copy.py", original, copy.string()});
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& candidate : lines) {
    if (candidate == line) return true;
  }
  return false;
}

TEST(XlsDump, PrintsSheetsCellsAndWidths) {
  const e2e::Result result = RunCli({"xls", "dump", Fixture("libreoffice_biff8.xls")});
  ASSERT_EQ(result.status, 0) << result.out;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "{\"open\": 1}");
  for (const char* expected : {
           "{\"sheet\": 1, \"name\": \"Numery\"}",
           "{\"sheet\": 1, \"row\": 0, \"col\": 0, \"kind\": \"number\", \"value\": 600123456, \"fill\": -4142, "
           "\"halign\": 0, \"valign\": 2}",
           "{\"sheet\": 1, \"row\": 0, \"col\": 1, \"kind\": \"text\", \"value\": \"Zażółć gęślą jaźń\", \"fill\": "
           "-4142, \"halign\": 0, \"valign\": 2}",
           "{\"sheet\": 1, \"row\": 2, \"col\": 1, \"kind\": \"text\", \"value\": \"korekta\", \"fill\": 46, "
           "\"halign\": 2, \"valign\": 1}",
           "{\"sheet\": 1, \"row\": 3, \"col\": 0, \"kind\": \"number\", \"value\": 12345, \"fill\": 3, \"halign\": "
           "3, \"valign\": 0}",
           "{\"sheet\": 1, \"row\": 4, \"col\": 0, \"kind\": \"date\", \"value\": 43890, \"fill\": -4142, \"halign\": "
           "0, \"valign\": 2}",
           "{\"sheet\": 1, \"row\": 7, \"col\": 1, \"kind\": \"boolean\", \"value\": true, \"fill\": -4142, "
           "\"halign\": 0, \"valign\": 2}",
           "{\"sheet\": 1, \"col\": 0, \"width\": 3986}",
           "{\"sheet\": 3, \"name\": \"Trzeci\"}",
       })
    EXPECT_TRUE(HasLine(lines, expected)) << expected << "\n" << result.out.substr(0, 2000);
}

TEST(XlsDump, ReportsAFileThatIsNoWorkbookOrADamagedOne) {
  const struct {
    const char* file;
    int open;
    const char* reason;
  } cases[] = {
      {"not_a_workbook.txt", -3, "not a spreadsheet"},
      {"../xlsx/hostile_truncated.xlsx", -1, "damaged file"},
      {"../xlsx/hostile_missing_sheet.xlsx", -12, "damaged file: a part of the workbook is missing"},
  };
  for (const auto& c : cases) {
    const e2e::Result result = RunCli({"xls", "dump", Fixture(c.file)}, Streams::Separate);
    EXPECT_EQ(result.status, 1) << c.file;
    // The first line says why; what could be read before the fault may follow.
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "{\"open\": " + std::to_string(c.open) + ", \"message\": \"" + c.reason + "\"}")
        << c.file;
    EXPECT_EQ(result.err, "talvane-cli xls dump: cannot read " + Fixture(c.file) + ": " + c.reason + "\n");
  }
}

// An Excel 4.0 worksheet (BIFF4): a BOF, a number, an EOF.
void WriteBiff4File(const fs::path& path) {
  const unsigned char bytes[] = {0x09, 0x04, 0x06, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,  // BOF
                                 0x03, 0x02, 0x0E, 0x00, 0, 0, 0, 0, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,
                                 0x0A, 0x00, 0x00, 0x00};
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(XlsDump, SaysAnOlderFormatIsTooOldAndHowToConvertIt) {
  const xls::testing::TestFolder folder;
  const fs::path file = folder / "excel4.xls";
  WriteBiff4File(file);
  const e2e::Result result = RunCli({"xls", "dump", file.string()}, Streams::Separate);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "{\"open\": -4, \"message\": \"an Excel 2.x-4.0 workbook (BIFF2-BIFF4), a format too old to be read; open "
            "it in a spreadsheet program and save it as .xls (Excel 97-2003)\"}\n");
}

TEST(XlsCopy, TheCopyHoldsWhatTheOriginalHolds) {
  const xls::testing::TestFolder folder;
  for (const char* file : {"xlwt_basic.xls", "gnumeric_biff8.xls"}) {
    const fs::path out = folder / file;
    const e2e::Result copy = RunCli({"xls", "copy", Fixture(file), out.string()});
    ASSERT_EQ(copy.status, 0) << copy.out;
    EXPECT_EQ(copy.out, "{\"open\": 1, \"save\": 1}\n");
    const e2e::Result check = CompareCopy(Fixture(file), out);
    EXPECT_EQ(check.status, 0) << file << ": " << check.out;
  }
  const fs::path none = folder / "none.xls";
  const e2e::Result failed = RunCli({"xls", "copy", Fixture("not_a_workbook.txt"), none.string()}, Streams::Separate);
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "{\"open\": -3, \"save\": null, \"message\": \"not a spreadsheet\"}\n");
  EXPECT_FALSE(fs::exists(none));
}

TEST(XlsCopy, AWorkbookWithoutItsFinalEofIsCopied) {
  const xls::testing::TestFolder folder;
  // The xlwt workbook's stream without its last EOF, as a plain BIFF file.
  const fs::path cut = folder / "cut.xls";
  const e2e::Result made = e2e::WriteStreamWithoutItsEnd(Fixture("xlwt_basic.xls"), cut);
  ASSERT_EQ(made.status, 0) << made.out;
  const fs::path out = folder / "copy.xls";
  const e2e::Result copy = RunCli({"xls", "copy", cut.string(), out.string()});
  EXPECT_EQ(copy.status, 0) << copy.out;
  EXPECT_EQ(copy.out.rfind("{\"open\": 100, \"save\": 1, \"message\": ", 0), 0u) << copy.out;
  const e2e::Result check = CompareCopy(Fixture("xlwt_basic.xls"), out);
  EXPECT_EQ(check.status, 0) << check.out;
}

}  // namespace
