// The window's campaign writes ahead into the campaign journal, against the
// simulated modem: what the journal holds agrees with the result workbook,
// and a part whose record cannot be committed never reaches the modem.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/core/campaign.h"
#include "app/window/message_editor.h"
#include "app/window/window_test_fixture.h"
#include "journal/fault_vfs.h"
#include "journal/sqlite_journal.h"
#include "modem/engine_timing.h"
#include "tools/modemsim/modem_simulator.h"

namespace app {
namespace {

using journal::TMessageState;
using journal::TRecipientRecord;

// The journal of a file, whose submissions fail like a full disk once
// `failSubmissions` is set: the commit of the record itself fails.
class FailingSubmissions final : public journal::TCampaignJournal {
 public:
  explicit FailingSubmissions(std::unique_ptr<journal::TCampaignJournal> store) : store_(std::move(store)) {}

  bool failSubmissions = false;

  journal::TJournalResult<journal::TCampaignId> CreateCampaign(
      const journal::TNewCampaign& campaign, const std::vector<journal::TRecipientEntry>& recipients) override {
    return store_->CreateCampaign(campaign, recipients);
  }
  journal::TJournalStatus SetCampaignState(journal::TCampaignId campaign, journal::TCampaignState state) override {
    return store_->SetCampaignState(campaign, state);
  }
  journal::TJournalResult<std::optional<journal::TMessageJob>> TakeNext(journal::TCampaignId campaign,
                                                                        const std::string& modem) override {
    return store_->TakeNext(campaign, modem);
  }
  journal::TJournalStatus RecordSubmitting(const journal::TPartSubmission& part) override {
    if (failSubmissions) journal::testing::SetFaultPlan({1, SQLITE_FULL, 0});
    auto recorded = store_->RecordSubmitting(part);
    journal::testing::SetFaultPlan({});
    return recorded;
  }
  journal::TJournalResult<TMessageState> RecordAnswer(const journal::TPartAnswer& answer) override {
    return store_->RecordAnswer(answer);
  }
  journal::TJournalStatus MarkSkipped(journal::TRecipientId recipient, const AnsiString& reason) override {
    return store_->MarkSkipped(recipient, reason);
  }
  journal::TJournalResult<journal::TRecoveryReport> Recover(journal::TCampaignId campaign) override {
    return store_->Recover(campaign);
  }
  journal::TJournalResult<int> ResendUncertain(journal::TCampaignId campaign) override {
    return store_->ResendUncertain(campaign);
  }
  journal::TJournalResult<journal::TCampaignSummary> Summary(journal::TCampaignId campaign) override {
    return store_->Summary(campaign);
  }
  journal::TJournalResult<std::vector<journal::TCampaignSummary>> Campaigns(bool unfinishedOnly) override {
    return store_->Campaigns(unfinishedOnly);
  }
  journal::TJournalResult<std::vector<TRecipientRecord>> Recipients(journal::TCampaignId campaign) override {
    return store_->Recipients(campaign);
  }
  journal::TJournalResult<std::vector<journal::TEarlierSend>> EarlierSends(const AnsiString& text,
                                                                           const std::vector<std::string>& numbers,
                                                                           int days) override {
    return store_->EarlierSends(text, numbers, days);
  }

 private:
  std::unique_ptr<journal::TCampaignJournal> store_;
};

class CampaignJournal : public testing::WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator.Start());
    Start();
    form->UseStartPort(simulator.PortPath());
    resultFile = env.folder / "lista_out.xls";
  }

  void ImportAndCompose(const std::vector<std::string>& numbers, const std::string& text) {
    TResultWorkbook& results = form->ResultWorkbook();
    results.Create();
    form->SetResultFilePath(resultFile.string());
    TListBox& rows = *tel.View().ListBox1;
    rows.Clear();
    rows.Add(Ansi(" L.p.\tNumer telefonu"));
    for (const std::string& number : numbers) {
      form->NumberList().Add(ListRecipient(number));
      rows.Add(std::to_string(rows.Count()) + "\t" + number);
    }
    results.WriteList(form->NumberList());
    results.SaveAs(resultFile.string());
    tel.frmTelList.Show();
    form->ApplicationIdle();
    view.Memo1.SetText(Ansi(text));
    form->MessageEditor().FlushPendingNormalisation();
  }

  std::vector<TRecipientRecord> Recipients() {
    auto opened = journal::TSqliteJournal::Open(journalFile);
    EXPECT_TRUE(opened) << platform::AnsiToUtf8(opened.Error().text);
    if (!opened || !form->Campaign().JournalCampaign()) return {};
    auto recipients = (*opened)->Recipients(*form->Campaign().JournalCampaign());
    EXPECT_TRUE(recipients);
    return recipients ? *recipients : std::vector<TRecipientRecord>{};
  }

  modem::timing::ScopedTimingScale fast{0.05};
  modemsim::ModemSimulator simulator;
  std::filesystem::path resultFile;
  std::filesystem::path journalFile = env.ProgramDir() / "journal.sqlite";
};

