#include "modem/status_lines.h"

#include <gtest/gtest.h>

namespace modem {
namespace {

TEST(SignalPercent, FollowsTheConversionTable) {
  // r -> percent, as the gauges expect it (14 gives 84 but 15 gives 75).
  const int expected[] = {0, 3, 6, 9, 12, 15, 18, 21, 24, 36, 40, 60, 66, 78, 84, 75, 80, 85, 90, 95};
  for (int r = 0; r < 20; ++r) {
    EXPECT_EQ(SignalPercent("+CSQ: " + std::to_string(r) + ",99"), expected[r]) << "r = " << r;
  }
  for (int r = 20; r <= 90; ++r) EXPECT_EQ(SignalPercent("+CSQ: " + std::to_string(r) + ",0"), 100) << r;
  for (int r = 91; r <= 98; ++r) EXPECT_EQ(SignalPercent("+CSQ: " + std::to_string(r) + ",0"), 3) << r;
  EXPECT_EQ(SignalPercent("+CSQ: 99,99"), 0);
}

TEST(SignalPercent, OddLinesGiveZero) {
  EXPECT_EQ(SignalPercent("+CSQ: 11,0"), 60);  // 60.5 goes to the even neighbour
  EXPECT_EQ(SignalPercent("+CSQ: "), 0);
  EXPECT_EQ(SignalPercent("+CSQ"), 0);
  EXPECT_EQ(SignalPercent("+CSQ: xx,5"), 0);
  EXPECT_EQ(SignalPercent("+CSQ: -5,0"), 0);
  // The failure text of a caller's "AT+CSQ" names the command: no number in it.
  EXPECT_EQ(SignalPercent("myERR; *** ERROR *** / not AT result  ----> [ AT+CSQ]"), 0);
}

TEST(ReadPowerLine, ReadsSourceAndLevel) {
  struct Case {
    const char* line;
    bool acPower;
    int battery;
  } cases[] = {
      {"+CBC: 0,85", false, 85}, {"+CBC: 1,100", true, 100}, {"+CBC: 2,40", false, 40},
      {"+CBC: 1,xx", true, 0},   {"+CBC: ", false, 0},        {"+CBC: 0,85,3900", false, 85},
  };
  for (const Case& c : cases) {
    const PowerReading reading = ReadPowerLine(c.line);
    EXPECT_EQ(reading.acPower, c.acPower) << c.line;
    EXPECT_EQ(reading.batteryStatus, c.battery) << c.line;
  }
}

using Kind = StatusItem::Kind;

TEST(ScanStatusLines, FindsEveryLineInOrder) {
  const auto items = ScanStatusLines("\r\n+CBC: 0,85\r\n\r\nOK\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].kind, Kind::Power);
  EXPECT_EQ(items[0].line, "+CBC: 0,85");
  EXPECT_EQ(items[1].kind, Kind::Signal);
  EXPECT_EQ(items[1].line, "+CSQ: 17,99");

  const auto signalFirst = ScanStatusLines("+CSQ: 5,99\r\n+CBC: 1,100\r\n");
  ASSERT_EQ(signalFirst.size(), 2u);
  EXPECT_EQ(signalFirst[0].kind, Kind::Signal);
  EXPECT_EQ(signalFirst[1].kind, Kind::Power);
}

TEST(ScanStatusLines, StatusReportNeedsItsPduLine) {
  const auto items = ScanStatusLines("\r\n+CDS: 25\r\n0006D60B911326880736F4111011719551401110117195714000\r\n");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].kind, Kind::StatusReport);
  EXPECT_EQ(items[0].line, "0006D60B911326880736F4111011719551401110117195714000");

  EXPECT_TRUE(ScanStatusLines("\r\n+CDS: 25\r\n").empty());
  EXPECT_TRUE(ScanStatusLines("\r\nOK\r\n").empty());
  EXPECT_TRUE(ScanStatusLines("").empty());
}

TEST(ScanStatusLines, PowerIsTestedBeforeSignalOnOneLine) {
  const auto items = ScanStatusLines("+CSQ +CBC: 1,50");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].kind, Kind::Power);
}

}  // namespace
}  // namespace modem
