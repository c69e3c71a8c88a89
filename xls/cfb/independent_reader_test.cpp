// Files the writer makes, opened by independent readers (Debian's packages,
// through TALVANE_PYTHON): python3-olefile must find a sound compound file and
// read every stream with identical bytes; python3-xlrd's own container reader
// must find the "Workbook" stream without a remark.

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using testing::Pattern;
using testing::ReadWholeFile;
using testing::TempFolder;

struct OlefileView {
  std::string header;                                        // "sector size, FAT, DIFAT"
  std::map<std::string, std::vector<std::uint8_t>> streams;  // by path
  std::vector<std::string> storages;
};

// Runs a script of testdata/ with the Python that has Debian's packages;
// fails the test (with the script's output) unless it exits with 0.
bool RunScript(const std::string& script, const std::vector<std::string>& arguments, std::string& output) {
  std::ostringstream command;
  command << "'" << TALVANE_PYTHON << "' '" << TALVANE_SOURCE_DIR << "/xls/cfb/testdata/" << script << "'";
  for (const std::string& argument : arguments) command << " '" << argument << "'";
  command << " 2>&1";
  FILE* pipe = ::popen(command.str().c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command.str();
    return false;
  }
  output.clear();
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << command.str() << " failed (exit " << WEXITSTATUS(status) << "):\n" << output;
    return false;
  }
  return true;
}

OlefileView Olefile(const std::filesystem::path& file, const TempFolder& scratch) {
  OlefileView view;
  std::string output;
  if (!RunScript("olefile_dump.py", {file.string(), scratch.Path().string()}, output)) return view;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string kind, path, dumped;
    std::getline(fields, kind, '\t');
    std::getline(fields, path, '\t');
    std::getline(fields, dumped, '\t');
    if (kind == "header") {
      view.header = line.substr(kind.size() + 1);
      std::replace(view.header.begin(), view.header.end(), '\t', ',');
    }
    if (kind == "storage") view.storages.push_back(path);
    if (kind == "stream") view.streams[path] = ReadWholeFile(dumped);
  }
  return view;
}

TEST(OlefileOracle, FindsEveryStreamAndStorageWithIdenticalBytes) {
  TempFolder folder;
  CompoundFileWriter writer;
  ASSERT_EQ(writer.Create(folder / "book.xls"), kOk);
  std::map<std::string, std::vector<std::uint8_t>> expected;
  auto add = [&](StorageId parent, const std::string& path, std::u16string name, std::vector<std::uint8_t> bytes) {
    expected[path] = bytes;
    ASSERT_EQ(writer.AddStream(parent, name, std::move(bytes)), kOk);
  };
  add(writer.Root(), "Workbook", u"Workbook", Pattern(100000, 1));
  std::uint32_t seed = 2;
  for (std::size_t size : {0u, 1u, 4095u, 4096u, 4097u}) {
    const std::string name = (std::ostringstream() << 's' << size).str();
    add(writer.Root(), name, platform::Utf8ToUtf16(name), Pattern(size, seed++));
  }
  StorageId vba = 0, code = 0;
  ASSERT_EQ(writer.AddStorage(writer.Root(), u"_VBA_PROJECT_CUR", vba), kOk);
  ASSERT_EQ(writer.AddStorage(vba, u"VBA", code), kOk);
  add(vba, "_VBA_PROJECT_CUR/PROJECT", u"PROJECT", Pattern(300, 20));
  add(code, "_VBA_PROJECT_CUR/VBA/dir", u"dir", Pattern(5000, 21));
  add(code, "_VBA_PROJECT_CUR/VBA/Zażółć", u"Zażółć", {});
  ASSERT_EQ(writer.Commit(), kOk);

  TempFolder scratch;
  const OlefileView view = Olefile(folder / "book.xls", scratch);
  EXPECT_EQ(view.header, "512,2,0");  // about 230 sectors need two FAT sectors
  EXPECT_EQ(view.storages, (std::vector<std::string>{"_VBA_PROJECT_CUR", "_VBA_PROJECT_CUR/VBA"}));
  ASSERT_EQ(view.streams.size(), expected.size());
  for (const auto& [path, bytes] : expected) {
    ASSERT_TRUE(view.streams.count(path)) << path;
    EXPECT_TRUE(view.streams.at(path) == bytes) << path;
  }
}

TEST(OlefileOracle, ReadsFilesOf108To110FatSectors) {
  for (std::uint32_t fatSectors : {108u, 109u, 110u}) {
    SCOPED_TRACE(fatSectors);
    // A stream that fills the FAT exactly (see difat_test.cpp for the sum).
    const std::uint32_t difat = fatSectors > 109 ? 1 : 0;
    const std::size_t size = std::size_t{fatSectors * 128 - 1 - fatSectors - difat} * 512;
    TempFolder folder;
    CompoundFileWriter writer;
    ASSERT_EQ(writer.Create(folder / "big.xls"), kOk);
    ASSERT_EQ(writer.AddStream(writer.Root(), u"Workbook", Pattern(size, fatSectors)), kOk);
    ASSERT_EQ(writer.Commit(), kOk);
    TempFolder scratch;
    const OlefileView view = Olefile(folder / "big.xls", scratch);
    EXPECT_EQ(view.header, (std::ostringstream() << "512," << fatSectors << ',' << difat).str());
    ASSERT_EQ(view.streams.count("Workbook"), 1u);
    EXPECT_TRUE(view.streams.at("Workbook") == Pattern(size, fatSectors));
  }
}

TEST(OlefileOracle, AgreesWithTheHandBuiltVersion4Fixture) {
  // Keeps the version 4 file that the reader's tests use honest.
  TempFolder folder;
  testing::WriteWholeFile(folder / "v4.cfb", testing::HandBuiltVersion4File());
  TempFolder scratch;
  const OlefileView view = Olefile(folder / "v4.cfb", scratch);
  EXPECT_EQ(view.header, "4096,1,0");
  EXPECT_EQ(view.storages, std::vector<std::string>{"Sub"});
  ASSERT_EQ(view.streams.size(), 3u);
  EXPECT_EQ(view.streams.at("Workbook"), testing::kV4Workbook);
  EXPECT_EQ(view.streams.at("Small"), testing::kV4Small);
  EXPECT_EQ(view.streams.at("Sub/Inner"), testing::kV4Inner);
}

TEST(XlrdContainerReader, FindsTheWorkbookStreamWithoutRemarks) {
  for (std::size_t size : {1u, 4095u, 4096u, 4097u, 700000u}) {
    SCOPED_TRACE(size);
    TempFolder folder;
    CompoundFileWriter writer;
    ASSERT_EQ(writer.Create(folder / "book.xls"), kOk);
    ASSERT_EQ(writer.AddStream(writer.Root(), u"Workbook", Pattern(size, 5)), kOk);
    ASSERT_EQ(writer.AddStream(writer.Root(), u"\u0005SummaryInformation", Pattern(200, 6)), kOk);
    StorageId vba = 0;
    ASSERT_EQ(writer.AddStorage(writer.Root(), u"_VBA_PROJECT_CUR", vba), kOk);
    ASSERT_EQ(writer.AddStream(vba, u"PROJECT", Pattern(5000, 7)), kOk);
    ASSERT_EQ(writer.Commit(), kOk);
    std::string output;
    ASSERT_TRUE(RunScript("xlrd_compdoc_read.py",
                          {(folder / "book.xls").string(), "Workbook", (folder / "read.bin").string()}, output));
    EXPECT_TRUE(ReadWholeFile(folder / "read.bin") == Pattern(size, 5));
  }
}

}  // namespace
}  // namespace xls::cfb
