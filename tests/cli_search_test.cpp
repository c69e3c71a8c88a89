// talvane-cli search, run as a user runs it, against the talvane-modemsim
// program and a serial port where nothing answers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli_programs.h"
#include "tools/modemsim/not_a_modem.h"

namespace {

using namespace e2e;

TEST(CliSearch, FindsTheModemOnTheSecondPort) {
  SimulatorProcess simulator;
  ASSERT_FALSE(simulator.Port().empty());
  modemsim::NotAModem silent(modemsim::NotAModem::Kind::Silent);
  ASSERT_TRUE(silent.Start());
  const Result result = RunProgram({kCli, "search", "--ports", silent.PortPath() + "," + simulator.Port()});
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "50 " + silent.PortPath() + " -1\n" +    //
                            "100 " + simulator.Port() + " -1\n" +  //
                            "0 " + simulator.Port() + " 1\n" +     //
                            simulator.Port() + "\n");
  EXPECT_GT(silent.LinesReceived(), 0);
}

TEST(CliSearch, NoModemOnAnyGivenPort) {
  modemsim::NotAModem silent(modemsim::NotAModem::Kind::Silent);
  ASSERT_TRUE(silent.Start());
  const Result result = RunProgram({kCli, "search", "--ports", "/dev/talvane-no-such-port," + silent.PortPath()},
                                   e2e::Streams::Separate);
  EXPECT_EQ(result.status, 1) << result.out;
  EXPECT_EQ(result.out, "50 /dev/talvane-no-such-port -1\n100 " + silent.PortPath() + " -1\n0 brak modemu 0\n");
  EXPECT_EQ(result.err, "talvane-cli search: no modem answered on the ports given\n");
}

TEST(CliSearch, BadArgumentsShowTheUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {kCli, "search", "--ports"},
           {kCli, "search", "--ports", ""},
           {kCli, "search", "--ports", "/dev/ttyUSB0,,/dev/ttyUSB1"},
           {kCli, "search", "--ports", "/dev/ttyUSB0,"},
           {kCli, "search", "--port", "/dev/ttyUSB0"}}) {
    const Result result = RunProgram(args);
    EXPECT_EQ(result.status, 2) << result.out;
    EXPECT_NE(result.out.find("usage: talvane-cli search [--ports P1,P2,...]"), std::string::npos) << result.out;
  }
  const Result help = RunProgram({kCli, "search", "--help"});
  EXPECT_EQ(help.status, 0) << help.out;
  EXPECT_TRUE(help.out.starts_with("usage: talvane-cli search [--ports P1,P2,...]\n")) << help.out;
}

}  // namespace
