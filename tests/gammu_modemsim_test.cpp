// The simulated modem passes as a modem for an independent, widely trusted
// client: gammu identifies talvane-modemsim and sends a two-part message
// through it, and the simulator's own log shows both PDUs.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

using namespace e2e;

// The PDUs in the simulator's traffic log ("modemsim: PDU <hex>" lines).
std::vector<std::string> LoggedPdus(const std::string& log) {
  std::vector<std::string> pdus;
  const std::string marker = "modemsim: PDU ";
  for (size_t at = log.find(marker); at != std::string::npos; at = log.find(marker, at + 1)) {
    const size_t start = at + marker.size();
    pdus.push_back(log.substr(start, log.find('\n', start) - start));
  }
  return pdus;
}

// gammu with a configuration for `port`, bounded in time.
Result Gammu(const platform::TestFolder& folder, const std::string& port, std::vector<std::string> args) {
  const std::filesystem::path config = folder.Path() / "gammurc";
  std::ofstream(config) << "[gammu]\ndevice = " << port << "\nconnection = at\n";
  args.insert(args.begin(), {"timeout", "120", "gammu", "-c", config.string()});
  return RunProgram(args);
}

TEST(GammuOnTheSimulatedModem, IdentifiesItAndSendsATwoPartMessage) {
  platform::TestFolder folder;
  const std::string log = (folder.Path() / "modemsim.log").string();
  SimulatorProcess sim({"--reference", "41"}, log);
  ASSERT_FALSE(sim.Port().empty());

  const Result identify = Gammu(folder, sim.Port(), {"identify"});
  ASSERT_EQ(identify.status, 0) << identify.out;
  EXPECT_NE(identify.out.find("Manufacturer         : TALVANE"), std::string::npos) << identify.out;
  EXPECT_NE(identify.out.find("MODEMSIM"), std::string::npos) << identify.out;
  EXPECT_NE(identify.out.find("IMEI                 : 351234567890125"), std::string::npos) << identify.out;

  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + i % 26);
  const Result send = Gammu(folder, sim.Port(), {"sendsms", "TEXT", "+48600100200", "-len", "200", "-text", text});
  ASSERT_EQ(send.status, 0) << send.out;
  EXPECT_NE(send.out.find("message reference=41"), std::string::npos) << send.out;
  EXPECT_NE(send.out.find("message reference=42"), std::string::npos) << send.out;

  sim.Stop();
  const std::vector<std::string> pdus = LoggedPdus(ReadFile(log));
  ASSERT_EQ(pdus.size(), 2u) << ReadFile(log);
  // Both parts of one concatenated message, to the number given.
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_NE(pdus[i].find("0B918406100002F0"), std::string::npos) << pdus[i];
    const size_t header = pdus[i].find("050003");
    ASSERT_NE(header, std::string::npos) << pdus[i];
    EXPECT_EQ(pdus[i].substr(header + 8, 4), i == 0 ? "0201" : "0202") << pdus[i];
    EXPECT_EQ(pdus[i].substr(header + 6, 2), pdus[0].substr(pdus[0].find("050003") + 6, 2));
  }
}

}  // namespace
