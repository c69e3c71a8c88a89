// A connection of the working instance to the simulated modem: the commands
// it sends, the events it raises, the polls and a caller's own AT command.

#include <algorithm>

#include "modem/engine_test_fixture.h"

namespace modem {
namespace {

using Texts = std::vector<std::string>;

// What the engine sends to connect with the working instance's settings.
const Texts kConnectionSequence = {
    // Is anyone there? Then the factory settings, three times.
    "AT", "AT", "AT&F", "AT&F", "AT&F",
    // The capability probes.
    "AT+CNMI=?", "AT+CMMS=?", "AT+CLIP=?", "AT+CIND?", "AT+CMER=?", "AT+CBC=?", "AT+CSQ=?", "AT+CMGF=?",
    // The automatic initialisation (no indication command: incoming messages are
    // disabled; no indicator events: not enabled), then the final check.
    "AT", "AT&F", "ATZ", "ATE0", "AT+CMGF=0", "AT+CLIP=1", "AT",
    // Identification and storage capacities.
    "ATI", "AT+CGMI", "ATI3", "ATI0", "ATI1", "ATI2", "ATI4", "AT+CGMM", "AT+CGSN", "AT+CIMI", "AT+CGMR", "AT+CPMS=\"SM\"",
    "AT+CPMS=\"ME\"",
    // Phonebooks.
    "AT+CPBS=\"SM\"", "AT+CPBR=?", "AT+CPBS?", "AT+CPBS=\"ME\"", "AT+CPBR=?", "AT+CPBS?",
    // The power and signal queries queued during the initialisation.
    "AT+CBC", "AT+CSQ"};

class ConnectionTest : public EngineTest {
 protected:
  explicit ConnectionTest(double scale = 0.1) : EngineTest(scale) {}

  // Connects, then checks the commands and the events of the connection.
  void ConnectAndCheckSequence() {
    gsm.SetCheckInterval(1);
    EXPECT_EQ(gsm.ModemIdentity(), "");
    ASSERT_TRUE(Connect()) << Dump();
    EXPECT_EQ(gsm.ModemIdentity(), "351234567890125/260011234567890");
    // The signal query queued by the initialisation, then two periodic polls.
    ASSERT_TRUE(WaitFor([&] { return Sent("AT+CSQ") >= 3; }, std::chrono::seconds(10))) << Dump();
    const Texts commands = sim.Commands();
    ASSERT_GE(commands.size(), kConnectionSequence.size());
    EXPECT_EQ(Texts(commands.begin(), commands.begin() + static_cast<std::ptrdiff_t>(kConnectionSequence.size())),
              kConnectionSequence);
    // Then only the periodic polls of power and signal.
    for (size_t i = kConnectionSequence.size(); i < commands.size(); ++i) {
      EXPECT_TRUE(commands[i] == "AT+CBC" || commands[i] == "AT+CSQ") << i << ": " << commands[i];
    }

    const Texts names = Names();
    const Texts expectedStart = {"OnGSMActivate",    "OnConnecting",       "OnGetModelGSM",
                                 "OnSendProgress",   "OnConnected",        "OnQuietError",
                                 "OnCheckSignalPower", "OnCheckSignalPower"};
    ASSERT_GE(names.size(), expectedStart.size()) << Dump();
    EXPECT_EQ(Texts(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(expectedStart.size())), expectedStart)
        << Dump();
    EXPECT_EQ(events[static_cast<size_t>(Find("OnQuietError"))].text, "OK");
    EXPECT_EQ(events[static_cast<size_t>(Find("OnGetModelGSM"))].text,
              "TALVANE/MODEMSIM 351234567890125 \r\nRevision 1.0 20 100");
    EXPECT_EQ(events[static_cast<size_t>(Find("OnCheckSignalPower"))].text, "-1 false 85 BAT");
    EXPECT_EQ(events[static_cast<size_t>(Find("OnCheckSignalPower", "ANT"))].text, "85 false -1 ANT");
    EXPECT_GE(Find("OnAfterComRx", "Initializing Modem GSM"), 0);
    EXPECT_TRUE(gsm.Connected());
    EXPECT_FALSE(gsm.SuppressAutoReconnect());
    EXPECT_EQ(gsm.SMSSIMCapacity(), 20);
    EXPECT_EQ(gsm.SMSPhoneCapacity(), 100);
    EXPECT_TRUE(misuses.empty());
  }
};

TEST_F(ConnectionTest, CommandsAndEventsOfAConnection) {
  ConnectAndCheckSequence();
  const CapabilityTable table = gsm.Capabilities();
  EXPECT_TRUE(table.ATCLIP.Available);
  EXPECT_EQ(table.ATCLIP.Command, "AT+CLIP=1");
  EXPECT_TRUE(table.ATCNMI.Available);
  EXPECT_EQ(table.ATCNMI.Command, "AT+CNMI=2,1,0,1,1");
  EXPECT_EQ(table.ATCMMS.Command, "AT+CMMS=1");
  EXPECT_EQ(table.ATCBC.Command, "AT+CBC");
  EXPECT_EQ(table.ATCSQ.Command, "AT+CSQ");
  EXPECT_EQ(gsm.Phone().Manufacturer, "TALVANE");
  EXPECT_EQ(gsm.Phone().IMEI, "351234567890125");
}

// A modem without a SIM (or one that does not know AT+CIMI) answers ERROR:
// the identity is its IMEI alone.
TEST_F(ConnectionTest, ModemIdentityWithoutAnImsi) {
  modemsim::Identity identity;
  identity.imei = "490154203237518";
  sim.WithModem([&](modemsim::AtInterpreter& m) { m.SetIdentity(identity); });
  sim.SetFault("AT+CIMI", {modemsim::FaultKind::Error});
  ASSERT_TRUE(Connect()) << Dump();
  EXPECT_EQ(gsm.ModemIdentity(), "490154203237518");
}

// The same connection with the engine's real waits.
class RealTimingConnectionTest : public ConnectionTest {
 protected:
  RealTimingConnectionTest() : ConnectionTest(1.0) {}
};

TEST_F(RealTimingConnectionTest, CommandsAndEventsOfAConnection) { ConnectAndCheckSequence(); }

TEST_F(ConnectionTest, DisconnectionResetsTheModemAndReconnects) {
  ASSERT_TRUE(Connect()) << Dump();
  const int before = static_cast<int>(events.size());
  gsm.SetConnected(false);
  ASSERT_TRUE(WaitForEvent("OnDisconnected", "", before)) << Dump();
  EXPECT_GE(Find("OnAfterComRx", "Modem OFF with soft RESET: [AT&F] \r\nOK", before), 0) << Dump();
  EXPECT_FALSE(gsm.Connected());
  EXPECT_TRUE(gsm.UserDisconnect());
  EXPECT_FALSE(gsm.ReconnectTimer().Enabled());  // the user's disconnection is not undone

  // A new request connects again on the same engine, and reads the identity
  // again: another SIM may be in the modem now.
  modemsim::Identity identity;
  identity.imsi = "260029876543210";
  sim.WithModem([&](modemsim::AtInterpreter& m) { m.SetIdentity(identity); });
  const int again = static_cast<int>(events.size());
  gsm.SetConnected(true);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "OK", again)) << Dump();
  EXPECT_TRUE(gsm.Connected());
  EXPECT_EQ(gsm.ModemIdentity(), "351234567890125/260029876543210");
}

