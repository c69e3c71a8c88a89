// Message parts on their way to the simulated modem: the requests of the
// component, the submissions of the engine, their reports, and every way a
// submission can fail.

#include "modem/send_test_fixture.h"

namespace modem {
namespace {

TEST_F(SendTest, OnePart) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(40);
  const int before = static_cast<int>(events.size());
  ASSERT_EQ(Send("+48600100200", "Zażółć gęślą jaźń", "600100200"), 1);
  EXPECT_EQ(gsm.SMSText(), "Zazolc gesla jazn");
  const Parts lines = ExpectedLines("+48600100200", "Zażółć gęślą jaźń", 0, "600100200");
  ASSERT_EQ(gsm.TxMessageParts(), FormatPartLines(lines));
  ASSERT_TRUE(WaitFor([&] {
    const int sent = Find("OnAfterSend", "", before);
    return sent >= 0 && Find("OnSendProgress", "0", sent) >= 0;
  })) << Dump();

  EXPECT_EQ(Submissions(), (Texts{"AT+CMMS=1", "AT+CMGS=29"}));
  EXPECT_EQ(sim.Pdus(), Pdus(lines));
  EXPECT_EQ(Reports(before), Texts{SentReport(lines[0], 40)});
  EXPECT_EQ(Reports(before)[0], "600100200|+48600100200|1|Zazolc gesla jazn|40|1|1|false");

  // The submission is logged with the queue line first, then the answer.
  const int block = Find("OnAfterComRx", "****** [ v.3.x Sending SMS ] ******", before);
  ASSERT_GE(block, 0) << Dump();
  EXPECT_EQ(events[static_cast<size_t>(block)].text, "****** [ v.3.x Sending SMS ] ******\r\n" +
                                                          FormatPartLine(lines[0]) +
                                                          " \r\n+CMGS: 40\r\n\r\nOK\r\n---END OF BUFFER---\r\n");
  EXPECT_EQ(TextsOf("OnSendProgress", "", before), (Texts{"1", "0"}));
  EXPECT_LT(Find("OnAfterComRx", "AT+CMMS=1\r\n", before), block);
  EXPECT_LT(block, Find("OnAfterSend", "", before));
  // A single part uses no concatenation reference.
  EXPECT_EQ(gsm.RefNum(), 0);
  EXPECT_NE(StoredReferences().find("Talvane=0"), std::string::npos) << StoredReferences();
}

TEST_F(SendTest, ThreePartsThenANewRunOfParts) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const std::string text = Letters(307);  // 153 + 153 + 1
  ASSERT_EQ(Send("+48600100200", text), 3);
  const Parts lines = ExpectedLines("+48600100200", text, 0);
  ASSERT_EQ(lines.size(), 3u);
  ASSERT_TRUE(WaitForReports(3)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return TextsOf("OnSendProgress").size() == 5; })) << Dump();
  EXPECT_EQ(Reports(), (Texts{SentReport(lines[0], 0), SentReport(lines[1], 1), SentReport(lines[2], 2)}));
  EXPECT_EQ(sim.Pdus(), Pdus(lines));
  // The link is kept once for the whole run, not between its parts.
  Texts expected = {"AT+CMMS=1"};
  for (const std::string& command : Announcements(lines)) expected.push_back(command);
  EXPECT_EQ(Submissions(), expected);
  EXPECT_EQ(TextsOf("OnSendProgress"), (Texts{"0", "3", "2", "1", "0"}));  // the first comes with the connection
  EXPECT_EQ(gsm.RefNum(), 1);
  EXPECT_NE(StoredReferences().find("Talvane=1"), std::string::npos) << StoredReferences();

  // After the queue ran empty, the next run keeps the link again. Two
  // commands of the caller make sure the engine has seen the empty queue:
  // by the report of the second, the pass of the first is over.
  gsm.SetATCommand("AT");
  gsm.SetATCommand("AT");
  ASSERT_TRUE(WaitFor([&] { return TextsOf("OnAfterComRx", "******* AT Command ********\r\nAT\r\n").size() == 2; }))
      << Dump();
  ASSERT_EQ(Send("+48600300400", "Second"), 1);
  ASSERT_TRUE(WaitForReports(4)) << Dump();
  expected.push_back("AT+CMMS=1");
  expected.push_back("AT+CMGS=" + std::to_string(ExpectedLines("+48600300400", "Second", 1)[0].tpduLength));
  EXPECT_EQ(Submissions(), expected);
}