TEST_F(CampaignJournal, EveryRecipientOfAFinishedCampaignIsInTheJournalAsTheResultWorkbookColoursIt) {
  ImportAndCompose({"600100200", "60010020a", "600100201"}, std::string(200, 'x'));  // two parts each
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return form->Campaign().Finished(); }, std::chrono::seconds(120)));

  const std::vector<TRecipientRecord> recipients = Recipients();
  ASSERT_EQ(recipients.size(), 3u);
  const std::vector<std::string> rows = testing::ResultRows(resultFile);
  ASSERT_EQ(rows.size(), 3u);
  for (size_t i = 0; i < recipients.size(); ++i) {
    const TRecipientRecord& recipient = recipients[i];
    SCOPED_TRACE(recipient.entry.number);
    EXPECT_EQ(recipient.entry.row, static_cast<int>(i) + 1);
    const bool sent = recipient.state == TMessageState::Sent;
    EXPECT_EQ(rows[i], recipient.entry.number + (sent ? "\tgreen" : "\tred"));
    if (!sent) continue;
    EXPECT_EQ(recipient.parts, 2);
    EXPECT_EQ(recipient.modem, "351234567890125/260011234567890");  // the simulated modem's IMEI/IMSI
    ASSERT_EQ(recipient.partLog.size(), 2u);
    for (const journal::TPartRecord& part : recipient.partLog) {
      EXPECT_EQ(part.state, journal::TPartState::Sent);
      EXPECT_TRUE(part.reference.has_value());
    }
  }
  std::map<std::string, TMessageState> states;
  for (const TRecipientRecord& recipient : recipients) states[recipient.entry.number] = recipient.state;
  EXPECT_EQ(states, (std::map<std::string, TMessageState>{{"600100200", TMessageState::Sent},
                                                          {"600100201", TMessageState::Sent},
                                                          {"60010020a", TMessageState::Skipped}}));
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 4);
}

TEST_F(CampaignJournal, APartWhoseRecordCannotBeCommittedNeverReachesTheModemAndTheCampaignStops) {
  journal::TSqliteJournalOptions options;
  options.vfs = journal::testing::FaultVfsName();
  auto store = journal::TSqliteJournal::Open(journalFile, options);
  ASSERT_TRUE(store);
  auto failing = std::make_unique<FailingSubmissions>(std::move(*store));
  failing->failSubmissions = true;
  form->UseJournal(std::move(failing));
  ImportAndCompose({"600100200", "600100201"}, "Promocja tylko dzisiaj");

  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return form->Campaign().Stopped(); }, std::chrono::seconds(120)));

  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
  bool toldWhy = false;
  for (int i = 0; i < view.LogMemo.LineCount(); ++i) {
    toldWhy = toldWhy || view.LogMemo.Line(i).starts_with(Ansi("Wysyłka przerwana: dziennik wysyłki - "));
  }
  EXPECT_TRUE(toldWhy);
  // Nothing went out: nobody is in doubt, and nobody is counted sent.
  for (const TRecipientRecord& recipient : Recipients()) {
    EXPECT_EQ(recipient.state, TMessageState::Queued) << recipient.entry.number;
    EXPECT_TRUE(recipient.partLog.empty());
  }
  for (const std::string& row : testing::ResultRows(resultFile)) EXPECT_EQ(row.find("green"), std::string::npos) << row;
}

TEST_F(CampaignJournal, ADamagedJournalStopsTheCampaignBeforeAnythingIsSentAndIsLeftAsItWas) {
  const std::string damaged = "not a journal, but somebody's file";
  {
    std::ofstream(journalFile) << damaged;
  }
  ImportAndCompose({"600100200"}, "Promocja tylko dzisiaj");
  Click(view.BitBtn3);
  form->ApplicationIdle();

  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_TRUE(env.dialogs.Boxes()[0].text.starts_with(Ansi("Nie można rozpocząć wysyłki: ")));
  EXPECT_FALSE(form->Timer1().Enabled());
  EXPECT_FALSE(form->ZoGSM1().Active());
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
  std::ifstream in(journalFile);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
}

}  // namespace
}  // namespace app
