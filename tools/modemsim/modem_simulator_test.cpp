// The simulated modem, met the way the engine meets it: through the real
// serial port code over the pseudo-terminal.
#include "tools/modemsim/modem_simulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/read_file.h"
#include "platform/serial_port.h"
#include "platform/test_folder.h"

namespace modemsim {
namespace {

using namespace std::chrono_literals;
using platform::SerialPort;

// A 7-bit SMS-SUBMIT to +48601020304 ("hello"): 19 octets after the SMSC octet.
const std::string kPdu = "0011000B918406010203F40000AA05E8329BFD06";
const std::string kDeliver = "07918406010013F0040B918406010203F4000042502151650000" "05E8329BFD06";

class ModemSimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(modem_.Start(&error)) << error;
    ASSERT_TRUE(port_.Open(modem_.PortPath())) << port_.LastErrorText();
    ASSERT_TRUE(port_.Configure(115200));
  }

  // Everything the modem sends until `complete` says the text is whole (by
  // default: it ends with a final result code), or until nothing more comes
  // for `quiet`.
  std::string Read(const std::function<bool(const std::string&)>& complete = EndsWithFinalResult,
                   std::chrono::milliseconds quiet = 3000ms) {
    std::string text;
    while (!complete(text) && port_.WaitForData(static_cast<int>(quiet.count()))) text += port_.ReadAvailable(0);
    return text;
  }
  std::string Send(const std::string& text,
                   const std::function<bool(const std::string&)>& complete = EndsWithFinalResult,
                   std::chrono::milliseconds quiet = 3000ms) {
    EXPECT_TRUE(port_.Write(text, 1000)) << port_.LastErrorText();
    return Read(complete, quiet);
  }
  static bool EndsWithFinalResult(const std::string& text) {
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
    const size_t start = text.rfind("\r\n", text.size() - 3);
    const size_t begin = start == std::string::npos ? 0 : start + 2;
    const std::string last = text.substr(begin, text.size() - 2 - begin);
    return last == "OK" || last == "ERROR" || last.rfind("+CMS ERROR: ", 0) == 0 || last.rfind("+CME ERROR: ", 0) == 0;
  }
  static std::function<bool(const std::string&)> Contains(const std::string& part) {
    return [part](const std::string& text) { return text.find(part) != std::string::npos; };
  }
  std::string Command(const std::string& command) { return Send(command + "\r"); }

  ModemSimulator modem_;
  SerialPort port_;
};

TEST_F(ModemSimulatorTest, EchoesUntilAte0AndAgainAfterAtzAndAtF) {
  EXPECT_EQ(Command("AT"), "AT\r\r\nOK\r\n");
  EXPECT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");  // the command itself is still echoed
  EXPECT_EQ(Command("AT"), "\r\nOK\r\n");
  EXPECT_EQ(Command("ATZ"), "\r\nOK\r\n");
  EXPECT_EQ(Command("AT"), "AT\r\r\nOK\r\n");
  EXPECT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(Command("AT&F"), "\r\nOK\r\n");
  EXPECT_EQ(Command("at"), "at\r\r\nOK\r\n");
}