TEST_F(SendTest, TwoGroupsOfParts) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(250);
  gsm.SetRefNum(255);
  const std::string text = Letters(1600);  // 146 + 9 * 153 in the first group, 77 after "<02z02>"
  ASSERT_EQ(Send("+48600100200", text, "m"), 11);
  const Parts lines = ExpectedLines("+48600100200", text, 255, "m");
  ASSERT_EQ(gsm.TxMessageParts(), FormatPartLines(lines));
  ASSERT_TRUE(WaitForReports(11, 0, std::chrono::seconds(300))) << Dump();
  Texts reports;
  for (size_t i = 0; i < lines.size(); ++i) reports.push_back(SentReport(lines[i], static_cast<int>((250 + i) % 256)));
  EXPECT_EQ(Reports(), reports);
  EXPECT_EQ(sim.Pdus(), Pdus(lines));
  Texts expected = {"AT+CMMS=1"};
  for (const std::string& command : Announcements(lines)) expected.push_back(command);
  EXPECT_EQ(Submissions(), expected);
  // The group of ten carries reference FF; the eleventh part is a single message.
  EXPECT_NE(Pdus(lines)[0].find("050003FF0A01"), std::string::npos);
  EXPECT_EQ(lines[10].text.substr(0, 7), "<02z02>");
  EXPECT_EQ(gsm.RefNum(), 0);
  EXPECT_NE(StoredReferences().find("Talvane=0"), std::string::npos) << StoredReferences();
}

TEST_F(SendTest, ErrorAnswerIsRetriedAndReportedOnce) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::CmsError, 38, 0, 1});
  ASSERT_EQ(Send("+48600100200", "Retry me"), 1);
  const Parts lines = ExpectedLines("+48600100200", "Retry me", 0);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  loop.ProcessEventsFor(300);  // nothing more comes
  EXPECT_EQ(Reports(), Texts{SentReport(lines[0], 0)});
  const int failure = Find("OnQuietError", "SendSMS error(timeout): ERROR SENDING SMS");
  ASSERT_GE(failure, 0) << Dump();
  const int log = Find("OnAfterComRx", "ERROR SENDING SMS  TRY ONCE MORE");
  ASSERT_GE(log, 0) << Dump();
  EXPECT_NE(events[static_cast<size_t>(log)].text.find(FormatPartLine(lines[0]) + " \r\n+CMS ERROR: 38\r\n"),
            std::string::npos);
  EXPECT_LT(failure, Find("OnAfterSend"));
  // The link is not kept again after an error answer.
  const std::string announce = Announcements(lines)[0];
  EXPECT_EQ(Submissions(), (Texts{"AT+CMMS=1", announce, announce}));
  EXPECT_EQ(sim.NetworkLogLines().size(), 1u);  // the network took it once
  EXPECT_EQ(Find("OnDisconnected"), -1);
  EXPECT_EQ(Queued(), 0u);
}

