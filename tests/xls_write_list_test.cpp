// `talvane-cli xls write-list` as a user runs it: the result workbook it
// writes opens in independent readers with the numbers as texts, their
// fills, centred both ways, in a column 15 characters wide.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/cli_programs.h"
#include "xls/xls_test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(XlsWriteList, WritesTheResultWorkbookAndPrintsTheResultCode) {
  const xls::testing::TestFolder folder;
  const fs::path out = folder / "lista_out.xls";
  const e2e::Result result = e2e::RunCli({"xls", "write-list", out.string(), "600123456:46", "600123457",
                                          "48600123458:3", "600123459:4", "600123460:38", "600123461:-4142"});
  ASSERT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "1\n");

  std::ofstream expect(folder / "expect.txt");
  expect << "sheets\t1\nname\t0\tSheet1\nrows\t0\t6\nwidth\t0\t0\t4022\n";
  const std::pair<const char*, const char*> rows[] = {{"600123456", "53"}, {"600123457", "-"},
                                                      {"48600123458", "10"}, {"600123459", "11"},
                                                      {"600123460", "45"}, {"600123461", "-"}};
  int row = 0;
  for (const auto& [number, fill] : rows)
    expect << "cell\t0\t" << row++ << "\t0\ttext\t" << number << "\t" << fill << "\t2\t1\n";
  expect.close();
  const auto check = xls::testing::CheckWithXlrd(out, folder / "expect.txt");
  EXPECT_EQ(check.status, 0) << check.output;
}

TEST(XlsWriteList, RejectsBadArgumentsAndReportsFailedSaves) {
  const xls::testing::TestFolder folder;
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string output;
  };
  const std::string book = (folder / "a.xls").string();
  const Case cases[] = {
      {{"xls", "write-list"}, 2, "usage"},
      {{"xls", "write-list", book, "600123456:57"}, 2, "colour"},
      {{"xls", "write-list", book, "600123456:red"}, 2, "colour"},
      {{"xls", "write-list", (folder / "missing" / "a.xls").string(), "600123456"}, 1, "-2\n"},
      {{"xls", "frobnicate"}, 2, "unknown subcommand"},
  };
  for (const Case& c : cases) {
    const e2e::Result result = e2e::RunCli(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments.back() << "\n" << result.out;
    EXPECT_NE(result.out.find(c.output), std::string::npos) << c.arguments.back() << "\n" << result.out;
  }
  EXPECT_FALSE(fs::exists(folder / "a.xls"));
}

}  // namespace
