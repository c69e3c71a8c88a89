#include "modem/reference_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "modem/component_log.h"
#include "platform/test_folder.h"

namespace modem {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(ReferenceStore, Loading) {
  struct Case {
    const char* file;  // nullptr: no file
    std::uint8_t current;
    std::uint8_t expected;
  } cases[] = {
      {nullptr, 0, 0},
      {nullptr, 17, 17},                                  // a missing file keeps the value held
      {"[RefNum]\r\nTalvane=17\r\n", 0, 17},
      {"[RefNum]\r\nTalvane=300\r\n", 0, 44},            // low 8 bits
      {"[RefNum]\r\nOther=5\r\n", 9, 0},                 // a missing key means 0
      {"[refnum]\r\ntalvane=12\r\n", 0, 12},             // names compare without case
      {"[RefNum]\r\nTalvane=-1\r\n", 0, 255},
      {"[RefNum]\r\nTalvane=abc\r\n", 3, 0},
  };
  for (const Case& c : cases) {
    platform::TestFolder folder;
    if (c.file) WriteFile(folder / std::string(kReferenceFileName), c.file);
    EXPECT_EQ(LoadReference(folder.Path(), "Talvane", c.current), c.expected) << (c.file ? c.file : "(no file)");
  }
}

TEST(ReferenceStore, StoringCreatesTheFileAndKeepsTheRest) {
  platform::TestFolder folder;
  const auto file = folder / std::string(kReferenceFileName);
  ASSERT_TRUE(StoreReference(folder.Path(), "Talvane", 1));
  EXPECT_EQ(LoadReference(folder.Path(), "Talvane", 0), 1);
  EXPECT_NE(ReadFile(file).find("[RefNum]"), std::string::npos);
  EXPECT_NE(ReadFile(file).find("Talvane=1"), std::string::npos);

  // Two instances keep independent references in the same file.
  ASSERT_TRUE(StoreReference(folder.Path(), "Second", 200));
  ASSERT_TRUE(StoreReference(folder.Path(), "Talvane", 2));
  EXPECT_EQ(LoadReference(folder.Path(), "Talvane", 0), 2);
  EXPECT_EQ(LoadReference(folder.Path(), "Second", 0), 200);

  WriteFile(file, "; kept\r\n[Other]\r\nKey=Value\r\n[RefNum]\r\nTalvane=7\r\n");
  ASSERT_TRUE(StoreReference(folder.Path(), "Talvane", 8));
  const std::string text = ReadFile(file);
  EXPECT_NE(text.find("; kept"), std::string::npos);
  EXPECT_NE(text.find("Key=Value"), std::string::npos);
  EXPECT_EQ(LoadReference(folder.Path(), "Talvane", 0), 8);
}

TEST(ReferenceStore, UnwritableFolderIsReported) {
  std::string error;
  EXPECT_FALSE(StoreReference("/proc/no-such-folder", "Talvane", 1, &error));
  EXPECT_FALSE(error.empty());
}

TEST(ComponentLog, AppendsOneLinePerReport) {
  platform::TestFolder folder;
  const auto file = folder / "gsm.log";
  const auto when = std::chrono::system_clock::now();
  const std::string stamp = platform::FormatDateTime(when);
  ASSERT_TRUE(AppendLogLine(file, "SendSMS error: TimeOUT", when));
  ASSERT_TRUE(AppendLogLine(file, "first\r\nsecond", when));
  EXPECT_EQ(ReadFile(file), stamp + " > SendSMS error: TimeOUT\n" + stamp + " > first\nsecond\n");

  // A file that does not end with a line end gets one before the new line.
  WriteFile(file, "old line");
  ASSERT_TRUE(AppendLogLine(file, "x", when));
  EXPECT_EQ(ReadFile(file), "old line\n" + stamp + " > x\n");

  EXPECT_FALSE(AppendLogLine(folder / "missing" / "gsm.log", "x", when));
}

}  // namespace
}  // namespace modem