// A modem that gives no prompt took no PDU: the part is tried again.
TEST_F(SendTest, SilentModemIsRestartedQuietlyAndThePartSentAgainFirst) {
  gsm.SetCheckPwrSig(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CMGS", AtPrompt({modemsim::FaultKind::Silence, 0, 0, 2}));
  ASSERT_EQ(Send("+48600100200", "First"), 1);
  ASSERT_EQ(Send("+48600300400", "Second"), 1);
  const Parts first = ExpectedLines("+48600100200", "First", 0);
  const Parts second = ExpectedLines("+48600300400", "Second", 0);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  EXPECT_EQ(Reports(), (Texts{SentReport(first[0], 0), SentReport(second[0], 1)}));

  const int timeout1 = Find("OnQuietError", "SendSMS error: TimeOUT");
  const int restart = Find("OnQuietError", "TimeOUT --> Quiet Modem RESTART");
  const int timeout2 = Find("OnQuietError", "SendSMS error: TimeOUT", timeout1 + 1);
  const int disconnected = Find("OnDisconnected");
  const int connecting = Find("OnConnecting", "", disconnected);
  const int connected = Find("OnConnected", "", connecting);
  ASSERT_GE(timeout1, 0) << Dump();
  EXPECT_LT(timeout1, disconnected);
  EXPECT_LT(disconnected, restart);
  EXPECT_LT(restart, timeout2);
  EXPECT_LT(timeout2, connecting);
  EXPECT_LT(connecting, connected);
  EXPECT_LT(connected, Find("OnAfterSend"));
  EXPECT_GE(Find("OnAfterComRx", "TimeOUT - ERROR / errorstep = 19"), 0) << Dump();
  EXPECT_EQ(TextsOf("OnAfterSend").size(), 2u);

  // The link is kept again after a timeout and after the restart; the part
  // that failed goes first, after the polls the new connection queued.
  const std::string announce1 = "AT+CMGS=" + std::to_string(first[0].tpduLength);
  const std::string announce2 = "AT+CMGS=" + std::to_string(second[0].tpduLength);
  EXPECT_EQ(Submissions(), (Texts{"AT+CMMS=1", announce1, "AT+CMMS=1", announce1, "AT+CMMS=1", announce1, announce2}));
  EXPECT_EQ(sim.Pdus(), (Texts{Pdus(first)[0], Pdus(second)[0]}));
  const Texts commands = sim.Commands();
  const auto lastReset = std::find(commands.rbegin(), commands.rend(), "ATZ").base();
  const auto lastCmms = std::find(commands.rbegin(), commands.rend(), "AT+CMMS=1").base();
  const auto poll = std::find(lastReset, commands.end(), "AT+CBC");
  EXPECT_LT(poll, lastCmms) << "the polls of the new connection come first";
}

TEST_F(SendTest, ThirdFailureRejectsThePartAndClosesTheConnection) {
  gsm.SetCutCRLFfromText(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CMGS", AtPrompt({modemsim::FaultKind::Silence}));
  ASSERT_EQ(Send("+48600100200", "Two\r\nlines", "x"), 1);
  ASSERT_EQ(Send("+48600300400", "Waits"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Reports(), Texts{"x|+48600100200|0|Two%nlines|-1|1|1|false"});
  ASSERT_TRUE(WaitForEvent("OnDisconnected", "", Find("OnAfterSend"))) << Dump();
  const int rejected = Find("OnQuietError", "SendSMS error: SMS REJECTED");
  EXPECT_LT(Find("OnAfterSend"), rejected);
  EXPECT_LT(rejected, Find("OnDisconnected", "", Find("OnAfterSend")));
  EXPECT_EQ(TextsOf("OnSendProgress").back(), "1");
  EXPECT_EQ(sim.CountCommands("AT+CMGS="), 3);
  EXPECT_TRUE(sim.Pdus().empty());
  // The rejected part is logged as it was queued.
  const RecordedEvent& log = events[static_cast<size_t>(Find("OnAfterSend") - 1)];
  EXPECT_EQ(log.name, "OnAfterComRx");
  EXPECT_EQ(log.text, FormatPartLine(ExpectedLines("+48600100200", "Two\r\nlines", 0, "x")[0]) + "\r\n");
  // The other part waits for the next connection.
  EXPECT_EQ(Queued(), 1u);
  EXPECT_FALSE(gsm.Connected());
}

TEST_F(SendTest, WithoutAutomaticInitialisationAPartIsTriedThreeTimesWithoutRestart) {
  gsm.SetAutoModemINIT(false);
  ASSERT_TRUE(Connect()) << Dump();  // the caller's init lines queue no query
  sim.SetFault("AT+CMGS", AtPrompt({modemsim::FaultKind::Silence}));
  ASSERT_EQ(Send("+48600100200", "Never"), 1);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "SendSMS error: SMS REJECTED", 0, std::chrono::seconds(120))) << Dump();
  EXPECT_EQ(sim.CountCommands("AT+CMGS="), 3);
  EXPECT_TRUE(sim.Pdus().empty());
  EXPECT_EQ(Find("OnQuietError", "TimeOUT --> Quiet Modem RESTART"), -1) << Dump();
  EXPECT_EQ(Find("OnConnecting", "", Find("OnConnected") + 1), -1) << Dump();
  EXPECT_EQ(Reports(), Texts{"|+48600100200|0|Never|-1|1|1|false"});
  // The caller's init lines hold no link-keeping command.
  EXPECT_EQ(sim.CountCommands("AT+CMMS"), 0);
}

TEST_F(SendTest, LineBreaksComeBackInTheReportOfASentPart) {
  gsm.SetCutCRLFfromText(false);
  gsm.SetSMSReport(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  ASSERT_EQ(Send("+48600100200", "Two\r\nlines \"quoted\""), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Reports(), Texts{"|+48600100200|1|Two\r\nlines %~quoted%~|0|1|1|true"});
  EXPECT_EQ(sim.Pdus()[0].substr(0, 4), "0031") << "status report requested";
}

TEST_F(SendTest, NewMessageIndicationDuringASubmissionIsAnalysedInTheSamePass) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.InjectIntoAnswer("AT+CMGS", "+CMTI: \"SM\",3");
  ASSERT_EQ(Send("+48600100200", Letters(200)), 2);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  const int sent = Find("OnAfterSend");
  const int progress = Find("OnSendProgress", "1", sent);
  ASSERT_EQ(progress, sent + 1) << Dump();
  // Right after the report of the part, the modem's answer (without the
  // queue line) reaches the analysis of received text, before the next part.
  const RecordedEvent& analysed = events[static_cast<size_t>(progress + 1)];
  EXPECT_EQ(analysed.name, "OnAfterComRx");
  EXPECT_EQ(analysed.text, " \r\n+CMGS: 0\r\n\r\n+CMTI: \"SM\",3\r\n\r\nOK\r\n");
  EXPECT_LT(progress + 1, Find("OnAfterComRx", "****** [ v.3.x Sending SMS ] ******", progress));
  // The indication came inside the answer, so it is no failure.
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << Dump();
}

TEST_F(SendTest, TextThatLooksLikeAModemAnswerDoesNotDecideTheOutcome) {
  gsm.SetCutCRLFfromText(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(7);
  // A lone CR stays in the queue line as it is.
  const std::string text = "+CMGS: 99\r+CMS ERROR: 1 ERROR\rOK\r+CMT: +CLIP: +CDS: 1";
  ASSERT_EQ(Send("+48600100200", text, "+CMGS: 98 ERROR\r"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  loop.ProcessEventsFor(300);
  EXPECT_EQ(Reports(), Texts{"+CMGS: 98 ERROR\r|+48600100200|1|" + text + "|7|1|1|false"});
  EXPECT_EQ(sim.Pdus().size(), 1u);
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << Dump();
  // Nothing of the text is taken for an unsolicited code.
  EXPECT_EQ(Find("OnAfterComRx", "", Find("OnSendProgress", "0", Find("OnAfterSend"))), -1) << Dump();
}

TEST_F(SendTest, MarkerAndDestinationWithQuotesAndCommasComeBackUnchanged) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // Spreadsheet cells are used as marker and destination; these are shaped
  // to shift the fields of the queue line onto another destination.
  const std::string marker = "600100200\",1,1,+48999999999";
  ASSERT_EQ(Send("+48600100200", "Hi", marker), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Reports(), Texts{marker + "|+48600100200|1|Hi|0|1|1|false"});
  EXPECT_EQ(sim.Pdus(), Pdus(ExpectedLines("+48600100200", "Hi", 0, marker)));

  // A destination that is no number cannot make a PDU the modem takes: it is
  // reported as not sent at once, under its own marker and number, and the
  // modem is not bothered with it (a Ctrl-Z in it would end the message and
  // make the modem read the rest as a command).
  const std::string number = " 600\",\"9,\x1A" "ATD112;";
  ASSERT_EQ(Send(number, "Hi", number), 1);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "SendSMS error: SMS REJECTED")) << Dump();
  ASSERT_EQ(Reports().size(), 2u) << Dump();
  EXPECT_EQ(Reports()[1], number + "|" + number + "|0|Hi|-1|1|1|false");
  EXPECT_EQ(sim.CountCommands("AT+CMGS"), 1);
  EXPECT_EQ(sim.CountCommands("ATD"), 0);
  EXPECT_EQ(Find("OnDisconnected"), -1);
  EXPECT_TRUE(gsm.Connected());
}

// A longer collection wait, so that an answer made late on purpose surely
// falls into it.
class LateAnswerTest : public SendTest {
 protected:
  LateAnswerTest() : SendTest(0.2) {}
};

TEST_F(LateAnswerTest, PartDroppedByTheCallerDuringItsSubmission) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // The network answers after the exchange of the PDU has given up, within
  // the collection.
  const int late = timing::Scaled(gsm.ATTimeout()) * 3 / 2;
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Delay, 0, late, 1});
  ASSERT_EQ(Send("+48600100200", "A"), 1);
  ASSERT_EQ(Send("+48600100200", "B"), 1);
  ASSERT_TRUE(WaitFor([&] { return sim.Pdus().size() == 1; })) << Dump();
  gsm.ClearSendQueue();
  ASSERT_EQ(Send("+48600100200", "C"), 1);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  loop.ProcessEventsFor(300);
  const Parts a = ExpectedLines("+48600100200", "A", 0);
  const Parts c = ExpectedLines("+48600100200", "C", 0);
  // A reached the phone and is reported; B is dropped; C is neither lost nor
  // taken for A.
  EXPECT_EQ(Reports(), (Texts{SentReport(a[0], 0), SentReport(c[0], 1)}));
  EXPECT_EQ(sim.Pdus(), (Texts{Pdus(a)[0], Pdus(c)[0]}));
  EXPECT_EQ(Queued(), 0u);
}

