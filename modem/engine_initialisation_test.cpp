// The initialisation choices of a connection: the automatic list and its
// failures, the caller's own init lines, and the commands queued after
// connecting.

#include "modem/engine_test_fixture.h"

namespace modem {
namespace {

using Texts = std::vector<std::string>;

class InitialisationTest : public EngineTest {
 protected:
  // The commands the modem received after the last "AT+CPBS?" of the connection.
  Texts CommandsAfterPhonebooks() const {
    const Texts commands = sim.Commands();
    const auto last = std::find(commands.rbegin(), commands.rend(), "AT+CPBS?");
    return Texts(last.base(), commands.end());
  }
};

TEST_F(InitialisationTest, EchoIsNeverPartOfAnAnswer) {
  ASSERT_TRUE(Connect()) << Dump();
  // The probes run with the echo still on.
  EXPECT_GE(Find("OnAfterComRx"), 0);
  const int probe = Find("OnAfterComRx", "+CNMI:");
  ASSERT_GE(probe, 0) << Dump();
  EXPECT_EQ(events[static_cast<size_t>(probe)].text, "\r\n+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)\r\n\r\nOK\r\n");
}

TEST_F(InitialisationTest, FactoryResetRefused) {
  sim.SetFault("AT&F", {modemsim::FaultKind::Error});
  gsm.SetActive(true);
  gsm.SetConnected(true);
  ASSERT_TRUE(WaitForEvent("OnDisconnected")) << Dump();
  EXPECT_EQ(events[static_cast<size_t>(Find("OnQuietError"))].text,
            "SendSerialAT error [" + sim.PortPath() + "] : myERR; *** ERROR *** / not AT result  ----> [ AT&F]");
  EXPECT_EQ(sim.Commands(), (Texts{"AT", "AT", "AT&F"}));
  loop.ProcessEventsFor(200);
  EXPECT_EQ(Find("OnConnected"), -1);
}

TEST_F(InitialisationTest, FailingCommandOfTheAutomaticList) {
  sim.SetFault("ATZ", {modemsim::FaultKind::Error});
  gsm.SetActive(true);
  gsm.SetConnected(true);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "PROPERTY ERROR ---> AT+CLIP=1")) << Dump();
  const int sendError = Find("OnQuietError", "SendSerialAT error [" + sim.PortPath() +
                                                 "] : myERR; *** ERROR *** / not AT result  ----> [ ATZ]");
  const int propertyError = Find("OnQuietError", "PROPERTY ERROR ---> ATZ");
  const int disconnected = Find("OnDisconnected");
  EXPECT_GE(sendError, 0) << Dump();
  EXPECT_LT(sendError, disconnected);
  EXPECT_LT(disconnected, propertyError);
  // The port is closed: the rest of the list fails without reaching the modem.
  const Texts commands = sim.Commands();
  EXPECT_EQ(commands.back(), "ATZ");
  loop.ProcessEventsFor(200);
  EXPECT_EQ(Find("OnConnected"), -1);
  EXPECT_FALSE(gsm.Connected());
}

TEST_F(InitialisationTest, CallersInitLines) {
  gsm.SetAutoModemINIT(false);
  gsm.SetInitStrings({"AT&F", "ATE0", "AT+CMGF=0", "AT+CSQ", "AT+CBC", "AT+CXYZ"});
  sim.SetFault("AT+CBC", {modemsim::FaultKind::Error, 0, 0, 1});  // only the init line
  sim.SetFault("AT+CXYZ", {modemsim::FaultKind::Error});
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(Connect()) << Dump();
  ASSERT_TRUE(WaitForReport("AT+CSQ")) << Dump();
  const Texts commands = sim.Commands();
  const Texts start = {"AT", "AT", "AT&F", "AT&F", "AT&F", "AT&F", "ATE0", "AT+CMGF=0", "AT+CSQ", "AT+CBC", "AT+CXYZ",
                       "AT", "ATI"};
  ASSERT_GE(commands.size(), start.size());
  EXPECT_EQ(Texts(commands.begin(), commands.begin() + static_cast<std::ptrdiff_t>(start.size())), start);
  // Only the signal query was accepted, so only it is queued after connecting.
  EXPECT_EQ(CommandsAfterPhonebooks(), Texts{"AT+CSQ"});
  EXPECT_GE(Find("OnQuietError", "PROPERTY ERROR ---> AT+CBC"), 0) << Dump();
  EXPECT_GE(Find("OnQuietError", "PROPERTY ERROR ---> AT+CXYZ"), 0) << Dump();
  EXPECT_TRUE(gsm.Connected());
  const CapabilityTable table = gsm.Capabilities();
  EXPECT_TRUE(table.ATCSQ.Available);
  EXPECT_FALSE(table.ATCBC.Available);
  EXPECT_FALSE(table.ATCLIP.Available);
}

TEST_F(InitialisationTest, UnreadMessagesAndPollsAfterConnecting) {
  gsm.SetGetUnreaded(true);
  gsm.SetCheckInterval(100);  // no periodic poll during the test
  ASSERT_TRUE(Connect()) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty() && CommandsAfterPhonebooks().size() >= 8; })) << Dump();
  EXPECT_EQ(CommandsAfterPhonebooks(), (Texts{"AT+CSQ", "AT+CBC", "AT+CPMS=\"SM\"", "AT+CMGL=0", "AT+CPMS=\"ME\"",
                                              "AT+CMGL=0", "AT+CBC", "AT+CSQ"}));
}

TEST_F(InitialisationTest, ResultCodeThatIsNotAnErrorWaitsForTheTimeout) {
  gsm.SetCheckPwrSig(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CSCA", {modemsim::FaultKind::CmsError, 500});
  const int before = static_cast<int>(events.size());
  gsm.SetATCommand("AT+CSCA?");
  ASSERT_TRUE(WaitForReport("AT+CSCA?", before)) << Dump();
  EXPECT_GE(
      Find("OnQuietError",
           "SendSerialAT error [" + sim.PortPath() + "] : myERR; *** ERROR *** / not AT result  ----> [ AT+CSCA?]",
           before),
      0)
      << Dump();
  EXPECT_EQ(events[static_cast<size_t>(Find("OnAfterComRx", "AT+CSCA?", before))].text,
            "******* AT Command ********\r\nAT+CSCA?\r\n> myERR; *** ERROR *** / not AT result  ----> [ AT+CSCA?]\r\n");
  // A caller's command is tolerated: the connection stays.
  EXPECT_TRUE(gsm.Connected());
  EXPECT_EQ(Find("OnDisconnected", "", before), -1);
}

}  // namespace
}  // namespace modem
