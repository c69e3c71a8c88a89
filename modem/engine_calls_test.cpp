// Rings and call indicators against the simulated modem: the caller's number,
// the hang-up after a number of rings of one call, OnCallBusy, and the
// hang-up of an outgoing call once the called phone rings.

#include "modem/incoming_test_fixture.h"

namespace modem {
namespace {

int HangUps(modemsim::ModemSimulator& sim) {
  return sim.WithModem([](modemsim::AtInterpreter& m) { return m.HangUps(); });
}

TEST_F(IncomingTest, RingShowsTheCallersNumber) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  ASSERT_GE(sim.CountCommands("AT+CLIP=1"), 1);
  const struct {
    std::string number, shown;
  } cases[] = {
      {"", "unknown"},                         // withheld
      {"600100200", "+48600100200"},           // nine digits: PrefixForCountry in front
      {"+48600100201", "+48600100201"},        // already international
      {"0048600100202", "0048600100202"},      // longer: as it is
  };
  for (const auto& c : cases) {
    const int from = static_cast<int>(events.size());
    sim.Ring(c.number);
    ASSERT_TRUE(WaitForEvent("OnRing", "", from)) << Dump();
    EXPECT_EQ(events[static_cast<size_t>(Find("OnRing", "", from))].text, c.shown);
  }
  EXPECT_EQ(HangUps(sim), 0);  // no hang-up asked for
}

TEST_F(IncomingTest, HangUpAtTheFirstRingWithCountZero) {
  gsm.SetHangUpVoiceConnection(true);
  gsm.SetHangUpSignalCount(0);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const size_t before = sim.Commands().size();
  sim.Ring("+48600100200");
  ASSERT_TRUE(WaitFor([&] { return HangUps(sim) == 1 && QueueEmpty(); })) << Dump();
  EXPECT_EQ(CommandsFrom(before), (Texts{"ATH", "AT+CHUP", "AT"}));
  EXPECT_EQ(Count("OnRing"), 1);
  // The next call rings again and is hung up again.
  sim.Ring("+48600100200");
  ASSERT_TRUE(WaitFor([&] { return HangUps(sim) == 2; })) << Dump();
  EXPECT_EQ(Count("OnRing"), 2);
}

TEST_F(IncomingTest, HangUpAtTheSecondRingOfOneCallWithCountOne) {
  gsm.SetHangUpVoiceConnection(true);
  gsm.SetHangUpSignalCount(1);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.Ring("+48600100200");
  ASSERT_TRUE(WaitForEvent("OnRing")) << Dump();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(sim.CountCommands("ATH"), 0);
  EXPECT_TRUE(sim.WithModem([](modemsim::AtInterpreter& m) { return m.CallRinging(); }));
  // Modems repeat the ring every few seconds; this one a moment later.
  sim.Ring("+48600100200");
  ASSERT_TRUE(WaitFor([&] { return HangUps(sim) == 1; })) << Dump();
  EXPECT_EQ(Count("OnRing"), 1);  // one call, one OnRing
  EXPECT_EQ(sim.CountCommands("ATH"), 1);
}

TEST_F(IncomingTest, RingInsideACommandAnswerIsRaisedAndHungUp) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.InjectIntoAnswer("AT+CSQ", "RING\n\n+CLIP: \"+48600100200\",145,\"\",,\"\",0");
  sim.WithModem([](modemsim::AtInterpreter& m) { m.Ring("+48600100200"); });  // the call the modem knows
  const size_t before = sim.Commands().size();
  gsm.SetATCommand("AT+CSQ");
  ASSERT_TRUE(WaitForEvent("OnRing")) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty() && CommandsFrom(before).size() >= 4; })) << Dump();
  EXPECT_EQ(CommandsFrom(before), (Texts{"AT+CSQ", "ATH", "AT+CHUP", "AT"}));
  EXPECT_EQ(events[static_cast<size_t>(Find("OnRing"))].text, "+48600100200");
  EXPECT_EQ(HangUps(sim), 1);
}

TEST_F(IncomingTest, IndicatorsGiveTheCallState) {
  gsm.SetEnableCIEV(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  ASSERT_EQ(sim.CountCommands("AT+CMER=2,0,0,2"), 1);
  ASSERT_TRUE(sim.SendIndicator(1, 1));
  ASSERT_TRUE(WaitForEvent("OnCallBusy")) << Dump();
  EXPECT_EQ(events[static_cast<size_t>(Find("OnCallBusy"))].text, "true 0");  // inCall
  EXPECT_TRUE(gsm.CallBusy());
  const int from = static_cast<int>(events.size());
  ASSERT_TRUE(sim.SendIndicator(3, 0));
  ASSERT_TRUE(WaitForEvent("OnCallBusy", "", from)) << Dump();
  EXPECT_EQ(events[static_cast<size_t>(Find("OnCallBusy", "", from))].text, "false 3");  // noCall
  EXPECT_FALSE(gsm.CallBusy());
  EXPECT_GE(Find("OnAfterComRx", "----------- BufComRx END #2 ---"), 0);
}

TEST_F(IncomingTest, IndicatorsAreNotReportedUnlessAskedFor) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();  // the working instance leaves them off
  EXPECT_EQ(sim.CountCommands("AT+CMER"), 1);  // the probe only
  EXPECT_FALSE(sim.SendIndicator(1, 1));
}

TEST_F(IncomingTest, CalledPhoneRingingEndsTheCallWhenOneSignalIsAskedFor) {
  gsm.SetEnableCIEV(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  gsm.SetSendOneSignal(true);
  const size_t before = sim.Commands().size();
  ASSERT_TRUE(sim.SendIndicator(3, 3));  // the called party is alerted
  ASSERT_TRUE(WaitFor([&] { return !gsm.SendOneSignal() && QueueEmpty() && CommandsFrom(before).size() >= 18; }))
      << Dump();
  Texts expected;
  for (int round = 0; round < 3; ++round) {
    for (const char* query : {"ATI4", "ATI3", "ATI2", "ATI1", "ATI0"}) expected.push_back(query);
  }
  for (const char* command : {"ATH", "AT+CHUP", "AT"}) expected.push_back(command);
  EXPECT_EQ(CommandsFrom(before), expected);
  EXPECT_TRUE(gsm.Connected());  // every query was answered
  EXPECT_EQ(Count("OnCallBusy"), 0);
  // Asked once: the next alert is left alone.
  ASSERT_TRUE(sim.SendIndicator(3, 3));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(sim.CountCommands("ATI4"), 3 + 1);  // with the one of the identification
}

}  // namespace
}  // namespace modem
