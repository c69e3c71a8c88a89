#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/read_file.h"
#include "platform/test_folder.h"

namespace platform {
namespace {

TEST(IniFile, WritingAKeyKeepsEverythingElseOfTheFile) {
  TestFolder folder;
  const auto path = folder / "ReferenceNumbers.ini";
  std::ofstream(path) << "; kept comment\n"
                         "[Other]\n"
                         "Key = value with spaces \n"
                         "\n"
                         "[RefNum]\n"
                         "Talvane=17\n"
                         "  Second = 3\n"
                         "\n"
                         "[Last]\n"
                         "x=1\n";
  IniFile ini(path);
  EXPECT_TRUE(ini.Existed());
  EXPECT_EQ(ini.ReadString("other", "KEY", "-"), "value with spaces");
  EXPECT_EQ(ini.ReadInteger("REFNUM", "talvane", 0), 17);
  EXPECT_EQ(ini.ReadInteger("RefNum", "Second", 0), 3);

  ini.WriteInteger("refnum", "TALVANE", 18);   // existing key: replaced in place, spelling kept
  ini.WriteInteger("RefNum", "Third", 255);    // new key: after the section's last line
  ini.WriteString("New", "Width", "900");      // new section: at the end
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;
  EXPECT_EQ(ReadWholeFile(path).value(),
            "; kept comment\n"
            "[Other]\n"
            "Key = value with spaces \n"
            "\n"
            "[RefNum]\n"
            "Talvane=18\n"
            "  Second = 3\n"
            "Third=255\n"
            "\n"
            "[Last]\n"
            "x=1\n"
            "[New]\n"
            "Width=900\n");
  EXPECT_EQ(IniFile(path).ReadInteger("refnum", "third", 0), 255);
}

TEST(IniFile, AMissingFileIsEmptyAndSaveCreatesIt) {
  TestFolder folder;
  const auto path = folder / "ReferenceNumbers.ini";
  IniFile ini(path);
  EXPECT_FALSE(ini.Existed());
  EXPECT_FALSE(ini.HasKey("RefNum", "Talvane"));
  EXPECT_EQ(ini.ReadString("RefNum", "Talvane", "fallback"), "fallback");
  ini.WriteInteger("RefNum", "Talvane", 1);
  EXPECT_TRUE(ini.HasKey("refnum", "talvane"));
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(ReadWholeFile(path).value(), "[RefNum]\nTalvane=1\n");
}

TEST(IniFile, IntegersAreReadAsTheProfileFunctionsReadThem) {
  TestFolder folder;
  const auto path = folder / "numbers.ini";
  std::ofstream(path) << "[N]\na=300\nb=-20\nc=17abc\nd=abc\ne=\nf=\"42\"\ng=+5\nh=99999999999999999999999\n";
  IniFile ini(path);
  struct Case {
    const char* key;
    long long expected;
  } cases[] = {{"a", 300}, {"b", -20}, {"c", 17}, {"d", -1}, {"e", -1}, {"f", 42}, {"g", 5}, {"h", -1}, {"zz", -1}};
  for (const Case& c : cases) EXPECT_EQ(ini.ReadInteger("N", c.key, -1), c.expected) << c.key;
}

TEST(IniFile, WindowsLineEndsAndTheFirstOfTwoSectionsAreKept) {
  TestFolder folder;
  const auto path = folder / "talvane.ini";
  std::ofstream(path) << "[frmMain]\r\nTop=1\r\n[FRMMAIN]\r\nTop=2\r\n";
  IniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("frmMain", "Top", 0), 1);
  ini.WriteInteger("frmmain", "Left", -20);
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(ReadWholeFile(path).value(), "[frmMain]\r\nTop=1\r\nLeft=-20\r\n[FRMMAIN]\r\nTop=2\r\n");
}

TEST(IniFile, SaveReportsAFolderThatIsNotThere) {
  TestFolder folder;
  IniFile ini(folder / "missing" / "x.ini");
  ini.WriteString("A", "b", "c");
  std::string error;
  EXPECT_FALSE(ini.Save(&error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform
