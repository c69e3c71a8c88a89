// Files that SaveAs writes, opened by independent readers (python3-olefile
// and python3-xlrd through testdata/check_xls.py) and by the project's own
// compound file reader; and what a failed save leaves behind.

#include <sys/file.h>

#include <fcntl.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/codepage.h"
#include "platform/file_faults.h"
#include "xls/biff_writer.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/file_storage.h"
#include "xls/interior.h"
#include "xls/workbook.h"
#include "xls/xls_test_support.h"

namespace xls {
namespace {

namespace fs = std::filesystem;
using testing::CheckWithXlrd;
using testing::TestFolder;

// Expectation lines for check_xls.py: tab-separated fields.
class Expectations {
 public:
  explicit Expectations(fs::path path) : path_(std::move(path)), out_(path_) {}
  // Closes the file so that the reader sees every line.
  const fs::path& Finish() {
    out_.close();
    return path_;
  }
  template <typename... Fields>
  void Row(const Fields&... fields) {
    const char* separator = "";
    ((out_ << separator << fields, separator = "\t"), ...);
    out_ << "\n";
  }
  void Text(int sheet, int row, int column, const std::u16string& text, const std::string& fill = "*",
            const std::string& halign = "*", const std::string& valign = "*") {
    std::string escaped;  // a line feed is written as \n
    for (char c : platform::Utf16ToUtf8(text)) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    Row("cell", sheet, row, column, "text", escaped, fill, halign, valign);
  }
  void Value(int sheet, int row, int column, const std::string& kind, const std::string& value,
             const std::string& fill = "*") {
    Row("cell", sheet, row, column, kind, value, fill, "*", "*");
  }
  void Width(int sheet, int column, int units) { Row("width", sheet, column, units); }

 private:
  fs::path path_;
  std::ofstream out_;
};

std::string FillOf(int colourIndex) { return colourIndex == xlNone ? "-" : std::to_string(colourIndex + 7); }

void ExpectReadersAgree(const fs::path& file, Expectations& expectations) {
  const auto result = CheckWithXlrd(file, expectations.Finish());
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("OK"), std::string::npos) << result.output;
}

// Saves `book` as `file` and has the independent readers check it.
void ExpectSavedFileAgrees(TXLSWorkbook& book, const fs::path& file, Expectations& expectations) {
  ASSERT_EQ(book.SaveAs(platform::Utf8ToUtf16(file.string())), kSaveOk);
  ExpectReadersAgree(file, expectations);
}

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SavedFile, SmallWorkbookReadsBackInIndependentReaders) {
  const TestFolder folder;
  TXLSWorkbook book;
  IXLSWorksheet* numbers = book.Worksheets().Add();
  numbers->SetName(u"Numery");
  const IXLSRange cells = numbers->Cells();
  cells->Item(1, 1)->SetValue(Variant::Text(u"600123456"));
  cells->Item(1, 1)->Interior()->SetColorIndex(46);
  cells->Item(1, 1)->SetHorizontalAlignment(xlCenter);
  cells->Item(1, 1)->SetVerticalAlignment(xlCenter);
  cells->Item(1, 1)->SetColumnWidth(15);
  cells->Item(1, 2)->SetValue(Variant::AnsiText("B\xA3\xA5" "D!"));  // "BŁĄD!" in Windows-1250
  cells->Item(2, 1)->SetValue(Variant::Double(600123456));
  cells->Item(2, 2)->SetValue(Variant::Double(-1.25));
  cells->Item(2, 3)->SetValue(Variant::Double(3.14159));
  cells->Item(3, 1)->SetValue(Variant::Boolean(true));
  cells->Item(3, 2)->Interior()->SetColorIndex(4);
  cells->Item(4, 1)->SetValue(Variant::Text(u"line\nbreak"));
  numbers->MergeCells(TXLSArea{5, 6, 0, 1});
  cells->Item(6, 1)->SetValue(Variant::Text(u"merged"));
  // Settings a file read may bring along; readers must still open the file.
  TXLSSheetParts& parts = numbers->Parts();
  parts.pageSetup.printAreas = {TXLSArea{0, 9, 0, 2}};
  parts.pageSetup.printTitleRows = TXLSArea{0, 0, 0, 255};
  parts.pageSetup.header = u"&CLista numerów";
  parts.pageSetup.topMargin = 0.8;
  parts.pageSetup.rowBreaks = {{4, 0, 255}};
  parts.window.zoom = 85;
  parts.protection.isProtected = true;
  parts.protection.passwordHash = 0xCC3D;
  IXLSWorksheet* second = book.Worksheets().Add();
  second->Cells()->Item(100, 10)->SetValue(Variant::Text(u"600123456"));  // shared string used twice
  second->Cells()->Item(100, 10)->SetHorizontalAlignment(xlRight);
  ASSERT_EQ(book.SaveAs(platform::Utf8ToUtf16((folder / "small.xls").string())), 1);

  Expectations expect(folder / "small.txt");
  expect.Row("sheets", 2);
  expect.Row("name", 0, "Numery");
  expect.Row("name", 1, "Sheet2");
  expect.Text(0, 0, 0, u"600123456", FillOf(46), "2", "1");
  expect.Text(0, 0, 1, u"BŁĄD!", "-", "0", "2");
  expect.Value(0, 1, 0, "number", "600123456", "-");
  expect.Value(0, 1, 1, "number", "-1.25");
  expect.Value(0, 1, 2, "number", "3.14159");
  expect.Value(0, 2, 0, "bool", "1");
  expect.Value(0, 2, 1, "empty", "", FillOf(4));
  expect.Text(0, 3, 0, u"line\nbreak");
  expect.Text(0, 5, 0, u"merged");
  expect.Row("merged", 0, 5, 7, 0, 2);
  expect.Width(0, 0, 4022);
  expect.Text(1, 99, 9, u"600123456", "-", "3", "*");
  ExpectReadersAgree(folder / "small.xls", expect);
}

