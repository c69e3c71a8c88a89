// talvane-cli listen against talvane-modemsim, the way a user tries it: a
// message, a message in three parts, a status report, a ring and call
// indicators from the simulated network, each printed as one JSON line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "modem/gammu_deliver.h"
#include "platform/clock.h"
#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

using namespace e2e;

// The lines of the output that are JSON events.
std::vector<std::string> EventLines(const std::string& out) {
  std::vector<std::string> lines = Lines(out);
  std::erase_if(lines, [](const std::string& line) { return !line.starts_with("{"); });
  return lines;
}

TEST(CliListen, PrintsEveryEventTheNetworkBrings) {
  const std::string longText(400, 'z');
  const auto pdus = modem::GammuDeliver({{"+48600100200", "Hello \"you\""}, {"+48600100300", longText},
                                         {"600100400", "Zażółć", true}});
  ASSERT_EQ(pdus.size(), 3u);
  ASSERT_EQ(pdus[1].size(), 3u);
  platform::TestFolder folder;
  SimulatorProcess simulator({"--incoming", pdus[0].at(0), "--incoming", pdus[1][0], "--incoming", pdus[1][1],
                              "--incoming", pdus[1][2], "--incoming", pdus[2].at(0), "--report", "12,0,+48600100200",
                              "--ring", "+48600100200", "--ring", "", "--indicator", "1,1", "--indicator", "3,0",
                              "--events-after", "2", "--events-every", "0.5"},
                             (folder / "modem.log").string());
  ASSERT_FALSE(simulator.Port().empty());
  const Result result = RunProgram({kCli, "listen", "--port", simulator.Port(), "--seconds", "14",
                                    "--delete-after-read"});
  simulator.Stop();
  EXPECT_EQ(result.status, 0) << result.out;
  const std::vector<std::string> lines = EventLines(result.out);
  ASSERT_EQ(lines.size(), 10u) << result.out;

  // Messages wait in the modem's memory until the listing their indication
  // asks for; a report or a ring coming meanwhile may be printed before them.
  const auto has = [&](const std::string& expected) {
    return std::find(lines.begin(), lines.end(), expected) != lines.end();
  };
  const auto startingWith = [&](const std::string& start) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
  };
  const std::string time = platform::FormatDateTime(platform::CalendarTime{2024, 3, 5, 14, 7, 9});
  EXPECT_TRUE(has("{\"event\":\"OnNewSMS\",\"from\":\"+48600100200\",\"text\":\"Hello \\\"you\\\"\",\"time\":\"" +
                  time + "\",\"udh\":null,\"status_report\":false,\"recipient\":\"\"}"))
      << result.out;
  EXPECT_TRUE(has("{\"event\":\"OnNewSMS\",\"from\":\"600100400\",\"text\":\"Zażółć\",\"time\":\"" + time +
                  "\",\"udh\":null,\"status_report\":false,\"recipient\":\"\"}"))
      << result.out;
  // The three parts, in order, share gammu's reference: the octet after
  // "050003" in the header, behind the SMSC, first octet, sender, PID, DCS,
  // time stamp and UDL.
  ASSERT_EQ(pdus[1][0].substr(54, 6), "050003");
  const std::string ref = std::to_string(std::stoi(pdus[1][0].substr(60, 2), nullptr, 16));
  std::string joined;
  int part = 0;
  for (const std::string& line : lines) {
    const std::string start = "{\"event\":\"OnNewSMS\",\"from\":\"+48600100300\",\"text\":\"";
    if (!line.starts_with(start)) continue;
    ++part;
    const std::string tail = "\",\"time\":\"" + time + "\",\"udh\":{\"ref\":" + ref +
                             ",\"total\":3,\"part\":" + std::to_string(part) +
                             "},\"status_report\":false,\"recipient\":\"\"}";
    ASSERT_TRUE(line.ends_with(tail)) << line;
    joined += line.substr(start.size(), line.size() - start.size() - tail.size());
  }
  EXPECT_EQ(joined, longText);
  EXPECT_EQ(startingWith("{\"event\":\"OnNewSMS\",\"status_report\":true,\"ref\":12,\"status\":0,"
                         "\"delivered\":1,\"to\":\"48600100200\",\"time\":\""),
            1)
      << result.out;
  // The rings and indicators come in order.
  const auto ring = std::find(lines.begin(), lines.end(), "{\"event\":\"OnRing\",\"number\":\"+48600100200\"}");
  ASSERT_NE(ring, lines.end()) << result.out;
  ASSERT_LE(ring + 4, lines.end()) << result.out;
  EXPECT_EQ(ring[1], "{\"event\":\"OnRing\",\"number\":\"unknown\"}");
  EXPECT_EQ(ring[2], "{\"event\":\"OnCallBusy\",\"busy\":true,\"status\":\"inCall\"}");
  EXPECT_EQ(ring[3], "{\"event\":\"OnCallBusy\",\"busy\":false,\"status\":\"noCall\"}");
  // Each message was stored, listed, and deleted after it was read.
  const std::string log = ReadFile(folder / "modem.log");
  EXPECT_NE(log.find("RX AT+CNMI=2,1,0,1,1"), std::string::npos) << log;
  EXPECT_NE(log.find("RX AT+CMGD=1"), std::string::npos) << log;
}

TEST(CliListen, WrongUse) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string line;
  } cases[] = {
      {{"listen"}, 2, "talvane-cli listen: --port is required"},
      {{"listen", "--port", "/dev/null", "--seconds", "0"}, 2,
       "talvane-cli listen: --seconds wants a whole number, at least 1, not '0'"},
      {{"listen", "--port"}, 2, "talvane-cli listen: option --port needs a value"},
      {{"listen", "--port", "/dev/talvane-no-such-port", "--seconds", "1"}, 1,
       "talvane-cli listen: cannot open /dev/talvane-no-such-port: No such file or directory"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {kCli};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result result = RunProgram(args);
    EXPECT_EQ(result.status, c.status) << result.out;
    EXPECT_NE(FindLine(result.out, c.line), std::string::npos) << result.out;
    EXPECT_TRUE(EventLines(result.out).empty()) << result.out;
  }
}

}  // namespace
