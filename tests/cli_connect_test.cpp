// talvane-cli connect and ports, run as a user runs them, against the
// talvane-modemsim program.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

using namespace e2e;

TEST(CliConnect, PrintsTheConnectionWithTheSimulatedModem) {
  SimulatorProcess simulator;
  ASSERT_FALSE(simulator.Port().empty());
  const Result result = RunProgram({kCli, "connect", "--port", simulator.Port(), "--seconds", "3", "--at", "AT+CSQ"});
  EXPECT_EQ(result.status, 0) << result.out;
  const std::string& out = result.out;

  const size_t connecting = FindLine(out, "OnConnecting");
  const size_t model = FindLine(out, "OnGetModelGSM TALVANE/MODEMSIM 351234567890125 \\r\\nRevision 1.0 20 100");
  const size_t connected = FindLine(out, "OnConnected");
  const size_t status = FindLine(out, "OnQuietError OK");
  const size_t power = FindLine(out, "OnCheckSignalPower -1 false 85 BAT");
  const size_t signal = FindLine(out, "OnCheckSignalPower 85 false -1 ANT");
  ASSERT_NE(connecting, std::string::npos) << out;
  EXPECT_LT(connecting, model) << out;
  EXPECT_LT(model, connected) << out;
  EXPECT_LT(connected, status) << out;
  EXPECT_LT(status, power) << out;
  EXPECT_LT(power, signal) << out;
  EXPECT_NE(FindLine(out, "  Initializing Modem GSM"), std::string::npos) << out;

  // The caller's command comes back as one report, its lines indented.
  const size_t report =
      out.find("OnAfterComRx\n  ******* AT Command ********\n  AT+CSQ\n  > \n  +CSQ: 17,99\n", status);
  EXPECT_NE(report, std::string::npos) << out;

  // Then the disconnection with the reset, and the end.
  const size_t reset = FindLine(out, "  Modem OFF with soft RESET: [AT&F] ", status);
  const size_t disconnected = FindLine(out, "OnDisconnected", status);
  EXPECT_NE(reset, std::string::npos) << out;
  EXPECT_LT(reset, disconnected) << out;
  EXPECT_EQ(out.substr(out.size() - std::string("OnDisconnected\nOnGSMDeActivate\n").size()),
            "OnDisconnected\nOnGSMDeActivate\n");
}

TEST(CliConnect, PortThatCannotBeOpenedFailsAtOnce) {
  platform::TestFolder folder;
  std::ofstream(folder / "plain-file") << "not a device";
  const struct {
    std::string port;
    std::string reason;
  } cases[] = {
      {"/dev/talvane-no-such-port", "No such file or directory"},
      {(folder / "plain-file").string(), "not a serial port"},
  };
  for (const auto& c : cases) {
    // --seconds 600: a port that cannot be opened must not be waited for.
    const Result result = RunProgram({kCli, "connect", "--port", c.port, "--seconds", "600"});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_EQ(result.out, "talvane-cli connect: cannot open " + c.port + ": " + c.reason + "\n");
  }
}

TEST(CliConnect, BadArgumentsShowTheUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {kCli, "connect"},
           {kCli, "connect", "--port"},
           {kCli, "connect", "--port", "/dev/null", "--seconds", "0"},
           {kCli, "connect", "--port", "/dev/null", "--speed", "9600"}}) {
    const Result result = RunProgram(args);
    EXPECT_EQ(result.status, 2) << result.out;
    EXPECT_NE(result.out.find("usage: talvane-cli connect --port PORT"), std::string::npos) << result.out;
  }
}

TEST(CliPorts, ListsOneNameALine) {
  const Result result = RunProgram({kCli, "ports"});
  EXPECT_EQ(result.status, 0) << result.out;
  for (size_t start = 0; start < result.out.size();) {
    const size_t end = result.out.find('\n', start);
    ASSERT_NE(end, std::string::npos) << result.out;
    EXPECT_EQ(result.out.compare(start, 5, "/dev/"), 0) << result.out;
    start = end + 1;
  }
  EXPECT_EQ(RunProgram({kCli, "ports", "extra"}).status, 2);
}

}  // namespace