// Before its prompt the part had not gone out: it waits for the next
// connection. After its PDU it may have: it is uncertain, reported once and
// never sent again, whether the network took it (lost) or not (drop).
struct VanishingCase {
  const char* name;
  modemsim::Fault fault;
  bool pduOut;
  size_t accepted;  // lines of the network log
};

class VanishingModemTest : public SendTest, public ::testing::WithParamInterface<VanishingCase> {};

TEST_P(VanishingModemTest, DuringASubmission) {
  const VanishingCase& c = GetParam();
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CMGS", c.fault);
  ASSERT_EQ(Send("+48600100200", "Lost line"), 1);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "SerialReceivePacket error: ")) << Dump();
  EXPECT_GE(Find("OnDisconnected"), 0) << Dump();
  loop.ProcessEventsFor(300);
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << "a vanished modem is no fault of the part";
  EXPECT_EQ(sim.NetworkLogLines().size(), c.accepted);
  if (c.pduOut) {
    EXPECT_EQ(Reports(), Texts{"|+48600100200|0|Lost line|-1|1|1|false"});
    EXPECT_GE(Find("OnAfterComRx", "SMS UNCERTAIN: NO ANSWER AFTER THE PDU, NOT SENT AGAIN"), 0) << Dump();
    EXPECT_EQ(Queued(), 0u);
  } else {
    EXPECT_EQ(Find("OnAfterSend"), -1);
    ASSERT_EQ(Queued(), 1u);
    EXPECT_EQ(gsm.Engine()->SendQueue.First()->object, 0);
  }
  EXPECT_TRUE(gsm.Active());
  EXPECT_FALSE(gsm.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    ModemVanishing, VanishingModemTest,
    ::testing::Values(VanishingCase{"BeforeThePrompt", AtPrompt({modemsim::FaultKind::DropLine}), false, 0},
                      VanishingCase{"AfterThePduNotTaken", {modemsim::FaultKind::DropLine}, true, 0},
                      VanishingCase{"AfterThePduTakenByTheNetwork", {modemsim::FaultKind::Lost}, true, 1}),
    [](const ::testing::TestParamInfo<VanishingCase>& info) { return std::string(info.param.name); });