TEST_F(ModemSimulatorTest, AnswersTheCommandsOfAConnectionAsAModemDoes) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  struct Case {
    const char* command;
    const char* answer;
  } cases[] = {
      {"AT+CNMI=?", "\r\n+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)\r\n\r\nOK\r\n"},
      {"AT+CMMS=?", "\r\n+CMMS: (0-2)\r\n\r\nOK\r\n"},
      {"AT+CLIP=?", "\r\n+CLIP: (0-1)\r\n\r\nOK\r\n"},
      {"AT+CIND?", "\r\n+CIND: 0,0,1,0,0,0,0\r\n\r\nOK\r\n"},
      {"AT+CMER=?", "\r\n+CMER: (0-3),(0),(0),(0-2),(0,1)\r\n\r\nOK\r\n"},
      {"AT+CBC=?", "\r\n+CBC: (0-3),(0-100)\r\n\r\nOK\r\n"},
      {"AT+CSQ=?", "\r\n+CSQ: (0-31,99),(0-7,99)\r\n\r\nOK\r\n"},
      {"AT+CMGF=?", "\r\n+CMGF: (0,1)\r\n\r\nOK\r\n"},
      {"AT+CMGF=0", "\r\nOK\r\n"},
      {"AT+CMGF=2", "\r\nERROR\r\n"},
      {"AT+CNMI=2,2,0,1,1", "\r\nOK\r\n"},
      {"AT+CNMI?", "\r\n+CNMI: 2,2,0,1,1\r\n\r\nOK\r\n"},
      {"AT+CNMI=4", "\r\nERROR\r\n"},
      {"AT+CLIP=1", "\r\nOK\r\n"},
      {"AT+CMER=2,0,0,2", "\r\nOK\r\n"},
      {"AT+CMMS=1", "\r\nOK\r\n"},
      {"AT+CBC", "\r\n+CBC: 0,85\r\n\r\nOK\r\n"},
      {"AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n"},
      {"ATI", "\r\nTALVANE MODEMSIM\r\n\r\nOK\r\n"},
      {"AT+CGMI", "\r\nTALVANE\r\n\r\nOK\r\n"},
      {"ATI3", "\r\nMODEMSIM\r\n\r\nOK\r\n"},
      {"ATI4", "\r\n+CGSM,+FCLASS,+DS\r\n\r\nOK\r\n"},
      {"ATI7", "\r\nERROR\r\n"},
      {"AT+CGMM", "\r\nMODEMSIM\r\n\r\nOK\r\n"},
      {"AT+CGSN", "\r\n351234567890125\r\n\r\nOK\r\n"},
      {"AT+CGMR", "\r\nRevision 1.0\r\n\r\nOK\r\n"},
      {"AT+CPMS=\"SM\"", "\r\n+CPMS: 0,20,0,20,0,20\r\n\r\nOK\r\n"},
      {"AT+CPMS=\"ME\"", "\r\n+CPMS: 0,100,0,20,0,20\r\n\r\nOK\r\n"},
      {"AT+CPMS=\"XX\"", "\r\n+CMS ERROR: 302\r\n"},
      {"AT+CPBS=\"SM\"", "\r\nOK\r\n"},
      {"AT+CPBR=?", "\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n"},
      {"AT+CPBS?", "\r\n+CPBS: \"SM\",0,250\r\n\r\nOK\r\n"},
      {"ATH", "\r\nOK\r\n"},
      {"AT+CHUP", "\r\nOK\r\n"},
      {"AT+CMGF=0;+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n"},  // a line of several commands
      {"ATE0V1", "\r\nOK\r\n"},
      {"AT+UNKNOWN", "\r\nERROR\r\n"},
      {"AT+CSQ;+UNKNOWN;+CBC", "\r\n+CSQ: 17,99\r\n\r\nERROR\r\n"},  // stops at the bad one
  };
  for (const Case& c : cases) EXPECT_EQ(Command(c.command), c.answer) << c.command;
}

TEST_F(ModemSimulatorTest, SignalBatteryAndPhonebookAreSettable) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.WithModem([](AtInterpreter& m) {
    m.SetSignal(5, 0);
    m.SetBattery(1, 100);
    m.SetPhonebookEntry("SM", 2, {"+48600111222", 145, "0041006C0061"});
  });
  EXPECT_EQ(Command("AT+CSQ"), "\r\n+CSQ: 5,0\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CBC"), "\r\n+CBC: 1,100\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CPBR=1,10"), "\r\n+CPBR: 2,\"+48600111222\",145,\"0041006C0061\"\r\n\r\nOK\r\n");
}

TEST_F(ModemSimulatorTest, SubmitsAMessageAfterThePromptWithCountingReferences) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.WithModem([](AtInterpreter& m) { m.SetNextReference(255); });
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A\r"), "\r\n+CMGS: 255\r\n\r\nOK\r\n");
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A"), "\r\n+CMGS: 0\r\n\r\nOK\r\n");  // the reference wraps at 255

  // A length that does not match the PDU, and a cancelled message.
  EXPECT_EQ(Send("AT+CMGS=20\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A"), "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send("0011\x1B"), "\r\nOK\r\n");

  EXPECT_EQ(modem_.Pdus(), (std::vector<std::string>{kPdu, kPdu, kPdu}));
  EXPECT_EQ(modem_.WithModem([](AtInterpreter& m) { return m.SubmittedPdus().size(); }), 2u);
  EXPECT_EQ(modem_.WithModem([](AtInterpreter& m) { return m.NextReference(); }), 1);
  EXPECT_EQ(modem_.CountCommands("AT+CMGS="), 4);
}

