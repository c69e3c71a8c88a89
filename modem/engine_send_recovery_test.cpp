// Submissions the way real modems make them go wrong, against the simulated
// modem on a pseudo-terminal: a bare prompt, a late prompt, a network answer
// that comes after the collection gave up, a line that drops right after the
// confirmation, a modem left at its prompt, a part rejected in the middle of
// a message. Every part is reported exactly once and none is sent twice.

#include <filesystem>

#include "modem/send_causes.h"
#include "modem/send_test_fixture.h"

namespace modem {
namespace {

class SendRecoveryTest : public SendTest {
 protected:
  SendRecoveryTest() : SendTest(0.05) {}
};

TEST_F(SendRecoveryTest, BarePromptWithoutLineEndBeforeIt) {
  sim.SetBarePrompt(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(5);
  ASSERT_EQ(Send("+48600100200", Letters(200)), 2);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  loop.ProcessEventsFor(200);
  const Parts lines = ExpectedLines("+48600100200", Letters(200), 0);
  EXPECT_EQ(Reports(), (Texts{SentReport(lines[0], 5), SentReport(lines[1], 6)}));
  EXPECT_EQ(sim.Pdus(), Pdus(lines));
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << Dump();
}

TEST_F(SendRecoveryTest, LatePromptIsCancelledAndTheModemAnswersCommandsAgain) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // The prompt comes after the engine stopped waiting for it (6 s against
  // 5 s at the real waits).
  const int late = timing::Scaled(timing::kPromptWait) * 3 / 2;
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Delay, 0, late, 1, true});
  ASSERT_EQ(Send("+48600100200", "Late prompt"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  loop.ProcessEventsFor(200);
  const Parts lines = ExpectedLines("+48600100200", "Late prompt", 0);
  // The first prompt was cancelled with ESC, nothing was sent with it, and
  // the modem took the next commands as commands: the part went out once.
  EXPECT_EQ(sim.CancelledPrompts(), 1);
  EXPECT_EQ(sim.Pdus(), Pdus(lines));
  EXPECT_EQ(Reports(), Texts{SentReport(lines[0], 0)});
  const std::string announce = Announcements(lines)[0];
  EXPECT_EQ(Submissions(), (Texts{"AT+CMMS=1", announce, "AT+CMMS=1", announce}));
  EXPECT_EQ(TextsOf("OnQuietError", "SendSMS error: TimeOUT").size(), 1u) << Dump();
  EXPECT_EQ(Find("OnDisconnected"), -1) << Dump();

  // Still in command mode: a caller's command is answered.
  const int before = static_cast<int>(events.size());
  gsm.SetATCommand("AT+CSQ");
  ASSERT_TRUE(WaitForReport("AT+CSQ", before)) << Dump();
  EXPECT_GE(Find("OnAfterComRx", "+CSQ: 17,99", before), 0) << Dump();
}

TEST_F(SendRecoveryTest, NetworkAnswerAfterTheCollectionGaveUpIsNotSentTwice) {
  // At the real waits the collection gives up 20.5 s after the PDU (2 s for
  // the answer line, 18.5 s for more), and a 25 s answer is read by the wait
  // for the network's answer. The same answer, in scaled time, falls between the two.
  static_assert(2000 + timing::kCollectFirstWait < 25000);
  static_assert(25000 < timing::kNetworkAnswerWait);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(30);
  const int gaveUp = timing::Scaled(gsm.ATTimeout()) + timing::Scaled(timing::kCollectFirstWait);
  const int late = (gaveUp + timing::Scaled(timing::kNetworkAnswerWait)) / 2;
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Delay, 0, late, 1});
  ASSERT_EQ(Send("+48600100200", "Slow network"), 1);
  ASSERT_EQ(Send("+48600300400", "Next one"), 1);
  ASSERT_TRUE(WaitForReports(2, 0, std::chrono::seconds(60))) << Dump();
  loop.ProcessEventsFor(300);
  const Parts first = ExpectedLines("+48600100200", "Slow network", 0);
  const Parts second = ExpectedLines("+48600300400", "Next one", 0);
  EXPECT_EQ(sim.Pdus(), (Texts{Pdus(first)[0], Pdus(second)[0]}));
  EXPECT_EQ(sim.CountCommands("AT+CMGS"), 2);
  EXPECT_EQ(Reports(), (Texts{SentReport(first[0], 30), SentReport(second[0], 31)}));
  // The timeout is logged, but the part is no failure.
  EXPECT_GE(Find("OnAfterComRx", "TimeOUT - ERROR / errorstep = 19"), 0) << Dump();
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << Dump();
}

