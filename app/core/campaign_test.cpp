// The campaign against the simulated modem with a real journal file: a
// message whose answer was lost completes uncertain and is never sent again
// by itself, and a resumed campaign sends only what its journal says is left,
// a half-sent message going on with the same concatenation reference.

#include "app/core/campaign.h"

#include <gtest/gtest.h>

#include "app/core/fills.h"
#include "journal/sqlite_journal.h"
#include "modem/engine_timing.h"
#include "modem/instance_settings.h"
#include "platform/headless_main_loop.h"
#include "platform/recording_dialogs.h"
#include "platform/test_folder.h"
#include "tools/modemsim/modem_simulator.h"
#include "xls/interior.h"
#include "xls/range.h"
#include "xls/worksheet.h"

namespace app {
namespace {

using journal::TMessageState;

// The simulated modem's identity, as the journal knows the modem.
const std::string kIdentity = "351234567890125/260011234567890";

class RecordingScreen final : public TCampaignScreen {
 public:
  void EmptyText() override { lines.push_back("EmptyText"); }
  void JournalRefused(const AnsiString& reason) override { lines.push_back("JournalRefused " + reason); }
  void Started(int numbers) override { started = numbers; }
  void Stepped(int, int) override {}
  void NumberTaken(const modem::TRecipient&) override {}
  void SendingTo(const modem::TRecipient&) override {}
  void LogLine(const AnsiString& line) override { lines.push_back(line); }
  void MessageCompleted(const TMessageResult& result, int) override { results.push_back(result); }
  void Finished(int, int) override {}
  bool ConfirmStop() override { return true; }
  void Stopped() override {}

  bool Logged(const std::string& utf8Start) const {
    const AnsiString start = Ansi(utf8Start);
    return std::any_of(lines.begin(), lines.end(), [&](const AnsiString& line) { return line.starts_with(start); });
  }

  int started = -1;
  std::vector<AnsiString> lines;
  std::vector<TMessageResult> results;
};

class CampaignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    platform::InstallDialogs(&dialogs);
    gsm.SetAppDir((folder.Path() / "").string());
    modem::ApplyWorkingInstanceSettings(gsm);
    gsm.SetComPort(sim.PortPath());
    gsm.OnPartReport = [this](modem::TZoGSM& sender, const modem::TPartReport& report) {
      campaign.PartReported(sender, report);
    };
    gsm.OnDisconnected = [this](modem::TZoGSM&) { dropped = !sim.Running(); };
    auto opened = journal::TSqliteJournal::Open(folder / "journal.sqlite");
    ASSERT_TRUE(opened);
    journal = std::move(*opened);
    campaign.SetJournal(journal.get(), "");
    timer1->SetInterval(100);
    timer1->OnTimer = [this] { campaign.Step(); };
  }

  void TearDown() override {
    gsm.SetActive(false);
    platform::InstallDialogs(nullptr);
  }

  void List(const std::vector<std::string>& list) {
    results.Create();
    for (const std::string& number : list) numbers.Add(ListRecipient(number));
    results.WriteList(numbers);
  }

  // Runs the campaign to its end; a modem that drops its line is back (the
  // simulator started again) for the component to reconnect.
  bool RunToTheEnd() {
    return loop.RunUntil(
        [&] {
          if (dropped) {
            dropped = false;
            EXPECT_TRUE(sim.Start());
          }
          return campaign.Finished() || campaign.Stopped();
        },
        std::chrono::seconds(120));
  }

  std::vector<journal::TRecipientRecord> Recipients() {
    auto recipients = journal->Recipients(*campaign.JournalCampaign());
    EXPECT_TRUE(recipients);
    return recipients ? *recipients : std::vector<journal::TRecipientRecord>{};
  }

  int FillAt(int row) const { return results.Sheet()->Cells()->Item(row, 1)->Interior()->ColorIndex(); }

  modem::timing::ScopedTimingScale fast{0.05};
  platform::TestFolder folder;
  platform::RecordingDialogs dialogs;
  modemsim::ModemSimulator sim;
  platform::HeadlessMainLoop loop;
  modem::TZoGSM gsm{loop};
  std::unique_ptr<platform::Timer> timer1 = loop.CreateTimer();
  TNumberList numbers;
  TResultWorkbook results;
  std::string resultPath = (folder / "wyniki_out.xls").string();
  TCampaignText text{Ansi("Promocja"), false, false};
  RecordingScreen screen;
  std::unique_ptr<journal::TSqliteJournal> journal;
  bool dropped = false;
  TCampaign campaign{{&gsm}, *timer1, numbers, results, resultPath, [this] { return text; }, screen};
};

// A modem is connected a moment before it has told who it is: a step in
// between must not hand it a message the journal would then name by its port.
TEST_F(CampaignTest, AModemIsFedOnlyOnceItHasToldWhoItIs) {
  sim.SetFault("AT+CGSN", {modemsim::FaultKind::Delay, 0, 700, /*times=*/1});
  List({"600100200"});
  ASSERT_TRUE(campaign.Start());
  ASSERT_TRUE(RunToTheEnd());
  ASSERT_EQ(screen.results.size(), 1u);
  EXPECT_TRUE(screen.results[0].sent);
  EXPECT_EQ(Recipients()[0].modem, kIdentity);
}