TEST(SavedFile, ColumnOf65535ResultRowsWithFills) {
  const TestFolder folder;
  const int kRows = 65535;
  const int colours[] = {46, 3, 38, 4, xlNone};
  auto book = TXLSWorkbook::Create();
  const IXLSRange cells = book->Worksheets().Add()->Cells();
  Expectations expect(folder / "rows.txt");
  expect.Row("rows", 0, kRows);
  for (int row = 1; row <= kRows; ++row) {
    const std::u16string number = platform::Utf8ToUtf16(std::to_string(600000000 + row));
    const int colour = colours[row % 5];
    const IXLSRange cell = cells->Item(row, 1);
    cell->SetValue(Variant::Text(number));
    cell->Interior()->SetColorIndex(colour);
    cell->SetVerticalAlignment(xlCenter);
    cell->SetHorizontalAlignment(xlCenter);
    cell->SetColumnWidth(15);
    expect.Text(0, row - 1, 0, number, FillOf(colour), "2", "1");
  }
  expect.Width(0, 0, 4022);
  ExpectSavedFileAgrees(*book, folder / "rows.xls", expect);
}

TEST(SavedFile, SharedStringsAcrossContinueRecordsAndManyIndexBuckets) {
  const TestFolder folder;
  TXLSWorkbook book;
  const IXLSRange cells = book.Worksheets().Add()->Cells();
  Expectations expect(folder / "sst.txt");
  for (int i = 0; i < 3000; ++i) {
    // Lengths from 0 to 700 characters, some with characters outside Latin-1.
    std::u16string text = u"tekst " + platform::Utf8ToUtf16(std::to_string(i));
    text += i % 7 == 0 ? u" zażółć " : u" ";
    text.append(static_cast<std::size_t>((i * 37) % 700), static_cast<char16_t>(u'a' + i % 26));
    cells->Item(i + 1, 1)->SetValue(Variant::Text(text));
    expect.Text(0, i, 0, text);
  }
  const std::u16string huge(20000, u'Ż');
  cells->Item(3001, 2)->SetValue(Variant::Text(huge));
  expect.Text(0, 3000, 1, huge);
  ExpectSavedFileAgrees(book, folder / "sst.xls", expect);
}