TEST_F(SendRecoveryTest, LineDroppingRightAfterTheConfirmationSendsNothingTwice) {
  const std::string stablePath = (folder.Path() / "ttyUSB0").string();
  sim.SetStablePath(stablePath);
  gsm.SetComPort(stablePath);
  gsm.SetACTimerInterval(50);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // "+CMGS: 0", and 0.1 s later the line is gone before the "OK".
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::DropAfterAnswer, 0, 100, 1});
  const std::string text = Letters(200);
  ASSERT_EQ(Send("+48600100200", text), 2);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return !sim.Running(); })) << Dump();
  ASSERT_TRUE(WaitForEvent("OnDisconnected")) << Dump();
  const int disconnected = Find("OnDisconnected");
  // The modem comes back on the same path; the component reconnects.
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  ASSERT_EQ(sim.PortPath(), stablePath);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  loop.ProcessEventsFor(300);

  const Parts lines = ExpectedLines("+48600100200", text, 0);
  EXPECT_EQ(Reports(), (Texts{SentReport(lines[0], 0), SentReport(lines[1], 1)}));
  EXPECT_LT(Find("OnAfterSend"), disconnected) << "the confirmed part is reported before the loss";
  EXPECT_EQ(sim.Pdus(), Pdus(lines));
  // The modem that came back is told again to keep the link.
  const Texts announce = Announcements(lines);
  EXPECT_EQ(Submissions(), (Texts{"AT+CMMS=1", announce[0], "AT+CMMS=1", announce[1]}));
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << Dump();
}

// The network takes part 2 of 3 and the modem vanishes before it answers,
// as a USB modem pulled out during the network's wait. Part 2 is uncertain
// and part 3 is not sent; the modem that comes back is not given either
// again, and the next message goes.
TEST_F(SendRecoveryTest, AnAnswerLostWithTheLineLeavesThePartUncertainAndTheNextMessageGoes) {
  const std::string stablePath = (folder.Path() / "ttyUSB0").string();
  sim.SetStablePath(stablePath);
  gsm.SetComPort(stablePath);
  gsm.SetACTimerInterval(50);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  std::vector<TPartReport> partReports;
  gsm.OnPartReport = [&](TZoGSM&, const TPartReport& report) { partReports.push_back(report); };
  SetNextReference(20);
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Lost, 0, 0, 1, false, 1});
  const std::string text = Letters(400);
  ASSERT_EQ(Send("+48600100200", text, "a"), 3);
  ASSERT_TRUE(WaitForReports(3)) << Dump();
  ASSERT_TRUE(WaitForEvent("OnDisconnected")) << Dump();
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  ASSERT_TRUE(WaitForEvent("OnConnected", "", Find("OnDisconnected"))) << Dump();
  ASSERT_EQ(Send("+48600300400", "Next one", "b"), 1);
  ASSERT_TRUE(WaitForReports(4)) << Dump();
  loop.ProcessEventsFor(300);

  const Parts lines = ExpectedLines("+48600100200", text, 0, "a");
  EXPECT_EQ(Outcomes(Reports()), (Texts{"1|20|1|3", "0|-1|2|3", "0|-1|3|3", "1|22|1|1"}));
  ASSERT_EQ(partReports.size(), 4u);
  EXPECT_TRUE(partReports[1].uncertain);
  EXPECT_EQ(partReports[1].part, lines[1]);
  EXPECT_EQ(partReports[1].cause, send_cause::LinkLostAfterSubmission());
  EXPECT_FALSE(partReports[2].uncertain);
  EXPECT_EQ(partReports[2].cause, send_cause::EarlierPartUncertain(2));
  const Texts accepted = sim.NetworkLogLines();
  ASSERT_EQ(accepted.size(), 3u);
  EXPECT_EQ(accepted[0], "accepted\t+48600100200\t20\t0\t1\t3\t" + lines[0].pdu);
  EXPECT_EQ(accepted[1], "accepted\t+48600100200\t21\t0\t2\t3\t" + lines[1].pdu);
  EXPECT_EQ(accepted[2].substr(0, accepted[2].rfind('\t') + 1), "accepted\t+48600300400\t22\t-\t-\t-\t");
  EXPECT_EQ(sim.CountCommands("AT+CMGS="), 3);
  EXPECT_EQ(Queued(), 0u);
}