TEST_F(SendTest, RequestsThatSendNothing) {
  ASSERT_EQ(Send("+48600100200", "Not connected"), -1);
  EXPECT_EQ(misuses, Texts{Utf8ToAnsi("Brak połączenia z modemem GSM!")});
  misuses.clear();

  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  gsm.SetRefNum(17);
  EXPECT_EQ(Send("+48600100200", " \r\n\t "), 0);
  EXPECT_EQ(misuses, Texts{Utf8ToAnsi("Brak wiadomości do wysłania!")});
  EXPECT_TRUE(gsm.TxMessageParts().empty());
  EXPECT_EQ(Queued(), 0u);
  // The reference is stored all the same.
  EXPECT_NE(StoredReferences().find("Talvane=17"), std::string::npos) << StoredReferences();

  // A reference that cannot be stored is reported; the parts go out.
  std::ofstream(folder.Path() / "file") << "x";
  gsm.SetAppDir((folder.Path() / "file" / "").string());
  EXPECT_EQ(Send("+48600100200", "Still sent"), 1);
  EXPECT_GE(Find("OnQuietError", "RefNum store error: "), 0) << Dump();
  EXPECT_TRUE(WaitForReports(1)) << Dump();
}

// The real waits, unscaled. A modem that answers at once has its part
// reported at once: the next part follows the answer without waiting for
// more (the full collection wait would take 18.5 s per part).
class RealTimeSendTest : public SendTest {
 protected:
  RealTimeSendTest() : SendTest(1.0) {}
};

