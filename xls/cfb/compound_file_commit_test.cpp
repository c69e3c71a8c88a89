// Writing a compound file to disk: all or nothing. The target is replaced
// only by a complete file; on every failure the old file stays and no
// temporary file is left behind.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "platform/file_faults.h"
#include "xls/cfb/cfb_test_support.h"
#include "xls/cfb/compound_file_reader.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/result_codes.h"

namespace xls::cfb {
namespace {

using testing::Pattern;
using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

const std::vector<std::uint8_t> kOldContent = {'o', 'l', 'd'};

int SaveWorkbook(const std::filesystem::path& path, std::size_t size = 6000) {
  CompoundFileWriter writer;
  const int created = writer.Create(path);
  if (created != kOk) return created;
  writer.AddStream(writer.Root(), u"Workbook", Pattern(size, 1));
  return writer.Commit();
}

void ExpectWorkbookFile(const std::filesystem::path& path, std::size_t size = 6000) {
  CompoundFileReader file;
  ASSERT_EQ(file.OpenFile(path), kOk);
  EntryInfo info;
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(file.Find(file.Root(), u"Workbook", info), kOk);
  ASSERT_EQ(file.ReadStream(info.id, bytes), kOk);
  EXPECT_TRUE(bytes == Pattern(size, 1));
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

TEST(CompoundFileCommit, NewFileIsCreatedWithTheUsualPermissions) {
  TempFolder folder;
  ASSERT_EQ(SaveWorkbook(folder / "book.xls"), kOk);
  ExpectWorkbookFile(folder / "book.xls");
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"book.xls"});
  struct stat info {};
  ASSERT_EQ(::stat((folder / "book.xls").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~CurrentUmask());
}

TEST(CompoundFileCommit, ExistingFileIsReplacedAndKeepsItsPermissions) {
  TempFolder folder;
  WriteWholeFile(folder / "book.xls", kOldContent);
  ::chmod((folder / "book.xls").c_str(), 0640);
  ASSERT_EQ(SaveWorkbook(folder / "book.xls"), kOk);
  ExpectWorkbookFile(folder / "book.xls");
  struct stat info {};
  ASSERT_EQ(::stat((folder / "book.xls").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"book.xls"});
}

TEST(CompoundFileCommit, SymbolicLinkStaysAndTheFileItNamesIsReplaced) {
  TempFolder folder;
  WriteWholeFile(folder / "real.xls", kOldContent);
  std::filesystem::create_symlink("real.xls", folder / "link.xls");
  ASSERT_EQ(SaveWorkbook(folder / "link.xls"), kOk);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.xls"));
  ExpectWorkbookFile(folder / "real.xls");
}

TEST(CompoundFileCommit, TargetsThatCannotBeWrittenFailWithMinusTwoAndStayUnchanged) {
  struct Case {
    const char* what;
    std::function<std::filesystem::path(TempFolder&)> prepare;  // returns the target
  };
  const Case cases[] = {
      {"missing folder", [](TempFolder& f) { return f / "missing/book.xls"; }},
      {"target is a folder",
       [](TempFolder& f) {
         std::filesystem::create_directory(f / "folder.xls");
         return f / "folder.xls";
       }},
      {"read-only file",
       [](TempFolder& f) {
         ::chmod((f / "book.xls").c_str(), 0444);
         return f / "book.xls";
       }},
      {"empty path", [](TempFolder&) { return std::filesystem::path(); }},
      {"path ending in a separator", [](TempFolder& f) { return f.Path() / ""; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    WriteWholeFile(folder / "book.xls", kOldContent);
    const auto target = c.prepare(folder);
    const auto filesBefore = folder.Files();
    EXPECT_EQ(SaveWorkbook(target), kCannotCreate);
    EXPECT_EQ(ReadWholeFile(folder / "book.xls"), kOldContent);
    EXPECT_EQ(folder.Files(), filesBefore);
  }
}

TEST(CompoundFileCommit, FileLockedByAnotherProgramIsLeftAlone) {
  // Another program holding the file open with a lock: an fcntl record lock
  // (taken by this process, which the check must still see) or a flock lock.
  for (const bool useFlock : {false, true}) {
    SCOPED_TRACE(useFlock ? "flock" : "fcntl");
    TempFolder folder;
    const auto path = folder / "book.xls";
    WriteWholeFile(path, kOldContent);
    const int holder = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    if (useFlock) {
      ASSERT_EQ(::flock(holder, LOCK_SH), 0);
    } else {
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      ASSERT_EQ(::fcntl(holder, F_SETLK, &lock), 0);
    }
    EXPECT_EQ(SaveWorkbook(path), kCannotCreate);
    EXPECT_EQ(ReadWholeFile(path), kOldContent);
    ::close(holder);
    EXPECT_EQ(SaveWorkbook(path), kOk) << "writable once the lock is gone";
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"book.xls"});
  }
}

TEST(CompoundFileCommit, LockTakenAfterCreateStopsTheCommit) {
  TempFolder folder;
  const auto path = folder / "book.xls";
  WriteWholeFile(path, kOldContent);
  CompoundFileWriter writer;
  ASSERT_EQ(writer.Create(path), kOk);
  writer.AddStream(writer.Root(), u"Workbook", Pattern(100, 1));
  const int holder = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_SH), 0);
  EXPECT_EQ(writer.Commit(), kCannotCreate);
  ::close(holder);
  EXPECT_EQ(ReadWholeFile(path), kOldContent);
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"book.xls"});
  EXPECT_EQ(writer.Commit(), kWrongState);
}

TEST(CompoundFileCommit, WriterGivenUpLeavesTheOldFile) {
  TempFolder folder;
  WriteWholeFile(folder / "book.xls", kOldContent);
  {
    CompoundFileWriter writer;
    ASSERT_EQ(writer.Create(folder / "book.xls"), kOk);
    writer.AddStream(writer.Root(), u"Workbook", Pattern(100, 1));
    EXPECT_EQ(folder.Files().size(), 2u) << "the temporary file sits beside the target";
  }
  EXPECT_EQ(ReadWholeFile(folder / "book.xls"), kOldContent);
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"book.xls"});
}

TEST(CompoundFileCommit, WriteFailureHalfwayLeavesTheOldFile) {
  // The writes fail part of the way, as on a disk that fills up.
  TempFolder folder;
  WriteWholeFile(folder / "book.xls", kOldContent);
  int result = kOk;
  {
    const platform::ScopedFileSystem fullDisk(platform::testing::FullDiskAfter(100000));
    result = SaveWorkbook(folder / "book.xls", 1000000);
  }
  EXPECT_EQ(result, kCannotCreate);
  EXPECT_EQ(ReadWholeFile(folder / "book.xls"), kOldContent);
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"book.xls"});
}

TEST(CompoundFileCommit, FileOnDiskEqualsTheBytesInMemory) {
  TempFolder folder;
  CompoundFileWriter writer;
  ASSERT_EQ(writer.Create(folder / "book.xls"), kOk);
  writer.AddStream(writer.Root(), u"Workbook", Pattern(200000, 3));
  writer.AddStream(writer.Root(), u"Small", Pattern(300, 4));
  std::vector<std::uint8_t> inMemory;
  ASSERT_EQ(writer.SaveToBytes(inMemory), kOk);
  ASSERT_EQ(writer.Commit(), kOk);
  EXPECT_TRUE(ReadWholeFile(folder / "book.xls") == inMemory);
}

}  // namespace
}  // namespace xls::cfb
