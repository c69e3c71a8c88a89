// Submissions the network answers late, oddly or not at all, against the
// simulated modem: a part is never sent twice, a modem that accepts a part
// with a bare "OK" has sent it, and a part that was not sent says why.

#include "modem/cms_errors.h"
#include "modem/send_causes.h"
#include "modem/send_test_fixture.h"

namespace modem {
namespace {

using modemsim::Fault;
using modemsim::FaultKind;

class SubmissionFaultsTest : public SendTest {
 protected:
  explicit SubmissionFaultsTest(double scale = 0.05) : SendTest(scale) {}

  void SetUp() override {
    SendTest::SetUp();
    gsm.OnPartReport = [this](TZoGSM&, const TPartReport& report) { partReports.push_back(report); };
  }

  std::vector<TPartReport> partReports;
};

// Scaled less, so that the real waits around the answer stay seconds apart.
class SlowNetworkTest : public SubmissionFaultsTest {
 protected:
  SlowNetworkTest() : SubmissionFaultsTest(0.1) {}
};

TEST_F(SlowNetworkTest, AnAnswerWithinTheNetworksTimeIsWaitedFor) {
  // Modems allow the network 60 to 120 s for its answer: one that comes
  // after 90 s confirms the part, which is not sent again.
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  SetNextReference(30);
  sim.SetFault("AT+CMGS", {FaultKind::Delay, 0, timing::Scaled(90000), 1});
  ASSERT_EQ(Send("+48600100200", "Slow network"), 1);
  ASSERT_EQ(Send("+48600300400", "Next one"), 1);
  ASSERT_TRUE(WaitForReports(2)) << Dump();
  loop.ProcessEventsFor(300);
  const Parts first = ExpectedLines("+48600100200", "Slow network", 0);
  const Parts second = ExpectedLines("+48600300400", "Next one", 0);
  EXPECT_EQ(sim.Pdus(), (Texts{first[0].pdu, second[0].pdu}));
  EXPECT_EQ(sim.CountCommands("AT+CMGS"), 2);
  EXPECT_EQ(Reports(), (Texts{SentReport(first[0], 30), SentReport(second[0], 31)}));
  EXPECT_EQ(Find("OnQuietError", "SendSMS error"), -1) << Dump();
}

// The middle part of three: the network takes it, but its "+CMGS:" comes
// only when the modem hears from the program again, after the network's
// time is up. The part is uncertain: reported once, never submitted again,
// and the third part is not sent (the phone could not join it to the first
// alone). The answer that still comes, with the link-keeping command of the
// next message or before the prompt of its submission, is only logged: it
// is taken for no other submission's.
class LateConfirmationTest : public SubmissionFaultsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LateConfirmationTest, AfterTheNetworksTimeThePartIsUncertain) {
  const bool linkKept = GetParam();
  if (!linkKept) sim.SetFault("AT+CMMS=?", {FaultKind::Error});
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  ASSERT_EQ(gsm.Capabilities().ATCMMS.Available, linkKept);
  SetNextReference(40);
  sim.SetFault("AT+CMGS", {FaultKind::HeldUntilNextCommand, 0, 0, 1, false, 1});
  const std::string text = Letters(400);
  ASSERT_EQ(Send("+48600100200", text), 3);
  ASSERT_TRUE(WaitForReports(3)) << Dump();
  loop.ProcessEventsFor(300);

  const Parts parts = ExpectedLines("+48600100200", text, 0);
  EXPECT_EQ(sim.Pdus(), (Texts{parts[0].pdu, parts[1].pdu}));
  EXPECT_EQ(Outcomes(Reports()), (Texts{"1|40|1|3", "0|-1|2|3", "0|-1|3|3"}));
  ASSERT_EQ(partReports.size(), 3u);
  EXPECT_TRUE(partReports[0].sent);
  EXPECT_FALSE(partReports[1].sent);
  EXPECT_TRUE(partReports[1].uncertain);
  EXPECT_EQ(partReports[1].cause, send_cause::NoNetworkAnswer());
  EXPECT_FALSE(partReports[2].sent);
  EXPECT_FALSE(partReports[2].uncertain);
  EXPECT_EQ(partReports[2].cause, send_cause::EarlierPartUncertain(2));
  EXPECT_GE(Find("OnAfterComRx", "SMS NOT SENT: PART 2 OF THIS MESSAGE IS UNCERTAIN"), 0) << Dump();
  EXPECT_EQ(sim.CountCommands("AT+CMGS"), 2);
  EXPECT_EQ(Queued(), 0u);

