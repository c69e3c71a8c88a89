// The typed send path against the simulated modem: a message sent with Send
// keeps its recipient through every part to its report, and the caller's
// last word before each part (OnAboutToSubmit) comes before anything of the
// part reaches the modem and can keep it from going out.

#include <mutex>

#include "modem/send_causes.h"
#include "modem/send_test_fixture.h"

namespace modem {
namespace {

const TRecipient kRecipient{7, " 600-100-200", "600100200", "+48600100200"};

TOutgoingMessage MessageFor(const TRecipient& recipient, const std::string& text, const std::string& marker) {
  TOutgoingMessage message;
  message.recipient = recipient;
  message.text = text;
  message.marker = marker;
  message.mergeMax = 3;
  return message;
}

class TypedSendTest : public SendTest {
 protected:
  void SetUp() override {
    SendTest::SetUp();
    gsm.OnPartReport = [this](TZoGSM&, const TPartReport& report) { partReports.push_back(report); };
    // Both sides write into one order of events: the engine's thread when
    // it is about to submit, the simulator's thread when a line arrives.
    sim.SetLog([this](const std::string& line) {
      if (line.starts_with("RX AT+CMGS=")) Note("modem " + line.substr(3));
    });
  }

  void TearDown() override {
    SendTest::TearDown();
    sim.SetLog({});
  }

  void Note(const std::string& entry) {
    std::lock_guard lock(orderMutex);
    order.push_back(entry);
  }
  Texts Order() {
    std::lock_guard lock(orderMutex);
    return order;
  }

  bool WaitForPartReports(size_t count) {
    return WaitFor([&] { return partReports.size() >= count; }, std::chrono::seconds(120));
  }

  std::mutex orderMutex;
  Texts order;
  std::vector<TQueuedPart> offered;  // engine thread only, read after the reports
  std::vector<TPartReport> partReports;
};

TEST_F(TypedSendTest, EveryPartIsOfferedBeforeItsAnnouncementAndKeepsItsRecipient) {
  gsm.OnAboutToSubmit = [this](const TQueuedPart& part) {
    // Nothing of this part has reached the modem yet.
    Note("about to submit part " + std::to_string(part.partNumber) + ", modem had " +
         std::to_string(sim.CountCommands("AT+CMGS")) + " announcements");
    offered.push_back(part);
    return true;
  };
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(20);
  ASSERT_EQ(gsm.Send(MessageFor(kRecipient, Letters(400), "row 7")), 3);
  ASSERT_TRUE(WaitForPartReports(3)) << Dump();
  loop.ProcessEventsFor(200);

  const Parts expected = ExpectedLines("+48600100200", Letters(400), 0, "row 7");
  const Texts announcements = Announcements(expected);
  EXPECT_EQ(Order(), (Texts{"about to submit part 1, modem had 0 announcements", "modem " + announcements[0],
                            "about to submit part 2, modem had 1 announcements", "modem " + announcements[1],
                            "about to submit part 3, modem had 2 announcements", "modem " + announcements[2]}));
  ASSERT_EQ(offered.size(), 3u);
  ASSERT_EQ(partReports.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    TQueuedPart part = expected[i];
    part.recipient = kRecipient;
    EXPECT_EQ(offered[i], part) << i;
    EXPECT_EQ(partReports[i].part, part) << i;
    EXPECT_TRUE(partReports[i].sent) << i;
    EXPECT_EQ(partReports[i].reference, 20 + static_cast<int>(i));
    EXPECT_EQ(partReports[i].cause, "");
    EXPECT_EQ(partReports[i].cmsError, -1);
  }
  // The published event carries the same reports, and the queued parts are
  // shown as part lines.
  EXPECT_EQ(Reports(), (Texts{SentReport(expected[0], 20), SentReport(expected[1], 21), SentReport(expected[2], 22)}));
  EXPECT_EQ(gsm.TxMessageParts(), FormatPartLines(expected));
  EXPECT_EQ(gsm.RefNum(), 1);
  EXPECT_EQ(sim.Pdus(), Pdus(expected));
}

TEST_F(TypedSendTest, APartTheCallerCannotRecordNeverReachesTheModem) {
  // The second part of the first message cannot be recorded; the message
  // after it can.
  gsm.OnAboutToSubmit = [this](const TQueuedPart& part) {
    Note("about to submit " + part.marker + " part " + std::to_string(part.partNumber));
    return !(part.marker == "first" && part.partNumber == 2);
  };
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const TRecipient other{8, "600300400", "600300400", "+48600300400"};
  ASSERT_EQ(gsm.Send(MessageFor(kRecipient, Letters(400), "first")), 3);
  ASSERT_EQ(gsm.Send(MessageFor(other, "Next one", "second")), 1);
  ASSERT_TRUE(WaitForPartReports(4)) << Dump();
  loop.ProcessEventsFor(200);

  const Parts first = ExpectedLines("+48600100200", Letters(400), 0, "first");
  const Parts second = ExpectedLines("+48600300400", "Next one", 1, "second");
  // Only the announcements of the parts that went out reached the modem;
  // the rest of the refused part's message was not offered at all.
  EXPECT_EQ(Order(), (Texts{"about to submit first part 1", "modem " + Announcements(first)[0],
                            "about to submit first part 2", "about to submit second part 1",
                            "modem " + Announcements(second)[0]}));
  EXPECT_EQ(sim.Pdus(), (Texts{first[0].pdu, second[0].pdu}));
  ASSERT_EQ(partReports.size(), 4u);
  const platform::AnsiString causes[] = {"", send_cause::NotRecorded(), send_cause::EarlierPartNotSent(2), ""};
  const bool sent[] = {true, false, false, true};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(partReports[i].sent, sent[i]) << i;
    EXPECT_EQ(partReports[i].cause, causes[i]) << i;
    EXPECT_EQ(partReports[i].part.recipient, i < 3 ? kRecipient : other) << i;
    EXPECT_EQ(partReports[i].part.partNumber, i < 3 ? static_cast<int>(i) + 1 : 1) << i;
  }
  EXPECT_EQ(Outcomes(Reports()), (Texts{"1|0|1|3", "0|-1|2|3", "0|-1|3|3", "1|1|1|1"})) << Dump();
  EXPECT_TRUE(gsm.Connected());
}

// A message resumed after some of its parts went out: the rest go out with
// the reference and the part numbers of the first time, byte for byte the
// PDUs the phone would have got then, and RefNum is neither used nor
// advanced nor stored.
TEST_F(TypedSendTest, AResumedMessageSendsTheRestOfItsPartsAsTheFirstTime) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  gsm.SetRefNum(77);
  const TOutgoingMessage original = MessageFor(kRecipient, Letters(400), "m");
  ASSERT_EQ(gsm.Send(original), 3);
  ASSERT_TRUE(WaitForPartReports(3)) << Dump();
  const Texts firstTime = sim.Pdus();
  ASSERT_EQ(firstTime.size(), 3u);
  ASSERT_EQ(gsm.RefNum(), 78);
  gsm.SetRefNum(5);
  const std::string storedBefore = StoredReferences();