TEST_F(ConnectionTest, CallersCommandIsAnsweredInOneReport) {
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(Connect()) << Dump();
  ASSERT_TRUE(WaitForReport("AT+CSQ")) << Dump();
  const int before = static_cast<int>(events.size());

  gsm.SetATCommand("AT+CSQ");
  EXPECT_EQ(gsm.ATCommand(), "");
  ASSERT_TRUE(WaitForReport("AT+CSQ", before)) << Dump();
  const int report = Find("OnAfterComRx", "******* AT Command ********", before);
  EXPECT_EQ(events[static_cast<size_t>(report)].text,
            "******* AT Command ********\r\nAT+CSQ\r\n> \r\n+CSQ: 17,99\r\n\r\nOK\r\n\r\n");
  // The same answer drove the signal gauge, just before the report.
  const int signal = Find("OnCheckSignalPower", "ANT", before);
  EXPECT_GE(signal, 0);
  EXPECT_LT(signal, report);
  EXPECT_TRUE(misuses.empty());
}

TEST_F(ConnectionTest, SignalAndPowerValues) {
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  struct Case {
    const char* command;
    int first, second;  // signal rssi,ber or battery status,charge
    const char* expected;
  } cases[] = {
      {"AT+CSQ", 17, 99, "85 false -1 ANT"}, {"AT+CSQ", 0, 0, "0 false -1 ANT"},
      {"AT+CSQ", 5, 99, "15 false -1 ANT"},  {"AT+CSQ", 9, 0, "36 false -1 ANT"},
      {"AT+CSQ", 11, 0, "60 false -1 ANT"},  {"AT+CSQ", 14, 0, "84 false -1 ANT"},
      {"AT+CSQ", 15, 0, "75 false -1 ANT"},  {"AT+CSQ", 31, 0, "100 false -1 ANT"},
      {"AT+CSQ", 99, 99, "0 false -1 ANT"},  {"AT+CBC", 1, 100, "-1 true 100 BAT"},
      {"AT+CBC", 0, 15, "-1 false 15 BAT"},  {"AT+CBC", 2, 40, "-1 false 40 BAT"},
  };
  for (const Case& c : cases) {
    sim.WithModem([&](modemsim::AtInterpreter& modem) {
      if (std::string(c.command) == "AT+CSQ") {
        modem.SetSignal(c.first, c.second);
      } else {
        modem.SetBattery(c.first, c.second);
      }
    });
    const int before = static_cast<int>(events.size());
    gsm.SetATCommand(c.command);
    ASSERT_TRUE(WaitForEvent("OnCheckSignalPower", "", before)) << c.command << " " << c.first << Dump();
    EXPECT_EQ(events[static_cast<size_t>(Find("OnCheckSignalPower", "", before))].text, c.expected)
        << c.command << " " << c.first << "," << c.second;
  }

  // Without the signal gauge, a signal answer raises nothing.
  gsm.SetCanCheckSignal(false);
  const int before = static_cast<int>(events.size());
  gsm.SetATCommand("AT+CSQ");
  ASSERT_TRUE(WaitForEvent("OnAfterComRx", "******* AT Command ********", before));
  EXPECT_EQ(Find("OnCheckSignalPower", "", before), -1);
}

