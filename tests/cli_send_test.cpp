// talvane-cli sms, run as a user runs it, against the talvane-modemsim
// program. These runs use the engine's real waits.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

using namespace e2e;

// talvane-cli with its program folder (ReferenceNumbers.ini) in `folder`.
Result Cli(const platform::TestFolder& folder, std::vector<std::string> args) {
  args.insert(args.begin(), {"env", "TALVANE_PROGRAM_DIR=" + folder.Path().string(), kCli});
  return RunProgram(args);
}

TEST(CliSms, NewUserSendsOneText) {
  platform::TestFolder folder;
  SimulatorProcess simulator({}, (folder / "modemsim.log").string());
  ASSERT_FALSE(simulator.Port().empty());
  const Result result = Cli(folder, {"sms", "--port", simulator.Port(), "+48600100200", "Zażółć gęślą jaźń"});
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out,
            "OnConnecting\n"
            "OnConnected\n"
            "queued 1 part for +48600100200\n"
            "OnQuietError OK\n"
            "OnAfterSend +48600100200 +48600100200 1 0 1/1 Zazolc gesla jazn\n"
            "OnDisconnected\n");
  simulator.Stop();
  const std::string log = ReadFile(folder / "modemsim.log");
  EXPECT_NE(FindLine(log, "modemsim: RX AT+CMGS=29"), std::string::npos) << log;
  EXPECT_NE(FindLine(log, "modemsim: PDU 0011000B918406100002F00000AD11DAB0FECD1E83CEE5393B0C5287F56E"),
            std::string::npos)
      << log;
}

TEST(CliSms, OptionsReachEveryPart) {
  platform::TestFolder folder;
  // The network answers after the exchange of the PDU gave up (ATTimeout is
  // 2 s), so the collection ends at its answer instead of waiting 18.5 s.
  SimulatorProcess simulator({"--reference", "77", "--fault", "delay:2500", "AT+CMGS"},
                             (folder / "modemsim.log").string());
  ASSERT_FALSE(simulator.Port().empty());
  std::string text;
  for (int i = 0; i < 71; ++i) text += "ż";  // 67 + 4 in UCS-2
  const std::vector<std::string> options = {"--merge", "2", "--flash", "--report", "--ucs2", "600100200", text};

  std::vector<std::string> sms = {"sms", "--port", simulator.Port()};
  sms.insert(sms.end(), options.begin(), options.end());
  const Result result = Cli(folder, sms);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_NE(FindLine(result.out, "queued 2 parts for +48600100200"), std::string::npos) << result.out;
  EXPECT_NE(FindLine(result.out, "OnAfterSend 600100200 +48600100200 1 77 1/2 " + text.substr(0, 67 * 2)),
            std::string::npos)
      << result.out;
  EXPECT_NE(FindLine(result.out, "OnAfterSend 600100200 +48600100200 1 78 2/2 " + text.substr(0, 4 * 2)),
            std::string::npos)
      << result.out;
  EXPECT_NE(ReadFile(folder / "ReferenceNumbers.ini").find("Talvane=1"), std::string::npos);

  // The PDUs are those `parts` shows for the same request.
  std::vector<std::string> parts = {kCli, "parts"};
  parts.insert(parts.end(), options.begin(), options.end());
  const Result expected = RunProgram(parts);
  ASSERT_EQ(expected.status, 0) << expected.out;
  const std::vector<std::string> lines = Lines(expected.out);
  ASSERT_EQ(lines.size(), 3u) << expected.out;  // two parts and the reference
  simulator.Stop();
  const std::string log = ReadFile(folder / "modemsim.log");
  for (size_t i = 0; i < 2; ++i) {
    const std::string pdu = lines[i].substr(lines[i].find(',') + 1, lines[i].find(",\"") - lines[i].find(',') - 1);
    EXPECT_NE(FindLine(log, "modemsim: PDU " + pdu), std::string::npos) << pdu << "\n" << log;
    EXPECT_EQ(pdu.substr(0, 4), "0071") << "status report request and header";
  }
}

TEST(CliSms, GivesUpAfterTheTimeoutAndSaysWhatIsMissing) {
  platform::TestFolder folder;
  // No prompt: the part never went out, and waits to be tried again.
  SimulatorProcess simulator({"--quiet", "--fault", "silence@prompt", "AT+CMGS"});
  ASSERT_FALSE(simulator.Port().empty());
  const Result result = Cli(folder, {"sms", "--port", simulator.Port(), "--timeout", "6", "600100200", "Hello"});
  EXPECT_EQ(result.status, 1) << result.out;
  EXPECT_NE(FindLine(result.out, "talvane-cli sms: gave up after 6 s; no report for part 1 of 1"), std::string::npos)
      << result.out;
  EXPECT_EQ(result.out.find("OnAfterSend"), std::string::npos) << result.out;
}

TEST(CliSms, PartTheModemRefusesIsNotSent) {
  platform::TestFolder folder;
  SimulatorProcess simulator({"--quiet", "--fault", "error@prompt", "AT+CMGS"});
  ASSERT_FALSE(simulator.Port().empty());
  const Result result = Cli(folder, {"sms", "--port", simulator.Port(), "600100200", "Hello"});
  EXPECT_EQ(result.status, 1) << result.out;
  EXPECT_NE(FindLine(result.out, "OnQuietError TimeOUT --> Quiet Modem RESTART"), std::string::npos) << result.out;
  EXPECT_NE(FindLine(result.out, "OnAfterSend 600100200 +48600100200 0 -1 1/1 Hello"), std::string::npos)
      << result.out;
  EXPECT_NE(FindLine(result.out, "OnQuietError SendSMS error: SMS REJECTED"), std::string::npos) << result.out;
  EXPECT_NE(FindLine(result.out, "talvane-cli sms: 1 of 1 parts not sent"), std::string::npos) << result.out;
}

TEST(CliSms, NoModemOrBadArguments) {
  platform::TestFolder folder;
  const Result noPort = Cli(folder, {"sms", "--port", "/dev/talvane-no-such-port", "600100200", "Hello"});
  EXPECT_EQ(noPort.status, 1) << noPort.out;
  EXPECT_EQ(noPort.out, "talvane-cli sms: cannot open /dev/talvane-no-such-port: No such file or directory\n");

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"sms", "--port", "/dev/null", "600100200"},
           {"sms", "600100200", "Hello"},
           {"sms", "--port", "/dev/null", "--merge", "300", "600100200", "Hello"},
           {"sms", "--port", "/dev/null", "--timeout", "0", "600100200", "Hello"},
           {"sms", "--port", "/dev/null", "--speed", "9600", "600100200", "Hello"}}) {
    const Result result = Cli(folder, args);
    EXPECT_EQ(result.status, 2) << result.out;
    EXPECT_NE(result.out.find("usage: talvane-cli sms --port PORT"), std::string::npos) << result.out;
  }
}

}  // namespace