TEST_F(ModemSimulatorTest, ListsReadsAndDeletesStoredMessages) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.WithModem([](AtInterpreter& m) {
    m.StoreMessage("SM", {0, kDeliver});
    m.StoreMessage("SM", {1, kDeliver});
    m.StoreMessage("ME", {0, kDeliver});
  });
  EXPECT_EQ(Command("AT+CMGL=0"), "\r\n+CMGL: 1,0,,24\r\n" + kDeliver + "\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CMGL=0"), "\r\nOK\r\n");  // listed once, now read
  EXPECT_EQ(Command("AT+CMGL=4"), "\r\n+CMGL: 1,1,,24\r\n" + kDeliver + "\r\n+CMGL: 2,1,,24\r\n" + kDeliver +
                                      "\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CMGR=2"), "\r\n+CMGR: 1,,24\r\n" + kDeliver + "\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CMGD=2"), "\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CMGR=2"), "\r\n+CMS ERROR: 321\r\n");
  EXPECT_EQ(Command("AT+CPMS=\"ME\""), "\r\n+CPMS: 1,100,1,20,1,20\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CMGL=0"), "\r\n+CMGL: 1,0,,24\r\n" + kDeliver + "\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CMGD=1,4"), "\r\nOK\r\n");
  EXPECT_TRUE(modem_.WithModem([](AtInterpreter& m) { return m.Messages("ME").empty(); }));
}

TEST_F(ModemSimulatorTest, UnsolicitedCodesArriveBetweenAndInsideAnswers) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.SendUnsolicited("+CMTI: \"SM\",3");
  EXPECT_EQ(Read(Contains("3\r\n")), "\r\n+CMTI: \"SM\",3\r\n");

  modem_.InjectIntoAnswer("AT+CSQ", "+CMTI: \"SM\",4");
  EXPECT_EQ(Command("AT+CBC"), "\r\n+CBC: 0,85\r\n\r\nOK\r\n");  // another command: untouched
  EXPECT_EQ(Command("AT+CSQ"), "\r\n+CSQ: 17,99\r\n\r\n+CMTI: \"SM\",4\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("AT+CSQ"), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");  // once only

  // A new-message indication in the middle of a submission.
  modem_.InjectIntoAnswer("AT+CMGS", "+CMTI: \"SM\",5");
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A"), "\r\n+CMGS: 0\r\n\r\n+CMTI: \"SM\",5\r\n\r\nOK\r\n");

  // A message from the network, indicated or delivered as AT+CNMI asks.
  ASSERT_EQ(Command("AT+CNMI=2,1,0,0,0"), "\r\nOK\r\n");
  modem_.ReceiveMessage(kDeliver);
  EXPECT_EQ(Read(Contains("\",1\r\n")), "\r\n+CMTI: \"SM\",1\r\n");
  ASSERT_EQ(Command("AT+CNMI=2,2,0,0,0"), "\r\nOK\r\n");
  modem_.ReceiveMessage(kDeliver);
  EXPECT_EQ(Read(Contains("06\r\n")), "\r\n+CMT: ,24\r\n" + kDeliver + "\r\n");
}

