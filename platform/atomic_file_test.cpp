#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_faults.h"
#include "platform/read_file.h"
#include "platform/test_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

int FileCount(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFile, ReplacesTheTargetWholeAndKeepsItsPermissions) {
  TestFolder folder;
  const fs::path target = folder / "settings.ini";
  ASSERT_TRUE(WriteFileAtomically(target, "old", nullptr));
  ::chmod(target.c_str(), 0640);
  std::string error;
  EXPECT_TRUE(WriteFileAtomically(target, "new", &error)) << error;
  EXPECT_EQ(ReadWholeFile(target), "new");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FileCount(folder.Path()), 1);

  // A folder that does not exist yet is made when asked for.
  EXPECT_TRUE(WriteFileAtomically(folder / "a" / "b.ini", "x", &error, true)) << error;
  EXPECT_FALSE(WriteFileAtomically(folder / "c" / "d.ini", "x", &error));
  EXPECT_NE(error.find("d.ini"), std::string::npos) << error;
}

TEST(AtomicFile, WritesThroughASymbolicLink) {
  TestFolder folder;
  fs::create_directories(folder / "real");
  ASSERT_TRUE(WriteFileAtomically(folder / "real" / "registry.reg", "old", nullptr));
  fs::create_symlink(folder / "real" / "registry.reg", folder / "link.reg");
  ASSERT_TRUE(WriteFileAtomically(folder / "link.reg", "new", nullptr));
  EXPECT_TRUE(fs::is_symlink(folder / "link.reg"));
  EXPECT_EQ(ReadWholeFile(folder / "real" / "registry.reg"), "new");
}

TEST(AtomicFile, RefusedTargetsAndFailuresLeaveTheOldFile) {
  TestFolder folder;
  const fs::path target = folder / "book.xls";
  fs::create_directories(folder / "folder.xls");
  const struct {
    std::string name;
    std::function<void()> prepare;  // before the write
    FileSystemCalls calls;
    fs::path path;
  } cases[] = {
      {"read-only", [&] { ::chmod(target.c_str(), 0444); }, FileSystemCalls::Real(), target},
      {"full disk", [] {}, testing::FullDiskAfter(3), target},
      {"failed rename", [] {}, testing::FailingRename(EXDEV), target},
      {"a folder", [] {}, FileSystemCalls::Real(), folder / "folder.xls"},
  };
  for (const auto& c : cases) {
    ::chmod(target.c_str(), 0644);
    ASSERT_TRUE(WriteFileAtomically(target, "the old content", nullptr));
    c.prepare();
    std::string error;
    {
      const ScopedFileSystem calls(c.calls);
      EXPECT_FALSE(WriteFileAtomically(c.path, "the new content", &error)) << c.name;
    }
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_EQ(ReadWholeFile(target), "the old content") << c.name;
    EXPECT_EQ(FileCount(folder.Path()), 2) << c.name << ": no temporary file left";
  }
}

TEST(AtomicFile, AFileLockedByAnotherProgramIsNotReplaced) {
  TestFolder folder;
  const fs::path target = folder / "book.xls";
  ASSERT_TRUE(WriteFileAtomically(target, "old", nullptr));
  const int fd = ::open(target.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_TRUE(IsLockedByAnother(target));
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(target, "new", &error));
  EXPECT_NE(error.find("locked by another program"), std::string::npos) << error;
  ::close(fd);
  EXPECT_FALSE(IsLockedByAnother(target));
  EXPECT_EQ(ReadWholeFile(target), "old");
}

TEST(ReadFile, ReadsRegularFilesOnlyAndTellsWhy) {
  TestFolder folder;
  ASSERT_TRUE(WriteFileAtomically(folder / "a.txt", std::string(200000, 'a'), nullptr));
  EXPECT_EQ(ReadWholeFile(folder / "a.txt"), std::string(200000, 'a'));
  EXPECT_EQ(ReadWholeFileBytes(folder / "a.txt")->size(), 200000u);

  std::string error;
  EXPECT_EQ(ReadWholeFile(folder / "missing.txt", &error), std::nullopt);
  EXPECT_EQ(error, "");  // a missing file is no error
  EXPECT_EQ(ReadWholeFile(folder.Path(), &error), std::nullopt);
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(folder / "pipe", &error), std::nullopt);  // and does not wait for a writer
  {
    const ScopedFileSystem unreadable(testing::ReadFailsAfter(1000, EIO));
    EXPECT_EQ(ReadWholeFile(folder / "a.txt", &error), std::nullopt);
    EXPECT_NE(error.find("Input/output error"), std::string::npos) << error;
  }
  {
    const ScopedFileSystem unopenable(testing::UnopenableFile(folder / "a.txt", EACCES));
    EXPECT_EQ(ReadWholeFile(folder / "a.txt", &error), std::nullopt);
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
  }
}

TEST(ReadFile, AppendsAndReadsTheLastByte) {
  TestFolder folder;
  const fs::path log = folder / "log.txt";
  EXPECT_EQ(LastByteOfFile(log), std::nullopt);
  EXPECT_TRUE(AppendToFile(log, "one\n"));
  EXPECT_TRUE(AppendToFile(log, "two"));
  EXPECT_EQ(ReadWholeFile(log), "one\ntwo");
  EXPECT_EQ(LastByteOfFile(log), 'o');
  std::string error;
  {
    const ScopedFileSystem fullDisk(testing::FullDiskAfter(2));
    EXPECT_FALSE(AppendToFile(log, "three", &error));
  }
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform
