// The status bar's clock in the Polish form, alone and in the window.

#include "app/window/clock_text.h"

#include <gtest/gtest.h>

#include <regex>

#include "app/window/window_test_fixture.h"

namespace app {
namespace {

platform::SystemTime LocalTime(int year, int month, int day, int hour, int minute, int second, int millis = 0) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(millis);
}

TEST(ClockPanelText, DayMonthYearWithDotsAndTheTwentyFourHourTime) {
  const struct {
    platform::SystemTime when;
    const char* shown;
  } cases[] = {
      {LocalTime(2026, 12, 11, 14, 5, 9), "11.12.2026 14:05:09"},
      {LocalTime(2026, 1, 2, 9, 0, 0), "02.01.2026 09:00:00"},
      {LocalTime(2027, 2, 28, 23, 59, 59, 999), "28.02.2027 23:59:59"},
      {LocalTime(2026, 3, 1, 0, 0, 0), "01.03.2026"},  // exactly midnight: the date alone
      {LocalTime(2026, 3, 1, 0, 0, 0, 1), "01.03.2026 00:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(ClockPanelText(c.when), c.shown);
}

class StatusClock : public testing::WindowTest {};

TEST_F(StatusClock, TheWindowShowsTheDateAsPolishUsersReadIt) {
  Start();
  loop.ProcessEventsFor(1100);
  const AnsiString shown = view.StatusBar1.PanelText(1);
  EXPECT_TRUE(std::regex_match(shown, std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)"))) << shown;
}

}  // namespace
}  // namespace app