TEST_F(ModemSimulatorTest, FaultsOnDemand) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.SetFault("AT+CMGF=?", {FaultKind::Error});
  modem_.SetFault("AT+CSQ", {FaultKind::Silence, 0, 0, 1});
  modem_.SetFault("AT+CBC", {FaultKind::CmeError, 100});
  modem_.SetFault("AT+CPMS=\"ME\"", {FaultKind::CmsError, 500});

  EXPECT_EQ(Command("AT+CMGF=?"), "\r\nERROR\r\n");
  EXPECT_EQ(Command("AT+CMGF=?"), "\r\nERROR\r\n");  // every time
  EXPECT_EQ(Send("AT+CSQ\r", EndsWithFinalResult, 300ms), "");  // silence, once
  EXPECT_EQ(port_.LastError(), platform::kSerialTimeout);
  EXPECT_EQ(Command("AT+CSQ"), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  EXPECT_EQ(Command("at+cbc"), "\r\n+CME ERROR: 100\r\n");  // prefixes match without regard to case
  EXPECT_EQ(Send("AT+CPMS=\"ME\"\r", Contains("500\r\n")), "\r\n+CMS ERROR: 500\r\n");

  // A submission rejected by the network, then one never answered.
  modem_.SetFault("AT+CMGS", {FaultKind::CmsError, 38, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", Contains("38\r\n")), "\r\n+CMS ERROR: 38\r\n");
  modem_.SetFault("AT+CMGS", {FaultKind::Silence, 0, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", Contains("OK\r\n"), 300ms), "");
  // Or no prompt at all.
  Fault noPrompt{FaultKind::Silence, 0, 0, 1};
  noPrompt.atPrompt = true;
  modem_.SetFault("AT+CMGS", noPrompt);
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> "), 300ms), "");
  EXPECT_EQ(Command("AT"), "\r\nOK\r\n");

  modem_.ClearFaults();
  EXPECT_EQ(Command("AT+CMGF=?"), "\r\n+CMGF: (0,1)\r\n\r\nOK\r\n");
}

// Only what the network took is logged: a rejection or a submission never
// answered is not; an "OK" without reference and a message whose answer the
// line lost on its way back are.
TEST_F(ModemSimulatorTest, TheNetworkLogHoldsWhatTheNetworkAccepted) {
  platform::TestFolder folder;
  const std::string logPath = (folder.Path() / "network.log").string();
  ASSERT_TRUE(modem_.SetNetworkLogFile(logPath));
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.WithModem([](AtInterpreter& m) { m.SetNextReference(7); });
  const std::string accepted = "accepted\t+48601020304\t";
  const std::string single = "\t-\t-\t-\t" + kPdu;

  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A"), "\r\n+CMGS: 7\r\n\r\nOK\r\n");
  modem_.SetFault("AT+CMGS", {FaultKind::CmsError, 38, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", Contains("38\r\n")), "\r\n+CMS ERROR: 38\r\n");
  modem_.SetFault("AT+CMGS", {FaultKind::Silence, 0, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A", Contains("OK\r\n"), 300ms), "");
  modem_.SetFault("AT+CMGS", {FaultKind::FinalOnly, 0, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  EXPECT_EQ(Send(kPdu + "\x1A"), "\r\nOK\r\n");
  const std::vector<std::string> beforeTheLoss = {accepted + "7" + single, accepted + "8" + single};
  EXPECT_EQ(modem_.NetworkLogLines(), beforeTheLoss);

  modem_.SetFault("AT+CMGS", {FaultKind::Lost, 0, 0, 1});
  EXPECT_EQ(Send("AT+CMGS=19\r", Contains("> ")), "\r\n> ");
  ASSERT_TRUE(port_.Write(kPdu + "\x1A", 1000));
  std::string rest;
  for (int i = 0; i < 50 && port_.IsOpen(); ++i) {
    if (port_.WaitForData(100)) rest += port_.ReadAvailable(0);
  }
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(rest, "");  // no answer came back
  EXPECT_FALSE(modem_.Running());
  std::vector<std::string> all = beforeTheLoss;
  all.push_back(accepted + "9" + single);
  EXPECT_EQ(modem_.NetworkLogLines(), all);

  std::string expected;
  for (const std::string& line : all) expected += line + "\n";
  EXPECT_EQ(platform::ReadWholeFile(logPath), expected);
}

TEST_F(ModemSimulatorTest, ALateAnswerHoldsBackTheCommandsBehindIt) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  modem_.SetFault("AT+CSQ", {FaultKind::Delay, 0, 300, 1});
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(port_.Write("AT+CSQ\rAT+CBC\r", 1000));
  EXPECT_EQ(Read(Contains("85\r\n\r\nOK\r\n")), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n\r\n+CBC: 0,85\r\n\r\nOK\r\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(modem_.Commands(), (std::vector<std::string>{"ATE0", "AT+CSQ", "AT+CBC"}));
}

TEST_F(ModemSimulatorTest, ADroppedLineMakesTheDeviceVanish) {
  int closedReports = 0;
  port_.OnClosed = [&] { ++closedReports; };
  modem_.SetFault("AT+CBC", {FaultKind::DropLine});
  ASSERT_TRUE(port_.Write("AT+CBC\r", 1000));
  ASSERT_TRUE(modem_.WaitForCommand("AT+CBC"));
  std::string rest;
  for (int i = 0; i < 50 && port_.IsOpen(); ++i) {
    if (port_.WaitForData(100)) rest += port_.ReadAvailable(0);
  }
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(port_.LastError(), platform::kSerialReadFailed);
  EXPECT_EQ(closedReports, 1);
  EXPECT_FALSE(modem_.Running());

  // Started again, the modem is on a new port with fresh settings.
  const std::string oldPath = modem_.PortPath();
  modem_.ClearFaults();
  ASSERT_TRUE(modem_.Start());
  ASSERT_TRUE(port_.Open(modem_.PortPath())) << port_.LastErrorText();
  EXPECT_EQ(Command("AT"), "AT\r\r\nOK\r\n");
  EXPECT_TRUE(modem_.Running());
}

TEST_F(ModemSimulatorTest, LinesThatAreNotCommandsAreIgnored) {
  ASSERT_EQ(Command("ATE0"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(Send("hello\r\n", Contains("OK\r\n"), 200ms), "");
  EXPECT_EQ(Send("\x1A\rAT\r"), "\r\nOK\r\n");  // a stray Ctrl-Z before a command
  EXPECT_EQ(Send("ATX\bE0\r"), "\r\nOK\r\n");    // backspace edits the line
  EXPECT_EQ(modem_.Commands().back(), "ATE0");
}

}  // namespace
}  // namespace modemsim