TEST_F(CampaignTest, AMessageWhoseAnswerWasLostCompletesUncertainYellowAndIsNotSentAgain) {
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Lost, 0, 0, /*times=*/1});
  List({"600100200", "600100201"});
  ASSERT_TRUE(campaign.Start());
  ASSERT_TRUE(RunToTheEnd());

  ASSERT_EQ(screen.results.size(), 2u);
  const TMessageResult& doubtful = screen.results[0];
  EXPECT_EQ(doubtful.recipient.number, "600100200");
  EXPECT_TRUE(doubtful.uncertain);
  EXPECT_FALSE(doubtful.sent);
  EXPECT_TRUE(screen.results[1].sent);
  EXPECT_TRUE(screen.Logged("NIEPEWNE! wiadomość do: +48600100200 mogła zostać wysłana"));
  EXPECT_FALSE(screen.Logged("BŁĄD!"));
  EXPECT_EQ(campaign.SentCounter(), 2);
  ASSERT_EQ(campaign.Uncertain().size(), 1u);
  EXPECT_EQ(campaign.Uncertain()[0].number, "600100200");

  // The network took it once, and nobody sent it again.
  EXPECT_EQ(sim.NetworkLogLines().size(), 2u);
  EXPECT_EQ(sim.CountCommands("AT+CMGS="), 2);
  const auto recipients = Recipients();
  EXPECT_EQ(recipients[0].state, TMessageState::Uncertain);
  EXPECT_EQ(recipients[0].modem, kIdentity);
  EXPECT_EQ(recipients[1].state, TMessageState::Sent);
  EXPECT_EQ(FillAt(1), kFillUncertain);
  EXPECT_EQ(FillAt(2), kFillSent);
}

TEST_F(CampaignTest, ACampaignWhoseLastMessageCompletedAsItsModemWentFinishesWithoutWaitingForIt) {
  sim.SetFault("AT+CMGS", {modemsim::FaultKind::Lost, 0, 0, /*times=*/1});
  campaign.SetNoModemLimit(std::chrono::hours(1));
  gsm.OnDisconnected = nullptr;  // the modem does not come back
  List({"600100200"});
  ASSERT_TRUE(campaign.Start());
  ASSERT_TRUE(RunToTheEnd());
  EXPECT_TRUE(campaign.Finished());
  EXPECT_FALSE(campaign.Stopped());
  ASSERT_EQ(screen.results.size(), 1u);
  EXPECT_TRUE(screen.results[0].uncertain);
  EXPECT_EQ(Recipients()[0].state, TMessageState::Uncertain);
  auto summary = journal->Summary(*campaign.JournalCampaign());
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->campaign.state, journal::TCampaignState::Finished);
}

TEST_F(CampaignTest, AResumedCampaignSendsOnlyTheRestAndAHalfSentMessageKeepsItsReference) {
  // The journal as a program killed during a campaign of two messages of two
  // parts leaves it: the first message's part 1 answered, nothing of the second.
  std::vector<journal::TRecipientEntry> entries = {{1, "600100200", "600100200", "+48600100200"},
                                                   {2, "600100201", "600100201", "+48600100201"}};
  const AnsiString longText(200, 'x');
  auto id = journal->CreateCampaign({longText, false, false, "", resultPath}, entries);
  ASSERT_TRUE(id);
  auto first = journal->TakeNext(*id, kIdentity);
  ASSERT_TRUE(first && first->has_value());
  ASSERT_TRUE(journal->RecordSubmitting({(*first)->id, 1, 2, 0x2A, kIdentity}));
  ASSERT_TRUE(journal->RecordAnswer({(*first)->id, 1, true, 9, {}}));
  text = {};  // the owner's editor is empty: the text is the journal's

  ASSERT_TRUE(campaign.Resume(*id, /*resendUncertain=*/false));
  EXPECT_EQ(screen.started, 2);
  EXPECT_EQ(campaign.ResultPath(), resultPath);
  ASSERT_TRUE(RunToTheEnd());
  EXPECT_TRUE(campaign.Finished());

  // Part 2 of the first message with its reference, then both parts of the second.
  const std::vector<std::string> pdus = sim.Pdus();
  ASSERT_EQ(pdus.size(), 3u);
  EXPECT_NE(pdus[0].find("0500032A0202"), std::string::npos) << pdus[0];
  EXPECT_EQ(pdus[1].find("0500032A"), std::string::npos) << pdus[1];
  for (const journal::TRecipientRecord& recipient : Recipients()) {
    EXPECT_EQ(recipient.state, TMessageState::Sent) << recipient.entry.number;
  }
  EXPECT_EQ(FillAt(1), kFillSent);
  EXPECT_EQ(FillAt(2), kFillSent);
}

TEST_F(CampaignTest, ResumingWithoutAJournalCampaignIsRefusedAndSendsNothing) {
  ASSERT_FALSE(campaign.Resume(5, false));
  ASSERT_EQ(screen.lines.size(), 1u);
  EXPECT_TRUE(screen.lines[0].starts_with("JournalRefused ")) << screen.lines[0];
  EXPECT_FALSE(timer1->Enabled());
  EXPECT_FALSE(gsm.Active());
}

}  // namespace
}  // namespace app