TEST_F(ConnectionTest, PollsKeepTheLinkBusyOnlyWhenNothingIsSent) {
  gsm.SetCheckInterval(1);
  gsm.SetCanCheckPower(false);
  gsm.SetCanCheckSignal(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // Without either query a poll still exercises the link.
  const int before = static_cast<int>(events.size());
  ASSERT_TRUE(WaitForReport("AT", before)) << Dump();
  EXPECT_EQ(Find("OnCheckSignalPower", "", before), -1);

  // While a message part waits (the network takes its time to answer), no
  // poll is queued: a queued command would wait in the queue until the
  // submission ends.
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Delay, 0, 1500, 1});
  gsm.SetSMSNumber("+48600100200");
  gsm.SetSMSText("Waiting");
  ASSERT_EQ(gsm.SendSMS(), 1);
  const auto start = std::chrono::steady_clock::now();
  bool polledWhileWaiting = false;
  WaitFor([&] {
    const TZoGSMThread& engine = *gsm.Engine();
    if (!engine.SendQueue.Empty() && !engine.CommandQueue.Empty()) polledWhileWaiting = true;
    return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(1500);
  });
  EXPECT_FALSE(polledWhileWaiting);
  // Once the part is through, the polls come back.
  ASSERT_TRUE(WaitFor([&] { return gsm.Engine()->SendQueue.Empty(); })) << Dump();
  const int sent = static_cast<int>(events.size());
  EXPECT_TRUE(WaitForReport("AT", sent)) << Dump();
}

TEST_F(ConnectionTest, UnsolicitedTextReachesTheApplicationRaw) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const int before = static_cast<int>(events.size());
  sim.SendUnsolicited("+CREG: 1\n+CIEV: 1,1");
  ASSERT_TRUE(WaitForEvent("OnAfterComRx", "+CREG: 1", before)) << Dump();
  EXPECT_NE(events[static_cast<size_t>(Find("OnAfterComRx", "+CREG: 1", before))].text.find("+CIEV: 1,1"),
            std::string::npos);
  // The engine carries on: a caller's command is still answered.
  gsm.SetATCommand("AT");
  EXPECT_TRUE(WaitForEvent("OnAfterComRx", "******* AT Command ********\r\nAT\r\n", before)) << Dump();
  EXPECT_TRUE(gsm.Connected());
}

TEST_F(ConnectionTest, EndlessUnsolicitedTextIsHandedOverInPieces) {
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const int before = static_cast<int>(events.size());
  const size_t total = 150000;
  sim.SendUnsolicited(std::string(total, 'x'));
  size_t received = 0;
  size_t largest = 0;
  ASSERT_TRUE(WaitFor([&] {
    received = 0;
    for (size_t i = static_cast<size_t>(before); i < events.size(); ++i) {
      const size_t count = static_cast<size_t>(std::count(events[i].text.begin(), events[i].text.end(), 'x'));
      received += count;
      largest = std::max(largest, count);
    }
    return received >= total;
  })) << received;
  EXPECT_EQ(received, total);
  EXPECT_LT(largest, total);  // more than one report
  EXPECT_TRUE(gsm.Connected());
}

TEST_F(ConnectionTest, PhonebookEntriesReadByTheCaller) {
  sim.WithModem([](modemsim::AtInterpreter& modem) {
    modem.SetPhonebookEntry("SM", 1, {"+48600100200", 145, "004A0061006E"});
    modem.SetPhonebookEntry("SM", 2, {"600300400", 129, "0041006E006E0061"});
  });
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(Connect()) << Dump();
  gsm.SetATCommand("AT+CPBS=\"SM\"");
  gsm.SetATCommand("AT+CPBR=1,2");
  ASSERT_TRUE(WaitForEvent("OnGetPhoneBook")) << Dump();
  EXPECT_EQ(gsm.PhoneBook(), (Texts{"SIM", "1;+48600100200;Jan", "2;600300400;Anna"}));
  EXPECT_EQ(gsm.Phone().SIM.PhoneBookSize, 250);
  EXPECT_EQ(gsm.SIMPhoneBookIndex(), "250");
}

}  // namespace
}  // namespace modem