  struct Case {
    std::vector<int> partsDone;
    std::vector<int> partsSent;
  };
  const Case cases[] = {{{1}, {2, 3}}, {{1, 3}, {2}}, {{}, {1, 2, 3}}, {{2, 3}, {1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.partsDone));
    const size_t pdusBefore = sim.Pdus().size();
    const size_t reportsBefore = partReports.size();
    TOutgoingMessage resumed = original;
    resumed.concatReference = 77;
    resumed.partsDone = c.partsDone;
    ASSERT_EQ(gsm.Send(resumed), static_cast<int>(c.partsSent.size()));
    EXPECT_EQ(gsm.TxMessageParts().size(), c.partsSent.size());
    ASSERT_TRUE(WaitForPartReports(reportsBefore + c.partsSent.size())) << Dump();
    const Texts pdus = sim.Pdus();
    Texts expected;
    for (int number : c.partsSent) expected.push_back(firstTime[static_cast<size_t>(number - 1)]);
    EXPECT_EQ(Texts(pdus.begin() + static_cast<std::ptrdiff_t>(pdusBefore), pdus.end()), expected);
    for (size_t i = 0; i < c.partsSent.size(); ++i) {
      const TPartReport& report = partReports[reportsBefore + i];
      EXPECT_TRUE(report.sent);
      EXPECT_EQ(report.part.partNumber, c.partsSent[i]);
      EXPECT_EQ(report.part.totalParts, 3);
    }
  }
  EXPECT_EQ(gsm.RefNum(), 5);
  EXPECT_EQ(StoredReferences(), storedBefore);

  // Every part done: nothing to queue.
  TOutgoingMessage done = original;
  done.concatReference = 77;
  done.partsDone = {1, 2, 3};
  EXPECT_EQ(gsm.Send(done), 0);
  EXPECT_TRUE(misuses.empty());
  EXPECT_EQ(Queued(), 0u);
}

TEST_F(TypedSendTest, SendWithoutAConnectionQueuesNothing) {
  EXPECT_EQ(gsm.Send(MessageFor(kRecipient, "Hi", "m")), -1);
  EXPECT_EQ(misuses, Texts{Utf8ToAnsi("Brak połączenia z modemem GSM!")});
  EXPECT_TRUE(gsm.TxMessageParts().empty());
}

}  // namespace
}  // namespace modem