TEST_F(RealTimeSendTest, PartsOfAMessageFollowEachOtherRightAfterTheModemsAnswer) {
  using Clock = std::chrono::steady_clock;
  std::mutex mutex;
  std::vector<Clock::time_point> answers, announcements;
  sim.SetLog([&](const std::string& line) {
    std::lock_guard lock(mutex);
    if (StartsWith(line, "TX \\r\\n+CMGS:")) answers.push_back(Clock::now());
    if (StartsWith(line, "RX AT+CMGS=")) announcements.push_back(Clock::now());
  });
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(12);
  const std::string text = Letters(307);
  ASSERT_EQ(Send("+48600100200", text), 3);
  ASSERT_TRUE(WaitForReports(3, 0, std::chrono::seconds(90))) << Dump();
  const Parts lines = ExpectedLines("+48600100200", text, 0);
  EXPECT_EQ(Reports(), (Texts{SentReport(lines[0], 12), SentReport(lines[1], 13), SentReport(lines[2], 14)}));
  EXPECT_GE(Find("OnAfterComRx", "+CMGS: 12\r\n\r\nOK\r\n---END OF BUFFER---"), 0) << Dump();
  sim.SetLog(nullptr);
  std::lock_guard lock(mutex);
  ASSERT_EQ(answers.size(), 3u);
  ASSERT_EQ(announcements.size(), 3u);
  const auto second = std::chrono::milliseconds(static_cast<int>(1000 * timing::TestSlowdown()));
  for (size_t i = 0; i + 1 < answers.size(); ++i) {
    EXPECT_LT(announcements[i + 1] - answers[i], second) << "part " << i + 2 << " waited after the answer";
  }
}
}  // namespace
}  // namespace modem
