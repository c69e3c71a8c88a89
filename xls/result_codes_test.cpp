#include "xls/result_codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <initializer_list>

#include "platform/file_faults.h"
#include "platform/read_file.h"
#include "xls/workbook.h"
#include "xls/xls_test_support.h"

namespace xls {
namespace {

namespace fs = std::filesystem;

struct ResultCase {
  fs::path path;
  int result;
  std::string reason;
};

// Runs `operation` on a new workbook for each case: its result and the
// words for it.
void ExpectResults(std::initializer_list<ResultCase> cases,
                   const std::function<int(TXLSWorkbook&, const fs::path&)>& operation,
                   std::string (*reason)(int, const fs::path&)) {
  for (const ResultCase& c : cases) {
    TXLSWorkbook book;
    const int result = operation(book, c.path);
    EXPECT_EQ(result, c.result) << c.path;
    EXPECT_EQ(reason(result, c.path), c.reason) << c.path;
  }
}

TEST(ResultCodes, OpenFailuresAreNamedForTheirCause) {
  const testing::TestFolder folder;
  std::ofstream(folder / "notes.txt") << "not a workbook";
  fs::create_directories(folder / "folder.xls");
  ExpectResults(
      {
          {folder / "missing.xls", kOpenNotWorkbook, "no such file"},
          {folder / "missing" / "book.xls", kOpenNotWorkbook, "no such file"},
          {folder / "folder.xls", kOpenNotWorkbook, "a folder, not a file"},
          {folder / "notes.txt", kOpenNotWorkbook, "not a spreadsheet"},
      },
      [](TXLSWorkbook& book, const fs::path& path) { return book.Open(path.string()); }, OpenResultReason);
}

TEST(ResultCodes, AnUnreadableFileIsToldAndLeftAsItWas) {
  const testing::TestFolder folder;
  const fs::path book = folder / "book.xls";
  fs::copy_file(std::string(TALVANE_SOURCE_DIR) + "/xls/testdata/reader/libreoffice_biff8.xls", book);
  const std::vector<std::uint8_t> before = platform::ReadWholeFileBytes(book).value();
  {
    const platform::ScopedFileSystem unopenable(platform::testing::UnopenableFile(book, EACCES));
    TXLSWorkbook workbook;
    const int result = workbook.Open(book.string());
    EXPECT_EQ(result, kOpenNotWorkbook);
    EXPECT_EQ(OpenResultReason(result, book), "permission denied");
  }
  {
    const platform::ScopedFileSystem failingDisk(platform::testing::ReadFailsAfter(1000, EIO));
    TXLSWorkbook workbook;
    EXPECT_EQ(workbook.Open(book.string()), kOpenNotWorkbook);
    EXPECT_EQ(workbook.Worksheets().Count(), 0);
  }
  EXPECT_EQ(platform::ReadWholeFileBytes(book).value(), before);
  TXLSWorkbook workbook;
  EXPECT_EQ(workbook.Open(book.string()), kOpenOk);  // readable again, it opens
}

TEST(ResultCodes, SaveFailuresAreNamedForTheirCause) {
  const testing::TestFolder folder;
  fs::create_directories(folder / "folder.xls");
  ExpectResults(
      {
          {folder / "missing" / "book.xls", kSaveCannotCreate, "no such folder"},
          {folder / "folder.xls", kSaveCannotCreate, "a folder, not a file"},
          {"", kSaveEmptyPath, "no file name"},
      },
      [](TXLSWorkbook& book, const fs::path& path) { return book.SaveAs(path.string()); }, SaveResultReason);
}

TEST(ResultCodes, EveryOtherResultHasWordsToo) {
  const fs::path any = "book.xls";
  EXPECT_EQ(OpenResultReason(kOpenOk, any), "opened");
  EXPECT_EQ(OpenResultReason(kOpenCorrupt, any), "damaged file");
  EXPECT_EQ(OpenResultReason(kOpenUnfinished, any), "damaged file: it ends inside a sheet");
  EXPECT_EQ(OpenResultReason(kFilePassNeedsPassword, any), "encrypted with a password");
  EXPECT_EQ(OpenResultReason(kFilePassWrongPassword, any), "wrong password");
  EXPECT_EQ(OpenResultReason(-7, any), "unknown result -7");
  EXPECT_EQ(SaveResultReason(kSaveOk, any), "saved");
  EXPECT_EQ(SaveResultReason(cfb::kTooLarge, any), "too large for the file format");
  EXPECT_EQ(SaveResultReason(kOpenUnfinished, any), "unknown result 100");
}

}  // namespace
}  // namespace xls
