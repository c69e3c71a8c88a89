// The simulated modem as demanding as the modems operators plug in: bare and
// late prompts, a prompt that holds until ESC or Ctrl-Z, a line that drops
// right after the confirmation and comes back on the same path, and the
// everyday commands independent clients ask, whose settings stick.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/serial_port.h"
#include "platform/test_folder.h"
#include "tools/modemsim/modem_simulator.h"

namespace modemsim {
namespace {

using namespace std::chrono_literals;

// A 7-bit SMS-SUBMIT of 19 octets after the SMSC octet.
const std::string kPdu = "0011000B918406010203F40000AA05E8329BFD06";

class SubmissionBehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(modem_.Start(&error)) << error;
    Open();
  }
  void Open() {
    ASSERT_TRUE(port_.Open(modem_.PortPath())) << port_.LastErrorText();
    ASSERT_TRUE(port_.Configure(115200));
  }

  // Writes `text`, then reads until the reply holds `end` or nothing comes for `quiet`.
  std::string Send(const std::string& text, const std::string& end = "\r\n", std::chrono::milliseconds quiet = 3000ms) {
    EXPECT_TRUE(port_.Write(text, 1000)) << port_.LastErrorText();
    std::string reply;
    while ((reply.size() < end.size() || reply.compare(reply.size() - end.size(), end.size(), end) != 0) &&
           port_.WaitForData(static_cast<int>(quiet.count()))) {
      reply += port_.ReadAvailable(0);
    }
    return reply;
  }
  std::string Command(const std::string& command, const std::string& end = "OK\r\n") {
    return Send(command + "\r", end);
  }

  ModemSimulator modem_;
  platform::SerialPort port_;
};

TEST_F(SubmissionBehaviourTest, SettingsStickAndEverydayCommandsAreAnswered) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  struct Case {
    const char* command;
    const char* answer;
  } cases[] = {
      {"AT+CSCS=?", "\r\n+CSCS: (\"GSM\",\"IRA\",\"UCS2\",\"HEX\")\r\n\r\nOK\r\n"},
      {"AT+CSCS=\"GSM\"", "\r\nOK\r\n"},
      {"AT+CSCS?", "\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n"},
      {"AT+CFUN=?", "\r\n+CFUN: (0,1,4),(0,1)\r\n\r\nOK\r\n"},
      {"AT+CFUN=1", "\r\nOK\r\n"},
      {"AT+CFUN=4", "\r\nOK\r\n"},
      {"AT+CFUN?", "\r\n+CFUN: 4\r\n\r\nOK\r\n"},
      {"AT+CREG?", "\r\n+CREG: 0,0\r\n\r\nOK\r\n"},  // radio off: not registered
      {"AT+CFUN=1,0", "\r\nOK\r\n"},
      {"AT+CREG=2", "\r\nOK\r\n"},
      {"AT+CREG?", "\r\n+CREG: 2,1\r\n\r\nOK\r\n"},
      {"AT+CHUP=?", "\r\nOK\r\n"},
      {"AT+CSCA=\"+48601000999\",145", "\r\nOK\r\n"},
      {"AT+CSCA?", "\r\n+CSCA: \"+48601000999\",145\r\n\r\nOK\r\n"},
      {"AT+CSMS=?", "\r\n+CSMS: (0,1)\r\n\r\nOK\r\n"},
      {"AT+CSMS=1", "\r\n+CSMS: 1,1,1\r\n\r\nOK\r\n"},
      {"AT+CSMS?", "\r\n+CSMS: 1,1,1,1\r\n\r\nOK\r\n"},
      {"AT+CSMP=17,173,0,8", "\r\nOK\r\n"},
      {"AT+CSMP?", "\r\n+CSMP: 17,173,0,8\r\n\r\nOK\r\n"},
      {"AT+CSDH=1", "\r\nOK\r\n"},
      {"AT+CSDH?", "\r\n+CSDH: 1\r\n\r\nOK\r\n"},
      {"AT+CPAS", "\r\n+CPAS: 0\r\n\r\nOK\r\n"},
      {"AT+CIMI", "\r\n260011234567890\r\n\r\nOK\r\n"},
      {"AT+CNUM", "\r\n+CNUM: ,\"+48600000000\",145\r\n\r\nOK\r\n"},
      {"AT+GCAP", "\r\n+GCAP: +CGSM\r\n\r\nOK\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Command(c.command), c.answer) << c.command;
  // What a modem cannot take is refused and changes nothing.
  EXPECT_EQ(Command("AT+CSCS=\"KOI8\"", "ERROR\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(Command("AT+CFUN=7", "ERROR\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(Command("AT+CSCS?"), "\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n");
  // Factory values come back with AT&F.
  EXPECT_EQ(Command("AT&F"), "\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CSCS?"), "AT+CSCS?\r\r\n+CSCS: \"UCS2\"\r\n\r\nOK\r\n");
  EXPECT_NE(Command("AT+CCLK?").find("+CCLK: \""), std::string::npos);
}

TEST_F(SubmissionBehaviourTest, BareAndLatePrompts) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.SetBarePrompt(true);
  EXPECT_EQ(Send("AT+CMGS=19\r", "> "), "> ");
  EXPECT_EQ(Send(kPdu + "\x1A", "OK\r\n"), "\r\n+CMGS: 0\r\n\r\nOK\r\n");

  // A prompt that comes late; what is typed meanwhile waits for it.
  modem_.SetBarePrompt(false);
  Fault late{FaultKind::Delay, 0, 400, 1, true};
  modem_.SetFault("AT+CMGS", late);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Send("AT+CMGS=19\r", "> ", 100ms), "");
  EXPECT_EQ(Send("\x1B", "OK\r\n"), "\r\n> \r\nOK\r\n");  // the prompt, then ESC cancels it
  EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);
  EXPECT_EQ(modem_.CancelledPrompts(), 1);
  EXPECT_EQ(modem_.Pdus().size(), 1u);
  EXPECT_EQ(Command("AT"), "\r\nOK\r\n");
}

