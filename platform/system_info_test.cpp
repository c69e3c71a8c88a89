// GUIDs, the clock, the program directory.
#include <langinfo.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <set>
#include <thread>

#include "platform/clock.h"
#include "platform/guid.h"
#include "platform/program_dir.h"
#include "platform/test_folder.h"
#include "platform/user_dirs.h"

namespace platform {
namespace {

// "{XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX}" with upper-case hex digits, Y one of 8, 9, A, B.
bool IsVersion4Guid(const std::string& text) {
  const std::string shape = "{XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX}";
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); ++i) {
    const char c = text[i];
    const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    const bool ok = shape[i] == 'X' ? hex : shape[i] == 'Y' ? std::string("89AB").find(c) != std::string::npos
                                                             : c == shape[i];
    if (!ok) return false;
  }
  return true;
}

TEST(Guid, IsARandomVersion4GuidInBracedUpperCase) {
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::string guid = NewGuidString();
    ASSERT_TRUE(IsVersion4Guid(guid)) << guid;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 1000u);
  EXPECT_FALSE(IsVersion4Guid("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}"));  // version 1
}

TEST(Clock, FormatsFollowTheLocaleOfLcTime) {
  // 2024-03-05 07:08:09 local time: every field differs from the others.
  std::tm local{};
  local.tm_year = 124;
  local.tm_mon = 2;
  local.tm_mday = 5;
  local.tm_hour = 7;
  local.tm_min = 8;
  local.tm_sec = 9;
  local.tm_isdst = -1;
  const SystemTime when = std::chrono::system_clock::from_time_t(std::mktime(&local));

  // What the C library makes of the user's LC_TIME, asked the classic way.
  locale_t user = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!user) user = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char date[64];
  char time[64];
  ::strftime_l(date, sizeof date, ::nl_langinfo_l(D_FMT, user), &local, user);
  ::strftime_l(time, sizeof time, ::nl_langinfo_l(T_FMT, user), &local, user);
  ::freelocale(user);

  EXPECT_EQ(FormatShortDate(when), date);
  EXPECT_EQ(FormatLongTime(when), time);
  EXPECT_EQ(FormatDateTime(when), std::string(date) + " " + time);
  EXPECT_NE(FormatShortDate(when).find("05"), std::string::npos);
  EXPECT_NE(FormatLongTime(when).find("08"), std::string::npos);
  // A calendar time without a zone (a message's time stamp) in the same formats.
  EXPECT_EQ(FormatDateTime(CalendarTime{2024, 3, 5, 7, 8, 9}), std::string(date) + " " + time);
  EXPECT_NE(FormatDateTime(CalendarTime{}).find("30"), std::string::npos);  // the zero day, 1899-12-30
}

TEST(Clock, TickCountIsMonotonicMilliseconds) {
  const auto first = TickCountMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const auto second = TickCountMs();
  EXPECT_GE(second - first, 20);
  EXPECT_LT(second - first, 5000);
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (saved_) ::setenv(name_, saved_->c_str(), 1);
    else ::unsetenv(name_);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(ProgramDirectory, IsTheUsersDataFolderWhereverTheProgramIs) {
  EXPECT_EQ(ProgramFile().filename(), "platform_tests");
  TestFolder folder;
  {
    ScopedVariable data("XDG_DATA_HOME", (folder / "data").string());
    ScopedVariable noOverride("TALVANE_PROGRAM_DIR", "");
    EXPECT_EQ(ProgramDirectory(), folder / "data" / "talvane");  // not the build tree
    EXPECT_TRUE(std::filesystem::is_directory(folder / "data" / "talvane"));
  }
  ScopedVariable forced("TALVANE_PROGRAM_DIR", (folder / "made").string());
  EXPECT_EQ(ProgramDirectory(), folder / "made");
  EXPECT_TRUE(std::filesystem::is_directory(folder / "made"));
  EXPECT_EQ(IsAdministrator(), ::geteuid() == 0);
}

TEST(DocumentsDirectory, FollowsTheUserDirsFileOrFallsBackToHome) {
  TestFolder folder;
  ScopedVariable home("HOME", (folder / "home").string());
  ScopedVariable config("XDG_CONFIG_HOME", (folder / "config").string());
  std::filesystem::create_directories(folder / "home" / "Dokumenty");
  std::filesystem::create_directories(folder / "config");
  std::filesystem::create_directories(folder / "elsewhere");
  const auto withEntry = [&](const std::string& line) {
    std::ofstream(folder / "config" / "user-dirs.dirs") << "# written by the desktop\n" << line << "\n";
    return DocumentsDirectory();
  };
  EXPECT_EQ(DocumentsDirectory(), folder / "home");  // no user-dirs.dirs at all
  EXPECT_EQ(withEntry("XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\""), folder / "home" / "Dokumenty");
  EXPECT_EQ(withEntry("XDG_DOCUMENTS_DIR=\"" + (folder / "elsewhere").string() + "\""), folder / "elsewhere");
  EXPECT_EQ(withEntry("XDG_DOCUMENTS_DIR=\"$HOME/Missing\""), folder / "home");  // folder not there
  EXPECT_EQ(withEntry("XDG_DOCUMENTS_DIR=\"relative/folder\""), folder / "home");
  EXPECT_EQ(withEntry("XDG_DOWNLOAD_DIR=\"$HOME/Dokumenty\""), folder / "home");  // another entry
}

}  // namespace
}  // namespace platform