TEST_F(SendRecoveryTest, ConnectionCancelsAPromptAnEarlierRunLeftOpen) {
  sim.LeaveAtPrompt(20);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  EXPECT_EQ(sim.CancelledPrompts(), 1);
  EXPECT_TRUE(sim.Pdus().empty());
  EXPECT_EQ(Find("OnQuietError", "CONNECT ERROR"), -1) << Dump();
  ASSERT_EQ(Send("+48600100200", "After the prompt"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Outcomes(Reports()), Texts{"1|0|1|1"});
}

TEST_F(SendRecoveryTest, RejectedPartStopsTheRestOfItsMessageOnly) {
  gsm.SetACTimerInterval(50);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::CmsError, 38, 0, 3});
  const std::string text = Letters(307);
  ASSERT_EQ(Send("+48600100200", text, "a"), 3);
  ASSERT_EQ(Send("+48600300400", "Another message", "b"), 1);
  ASSERT_TRUE(WaitForReports(4, 0, std::chrono::seconds(60))) << Dump();
  loop.ProcessEventsFor(500);

  const Parts lines = ExpectedLines("+48600100200", text, 0, "a");
  const Parts other = ExpectedLines("+48600300400", "Another message", 1, "b");
  // The first part was tried three times; parts 2 and 3 never reached the modem.
  EXPECT_EQ(sim.Pdus(), (Texts{Pdus(lines)[0], Pdus(lines)[0], Pdus(lines)[0], Pdus(other)[0]}));
  const Texts reports = Reports();
  ASSERT_EQ(reports.size(), 4u) << Dump();
  EXPECT_EQ(Outcomes(reports), (Texts{"0|-1|1|3", "0|-1|2|3", "0|-1|3|3", "1|0|1|1"}));
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(reports[i].substr(0, 15), "a|+48600100200|");
  EXPECT_EQ(TextsOf("OnQuietError", "SendSMS error: SMS REJECTED").size(), 1u);
  EXPECT_GE(Find("OnAfterComRx", "SMS NOT SENT: PART 1 OF THIS MESSAGE WAS REJECTED"), 0) << Dump();
  EXPECT_EQ(Queued(), 0u);
}

TEST_F(SendRecoveryTest, StatusReportsNobodyReadsAreNotedOncePerConnection) {
  gsm.SetSMSReport(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();  // incoming messages disabled: no AT+CNMI
  ASSERT_EQ(Send("+48600100200", "One"), 1);
  ASSERT_EQ(Send("+48600100200", "Two"), 1);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  EXPECT_EQ(TextsOf("OnQuietError", "SMSReport: the modem is not told to pass status reports on").size(), 1u)
      << Dump();
}

TEST_F(SendRecoveryTest, StatusReportsPassedOnNeedNoNote) {
  gsm.SetSMSReport(true);
  gsm.SetDisableIncomingSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  EXPECT_GE(sim.CountCommands("AT+CNMI=2,"), 1);
  ASSERT_EQ(Send("+48600100200", "One"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Find("OnQuietError", "SMSReport"), -1) << Dump();
}

}  // namespace
}  // namespace modem