TEST(SavedFile, ManyDistinctFormats) {
  const TestFolder folder;
  TXLSWorkbook book;
  const IXLSRange cells = book.Worksheets().Add()->Cells();
  Expectations expect(folder / "formats.txt");
  const int horizontal[] = {xlGeneral, xlLeft, xlCenter, xlRight, xlFill, xlJustify, xlCenterAcrossSelection, xlDistributed};
  const int vertical[] = {xlTop, xlCenter, xlBottom};
  int row = 0;
  for (int colour = 1; colour <= 56; ++colour) {
    for (int h = 0; h < 8; ++h) {
      const IXLSRange cell = cells->Item(++row, 1 + h % 3);
      cell->SetValue(Variant::Double(row));
      cell->Interior()->SetColorIndex(colour);
      cell->SetHorizontalAlignment(horizontal[h]);
      cell->SetVerticalAlignment(vertical[(colour + h) % 3]);
      expect.Row("cell", 0, row - 1, h % 3, "number", row, FillOf(colour), h, (colour + h) % 3);
    }
  }
  EXPECT_GE(book.XFList().Count(), 21 + 56 * 8);
  ExpectSavedFileAgrees(book, folder / "formats.xls", expect);
}

TEST(SavedFile, OwnCompoundFileReaderGivesBackTheStreamBytes) {
  const TestFolder folder;
  TXLSWorkbook book;
  const IXLSRange cells = book.Worksheets().Add()->Cells();
  for (int row = 1; row <= 2000; ++row) cells->Item(row, 1 + row % 4)->SetValue(Variant::Double(row * 1.5));
  const std::vector<std::uint8_t> expected = TXLSWriter(book).BuildStream();
  ASSERT_EQ(book.SaveAs(platform::Utf8ToUtf16((folder / "own.xls").string())), 1);
  cfb::CompoundFileReader reader;
  ASSERT_EQ(reader.OpenFile(folder / "own.xls"), cfb::kOk);
  std::vector<cfb::EntryInfo> children;
  ASSERT_EQ(reader.Children(reader.Root(), children), cfb::kOk);
  ASSERT_EQ(children.size(), 1u);  // the stream "Workbook" and nothing else
  EXPECT_EQ(children[0].name, u"Workbook");
  std::vector<std::uint8_t> stream;
  ASSERT_EQ(reader.ReadStream(children[0].id, stream), cfb::kOk);
  EXPECT_EQ(stream, expected);
  // Saving again writes the same file.
  ASSERT_EQ(book.SaveAs(platform::Utf8ToUtf16((folder / "again.xls").string())), 1);
  EXPECT_EQ(FileBytes(folder / "again.xls"), FileBytes(folder / "own.xls"));
}