TEST_F(SubmissionBehaviourTest, AcceptedWithoutReferenceAndConfirmedOnlyWithTheNextCommand) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.SetFault("AT+CMGS", {FaultKind::FinalOnly, 0, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", "> "), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", "OK\r\n"), "\r\nOK\r\n");
  // The second message after the fault was set: the first passes, the
  // second's confirmation comes only before the answer to the next command.
  modem_.SetFault("AT+CMGS", {FaultKind::HeldUntilNextCommand, 0, 0, 1, false, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", "> "), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", "OK\r\n"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(Send("AT+CMGS=19\r", "> "), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", "OK\r\n", 300ms), "");
  EXPECT_EQ(Command("AT+CMMS=1", "OK\r\n\r\nOK\r\n"), "\r\n+CMGS: 2\r\n\r\nOK\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT"), "\r\nOK\r\n");
  EXPECT_EQ(modem_.Pdus().size(), 3u);
}

TEST_F(SubmissionBehaviourTest, APromptHoldsUntilEscapeOrCtrlZ) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.LeaveAtPrompt(19);
  // Commands are message text now: no answer.
  EXPECT_EQ(Send("AT\r", "OK\r\n", 300ms), "");
  EXPECT_EQ(Send("AT\r", "OK\r\n", 300ms), "");
  // Ctrl-Z sends what was typed, which is no PDU.
  EXPECT_EQ(Send("\x1A", "\r\n"), "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(Command("AT"), "\r\nOK\r\n");

  modem_.LeaveAtPrompt(19);
  EXPECT_EQ(Send("AT\r", "OK\r\n", 300ms), "");
  EXPECT_EQ(Send("\x1B", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(modem_.CancelledPrompts(), 1);
  // ESC outside the prompt is no character of a command.
  EXPECT_EQ(Send("\x1B" "AT\r", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_TRUE(modem_.Pdus().size() == 1u && modem_.Pdus()[0] == "ATAT");
}

TEST_F(SubmissionBehaviourTest, LineDropsRightAfterTheConfirmationAndComesBackOnTheSamePath) {
  platform::TestFolder folder;
  const std::string stable = (folder.Path() / "ttyUSB0").string();
  modem_.SetStablePath(stable);
  EXPECT_EQ(modem_.PortPath(), stable);
  EXPECT_EQ(std::filesystem::read_symlink(stable).string().rfind("/dev/pts/", 0), 0u);
  port_.Close();
  Open();
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.SetFault("AT+CMGS", {FaultKind::DropAfterAnswer, 0, 100, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", "> "), "\r\n> ");
  std::string rest = Send(kPdu + "\x1A", "\r\n+CMGS: 0\r\n");
  EXPECT_EQ(rest, "\r\n+CMGS: 0\r\n");  // confirmed, but no final result code
  for (int i = 0; i < 50 && port_.IsOpen(); ++i) {
    if (port_.WaitForData(100)) rest += port_.ReadAvailable(0);
  }
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(rest, "\r\n+CMGS: 0\r\n");
  EXPECT_FALSE(modem_.Running());

  // Back on the same path, with its factory settings and the next reference.
  ASSERT_TRUE(modem_.Start());
  EXPECT_EQ(modem_.PortPath(), stable);
  Open();
  EXPECT_EQ(Command("AT"), "AT\r\r\nOK\r\n");
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(Send("AT+CMGS=19\r", "> "), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", "OK\r\n"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace modemsim