  // The next message goes; the late answer is logged on the way.
  ASSERT_EQ(Send("+48600300400", "After it"), 1);
  ASSERT_TRUE(WaitForReports(4)) << Dump();
  loop.ProcessEventsFor(300);
  EXPECT_EQ(Outcomes(Reports()).back(), "1|42|1|1");
  ASSERT_EQ(partReports.size(), 4u);
  EXPECT_GE(Find("OnAfterComRx", "Late confirmation of a part reported uncertain (not sent again):\r\n" +
                                     FormatPartLine(parts[1]) + "\r\n+CMGS: 41\r\n"),
            0)
      << Dump();
  EXPECT_EQ(sim.CancelledPrompts(), 0);
  // What the customer got: each part the network took, once.
  const Texts accepted = sim.NetworkLogLines();
  ASSERT_EQ(accepted.size(), 3u);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(accepted[i].substr(accepted[i].rfind('\t') + 1), parts[i].pdu);
  EXPECT_EQ(Find("OnQuietError", "SMS REJECTED"), -1) << Dump();
}

INSTANTIATE_TEST_SUITE_P(Submission, LateConfirmationTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "LinkKept" : "NoLinkKeeping");
                         });

TEST_F(SubmissionFaultsTest, ABareOkAcceptsThePart) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault("AT+CMGS", {FaultKind::FinalOnly, 0, 0, 1});
  ASSERT_EQ(Send("+48600100200", "Hi", "m"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Reports(), Texts{"m|+48600100200|1|Hi|-1|1|1|false"});
  ASSERT_EQ(partReports.size(), 1u);
  EXPECT_TRUE(partReports[0].sent);
  EXPECT_EQ(partReports[0].reference, -1);
  EXPECT_EQ(partReports[0].cause, "");
  EXPECT_EQ(sim.Pdus().size(), 1u);
}

struct FailureCase {
  const char* name;
  const char* prefix;  // the commands the fault hits
  Fault fault;
  platform::AnsiString cause;
  int cmsError;
  bool uncertain = false;  // the PDU went out and no answer came
};

class FailureCauseTest : public SubmissionFaultsTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  FailureCauseTest() : SubmissionFaultsTest(0.02) {}
};

TEST_P(FailureCauseTest, TheReportOfAPartNotSentSaysWhy) {
  const FailureCase& c = GetParam();
  gsm.SetACTimerInterval(50);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.SetFault(c.prefix, c.fault);
  ASSERT_EQ(Send("+48600100200", "Hi", "m"), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  EXPECT_EQ(Reports(), Texts{"m|+48600100200|0|Hi|-1|1|1|false"});
  ASSERT_EQ(partReports.size(), 1u);
  EXPECT_FALSE(partReports[0].sent);
  EXPECT_EQ(partReports[0].reference, -1);
  EXPECT_EQ(partReports[0].cause, c.cause);
  EXPECT_EQ(partReports[0].cmsError, c.cmsError);
  EXPECT_EQ(partReports[0].uncertain, c.uncertain);
  // An uncertain part is never submitted again; the others were tried three times.
  EXPECT_EQ(sim.CountCommands("AT+CMGS="), c.uncertain ? 1 : 3);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, FailureCauseTest,
    ::testing::Values(FailureCase{"CmsKnown", "AT+CMGS", {FaultKind::CmsError, 38}, CmsErrorText(38), 38},
                      FailureCase{"CmsUnknown", "AT+CMGS", {FaultKind::CmsError, 999}, "kod +CMS 999", 999},
                      FailureCase{"BareError", "AT+CMGS", {FaultKind::Error}, send_cause::ErrorAnswer(), -1},
                      FailureCase{"NoPrompt", "AT+CMGS", {FaultKind::Silence, 0, 0, -1, true}, send_cause::NoPrompt(),
                                  -1},
                      FailureCase{"NoAnswer", "AT+CMGS", {FaultKind::Silence}, send_cause::NoNetworkAnswer(), -1,
                                  true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(SubmissionFaultsTest, ADestinationThatIsNoNumberIsRefusedWithItsCause) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  TOutgoingMessage message;
  message.recipient = {5, "600,100", "600,100", "600,100\"200"};
  message.text = "Hi";
  ASSERT_EQ(gsm.Send(message), 1);
  ASSERT_TRUE(WaitForReports(1)) << Dump();
  ASSERT_EQ(partReports.size(), 1u);
  EXPECT_FALSE(partReports[0].sent);
  EXPECT_EQ(partReports[0].part.recipient, message.recipient);
  EXPECT_EQ(partReports[0].cause, send_cause::Unsendable());
  EXPECT_EQ(sim.CountCommands("AT+CMGS"), 0);
}

TEST(CmsErrors, CodeAndMeaning) {
  EXPECT_EQ(CmsErrorCode("\r\n+CMS ERROR: 38\r\n"), 38);
  EXPECT_EQ(CmsErrorCode("+CMS ERROR: 500"), 500);
  EXPECT_EQ(CmsErrorCode("\r\n+CMS ERROR: network out of order\r\n"), std::nullopt);
  EXPECT_EQ(CmsErrorCode("\r\nERROR\r\n"), std::nullopt);
  EXPECT_EQ(CmsErrorText(38), platform::Utf8ToAnsi("kod +CMS 38: sieć nie działa"));
  EXPECT_EQ(CmsErrorText(330), platform::Utf8ToAnsi("kod +CMS 330: nieznany numer centrum SMS"));
  EXPECT_EQ(CmsErrorText(4), "kod +CMS 4");
}

}  // namespace
}  // namespace modem