// A VBA project storage taken from a file goes back into a BIFF8 save.
TEST(SavedFile, VbaProjectCopyIsWrittenBackOnlyForBiff8Input) {
  const TestFolder folder;
  {
    cfb::CompoundFileWriter writer;
    ASSERT_EQ(writer.Create(folder / "input.xls"), cfb::kOk);
    cfb::StorageId vba = 0, inner = 0;
    ASSERT_EQ(writer.AddStorage(writer.Root(), u"_VBA_PROJECT_CUR", vba), cfb::kOk);
    ASSERT_EQ(writer.AddStream(vba, u"PROJECT", {1, 2, 3}), cfb::kOk);
    ASSERT_EQ(writer.AddStorage(vba, u"VBA", inner), cfb::kOk);
    ASSERT_EQ(writer.AddStream(inner, u"dir", {}), cfb::kOk);
    ASSERT_EQ(writer.Commit(), cfb::kOk);
  }
  cfb::CompoundFileReader input;
  ASSERT_EQ(input.OpenFile(folder / "input.xls"), cfb::kOk);
  auto storage = std::make_shared<TXLSFileStorage>(u"_VBA_PROJECT_CUR");
  ASSERT_EQ(storage->ReadFrom(input, input.Root()), 1);

  for (const FileFormat format : {FileFormat::Biff8, FileFormat::Biff5}) {
    TXLSWorkbook book;
    book.Worksheets().Add();
    book.SetVbaStorage(storage);
    book.SetFormatRead(format);
    const fs::path out = folder / (format == FileFormat::Biff8 ? "biff8.xls" : "biff5.xls");
    ASSERT_EQ(book.SaveAs(platform::Utf8ToUtf16(out.string())), 1);
    cfb::CompoundFileReader saved;
    ASSERT_EQ(saved.OpenFile(out), cfb::kOk);
    cfb::EntryInfo vba, dir, workbook;
    ASSERT_EQ(saved.Find(saved.Root(), u"Workbook", workbook), cfb::kOk);
    std::vector<std::uint8_t> stream;
    ASSERT_EQ(saved.ReadStream(workbook.id, stream), cfb::kOk);
    const bool hasObProj = !testing::RecordsWithId(testing::ParseRecords(stream), 0x00D3).empty();
    if (format == FileFormat::Biff8) {
      ASSERT_EQ(saved.Find(saved.Root(), u"_VBA_PROJECT_CUR", vba), cfb::kOk);
      cfb::EntryInfo inner;
      ASSERT_EQ(saved.Find(vba.id, u"VBA", inner), cfb::kOk);
      EXPECT_EQ(saved.Find(inner.id, u"dir", dir), cfb::kOk);
      EXPECT_TRUE(hasObProj);
    } else {
      EXPECT_EQ(saved.Find(saved.Root(), u"_VBA_PROJECT_CUR", vba), cfb::kNotFound);
      EXPECT_FALSE(hasObProj);
    }
  }
}

class FailedSave : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = folder_ / "input.xls";
    std::ofstream(target_) << "the user's own data";
    book_.Worksheets().Add()->Cells()->Item(1, 1)->SetValue(Variant::Text(u"600123456"));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(target_, fs::perms::owner_all, ignored);
  }
  int Save(const fs::path& path) { return book_.SaveAs(platform::Utf8ToUtf16(path.string())); }
  void ExpectTargetUntouchedAndNoLeftovers() {
    std::ifstream in(target_);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "the user's own data");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_.Path())) ++files;
    EXPECT_EQ(files, 1) << "a temporary file was left behind";
  }
  TestFolder folder_;
  fs::path target_;
  TXLSWorkbook book_;
};

TEST_F(FailedSave, EmptyOrBlankPathGivesMinusOne) {
  EXPECT_EQ(book_.SaveAs(u""), kSaveEmptyPath);
  EXPECT_EQ(book_.SaveAs(u"   "), kSaveEmptyPath);
}

TEST_F(FailedSave, PathsThatCannotBeWrittenGiveMinusTwo) {
  EXPECT_EQ(Save(folder_ / "missing" / "out.xls"), kSaveCannotCreate);
  EXPECT_EQ(Save(folder_.Path()), kSaveCannotCreate);  // a folder
  fs::permissions(target_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Save(target_), kSaveCannotCreate);  // a read-only file, even for root
  fs::permissions(target_, fs::perms::owner_all);
  ExpectTargetUntouchedAndNoLeftovers();
}

TEST_F(FailedSave, FileLockedByAnotherProgramIsLeftAsItWas) {
  const int fd = ::open(target_.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_EQ(Save(target_), kSaveCannotCreate);
  ::close(fd);
  ExpectTargetUntouchedAndNoLeftovers();
}

// A disk that fills up half-way: the writes fail after 64 KiB; the old file
// must survive.
TEST_F(FailedSave, WriteThatFailsHalfWayLeavesTheOldFile) {
  const IXLSRange cells = book_.Worksheets().Entries(1)->Cells();
  for (int row = 2; row <= 20000; ++row) cells->Item(row, 1)->SetValue(Variant::Double(row + 0.123456789));
  int result = 0;
  {
    const platform::ScopedFileSystem fullDisk(platform::testing::FullDiskAfter(64 * 1024));
    result = Save(target_);
  }
  EXPECT_EQ(result, kSaveCannotCreate);
  ExpectTargetUntouchedAndNoLeftovers();
  EXPECT_EQ(Save(target_), kSaveOk);  // and with room again it works
}

}  // namespace
}  // namespace xls
