// Where the analysis of received text puts its follow-up commands, and how it
// counts the rings of one call, on an engine without a modem.

#include <gtest/gtest.h>

#include "modem/engine_probe.h"
#include "modem/gammu_deliver.h"
#include "modem/text_lines.h"
#include "platform/recording_dialogs.h"

namespace modem {
namespace {

using Texts = std::vector<std::string>;

class EngineAnalysisTest : public ::testing::Test {
 protected:
  EngineAnalysisTest() {
    platform::InstallDialogs(&dialogs_);
    probe_.gsm.OnNewSMS = [this](TZoGSM&, const std::string&, const std::string& text, const std::string&,
                                 const std::string&, bool, TUDHinfo&, const std::string&, bool) {
      events.push_back("OnNewSMS " + text);
    };
    probe_.gsm.OnRing = [this](TZoGSM&, const std::string& number) { events.push_back("OnRing " + number); };
    probe_.gsm.OnSMSMemoryFull = [this](TZoGSM&) { events.push_back("OnSMSMemoryFull"); };
    probe_.gsm.OnQuietError = [this](TZoGSM& sender) { events.push_back("OnQuietError " + sender.ErrorText()); };
  }
  ~EngineAnalysisTest() override { platform::InstallDialogs(nullptr); }

  SharedList& Queue() { return probe_.Engine().CommandQueue; }
  void QueueCommands(const Texts& commands) {
    for (const std::string& command : commands) Queue().Append(command);
  }

  platform::RecordingDialogs dialogs_;
  DetachedEngine probe_;
  Texts events;
};

TEST_F(EngineAnalysisTest, IdleIndicationPutsTheListingsAtTheHead) {
  QueueCommands({"AT+CSQ"});
  probe_.Idle("\r\n+CMTI: \"SM\",3\r\n");
  EXPECT_EQ(Queue().Lines(),
            (Texts{"AT+CPMS=\"ME\"", "AT+CMGL=0", "AT+CPMS=\"SM\"", "AT+CMGL=0", "AT+CSQ"}));
  EXPECT_EQ(events, Texts{});  // the phone memory's capacity is not known: no warning
}

TEST_F(EngineAnalysisTest, IndicationInAnAnswerPutsTheListingsAtTheTail) {
  QueueCommands({"AT+CSQ", "AT+CBC"});
  probe_.Answer("AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\n+CMTI: \"SM\",3\r\n\r\nOK\r\n");
  EXPECT_EQ(Queue().Lines(), (Texts{"AT+CSQ", "AT+CBC", "AT+CPMS=\"SM\"", "AT+CMGL=0", "AT+CPMS=\"ME\"",
                                    "AT+CMGL=0"}));
}

TEST_F(EngineAnalysisTest, ListingDeletesRunRightAfterTheListingInReverseOrder) {
  const auto pdus = GammuDeliver({{"+48600100200", "One"}, {"+48600100200", "Two"}, {"+48600100200", "Three"}});
  probe_.gsm.SetDeleteSMSafterRead(true);
  QueueCommands({"AT+CMGL=0", "AT+CPMS=\"ME\"", "AT+CMGL=0"});
  std::string answer = "\r\n";
  for (size_t i = 0; i < pdus.size(); ++i) {
    answer += "+CMGL: " + std::to_string(i + 4) + ",0,,20\r\n" + pdus[i].at(0) + "\r\n";
  }
  probe_.Answer("AT+CMGL=0", answer + "\r\nOK\r\n");
  EXPECT_EQ(events, (Texts{"OnNewSMS One", "OnNewSMS Two", "OnNewSMS Three"}));
  EXPECT_EQ(Queue().Lines(), (Texts{"AT+CMGL=0", "AT+CMGD=6", "AT+CMGD=5", "AT+CMGD=4", "AT+CPMS=\"ME\"",
                                    "AT+CMGL=0"}));
  // The same listing again (a modem that lists read messages as unread):
  // nothing is raised twice, and the messages are still deleted.
  events.clear();
  probe_.Answer("AT+CMGL=0", answer + "\r\nOK\r\n");
  ASSERT_EQ(events.size(), 3u);
  for (const std::string& event : events) EXPECT_TRUE(event.starts_with("OnQuietError Thread (+CMGL:) message delivered before"));
  EXPECT_EQ(Queue().Count(), 9u);
}

TEST_F(EngineAnalysisTest, CalledPhoneRingingInAnAnswerEndsTheCallRightAfterIt) {
  probe_.gsm.SetSendOneSignal(true);
  QueueCommands({"AT+CSQ", "AT+CBC"});
  probe_.Answer("AT+CSQ", "\r\n+CIEV: 3,3\r\n\r\nOK\r\n");
  EXPECT_EQ(Queue().Lines(), (Texts{"AT+CSQ", "AT", "AT", "AT", "AT", "ATH", "AT+CHUP", "AT", "AT+CBC"}));
  EXPECT_FALSE(probe_.gsm.SendOneSignal());
}

TEST_F(EngineAnalysisTest, RingsOfOneCallAreCountedWithinTenSeconds) {
  probe_.gsm.SetHangUpVoiceConnection(true);
  probe_.gsm.SetHangUpSignalCount(2);
  const std::string ring = "\r\nRING\r\n\r\n+CLIP: \"+48600100200\",145\r\n";
  probe_.Idle(ring);
  EngineProbe::AgeLastRing(probe_.Engine(), std::chrono::seconds(6));  // modems repeat every few seconds
  probe_.Idle(ring);
  EXPECT_EQ(Queue().Count(), 0u);
  EngineProbe::AgeLastRing(probe_.Engine(), std::chrono::seconds(6));
  probe_.Idle(ring);  // the third ring of the call
  EXPECT_EQ(Queue().Lines(), (Texts{"ATH", "AT+CHUP", "AT"}));
  EXPECT_EQ(events, Texts{"OnRing +48600100200"});
}

TEST_F(EngineAnalysisTest, ARingAfterALongPauseOrFromAnotherNumberIsAnotherCall) {
  const std::string ringA = "\r\nRING\r\n\r\n+CLIP: \"+48600100200\",145\r\n";
  const std::string ringB = "\r\nRING\r\n\r\n+CLIP: \"+48600100300\",145\r\n";
  probe_.Idle(ringA);
  probe_.Idle(ringA);
  EngineProbe::AgeLastRing(probe_.Engine(), std::chrono::seconds(11));
  probe_.Idle(ringA);
  probe_.Idle(ringB);
  EXPECT_EQ(events, (Texts{"OnRing +48600100200", "OnRing +48600100200", "OnRing +48600100300"}));
  EXPECT_EQ(Queue().Count(), 0u);  // no hang-up asked for
}

}  // namespace
}  // namespace modem
