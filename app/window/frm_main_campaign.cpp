// TfrmMain: the send campaign ("WYŚLIJ", the send step, the message results,
// "Zatrzymaj") and what it shows in the window.

#include "app/core/campaign.h"
#include "app/window/frm_main.h"
#include "app/window/import_display.h"
#include "app/window/message_editor.h"
#include "app/window/campaign_settings.h"
#include "app/window/zo_tools.h"
#include "journal/sqlite_journal.h"

namespace app {

namespace {

// The campaign as the window shows it: status bar panels 1 to 3, the
// progress gauge, the activity log, the phone list window and the counters.
class TWindowCampaignScreen final : public TCampaignScreen {
 public:
  TWindowCampaignScreen(const TfrmMainView& view, TfrmTelList& telList) : view_(view), telList_(telList) {}

  void EmptyText() override {
    view_.Memo1->SetColor(clRed);
    ErrorBox(Ansi("Nie wprowadzono żadnej treści wiadomości SMS !!!     "), Ansi(" BŁĄD !"));
    view_.Memo1->SetFocus();
  }

  void JournalRefused(const AnsiString& reason) override {
    ErrorBox(Ansi("Nie można rozpocząć wysyłki: ") + reason, Ansi(" BŁĄD !"));
  }

  void Started(int numbers) override {
    ShowGauge();
    view_.StatusBar1->SetPanelText(3, Ansi("trwa wysyłanie, czekaj..."));
    view_.StatusBar1->Repaint();
    view_.Gauge1->SetRange(view_.Gauge1->MinValue(), numbers);
  }

  void Stepped(int queued, int numbersLeft) override {
    ShowGauge();
    view_.StatusBar1->Repaint();
    view_.StatusBar1->SetPanelText(2, "kol [" + std::to_string(queued) + "," + std::to_string(numbersLeft) + "]");
  }

  void NumberTaken(const modem::TRecipient&) override {
    if (!telList_.Visible()) return;
    TListBox& rows = *telList_.View().ListBox1;
    if (rows.Count() > 1) rows.Delete(1);  // the others keep their numbering
    if (rows.Count() == 1) telList_.Close();
  }

  void SendingTo(const modem::TRecipient& recipient) override {
    view_.StatusBar1->SetPanelText(3, Ansi("trwa wysyłanie do: ") + recipient.destination);
  }

  void LogLine(const AnsiString& line) override { view_.LogMemo->AppendLine(line); }

  void MessageCompleted(const TMessageResult& result, int completed) override {
    view_.Gauge1->SetProgress(completed);
    if (result.sent) view_.StatusBar1->SetPanelText(3, Ansi("wysłano pomyślnie do: ") + result.recipient.destination);
  }

  void Finished(int sent, int notSent) override {
    view_.StatusBar1->SetPanelText(
        3, notSent == 0 ? Ansi("Wysyłka zakończona pomyślnie !") : FinishedWithFailuresText(sent, notSent));
  }

  bool ConfirmStop() override {
    return QuestionBox(Ansi("Chesz zakończyć wysyłanie wiadomości ?   "), Ansi(" PYTANIE")) ==
           platform::DialogResult::Yes;
  }

  void Stopped() override {
    view_.Gauge1->SetVisible(false);
    view_.Gauge1->SetProgress(0);
    view_.StatusBar1->SetPanelText(2, "kol [-,-]");
    view_.StatusBar1->SetPanelText(3, "");
    view_.Gauge2->SetProgress(0);
    view_.Gauge3->SetProgress(0);
    ResetPhoneCounters(view_);
    telList_.Close();
    view_.Edit1->SetText("");
  }

 private:
  void ShowGauge() {
    view_.StatusBar1->SetPanelStyle(1, TPanelStyle::OwnerDraw);
    view_.Gauge1->SetVisible(true);
  }

  TfrmMainView view_;
  TfrmTelList& telList_;
};

}  // namespace

void TfrmMain::CreateCampaign() {
  campaignScreen_ = std::make_unique<TWindowCampaignScreen>(view_, telList_);
  campaign_ = std::make_unique<TCampaign>(
      std::vector<modem::TZoGSM*>{zoGSM1_.get()}, *timer1_, numberList_, resultWorkbook_, resultFilePath_,
      [this] { return messageEditor_->CampaignText(); }, *campaignScreen_);
  actWyslij_.OnExecute = [this] { actWyslijExecute(); };
  actZatrzymaj_.OnExecute = [this] { actZatrzymajExecute(); };
  timer1_->OnTimer = [this] { campaign_->Step(); };
  zoGSM1_->OnPartReport = [this](modem::TZoGSM& sender, const modem::TPartReport& report) {
    campaign_->PartReported(sender, report);
  };
}

void TfrmMain::actWyslijExecute() {
  startupQuestionDone_ = true;
  if (!PrepareCampaign()) return;
  if (!SettleEarlierSends()) return;
  campaign_->Start();
}

bool TfrmMain::PrepareCampaign() {
  // The check boxes of the settings page decide the polling of this campaign.
  zoGSM1_->SetCanCheckSignal(view_.CheckBox1->Checked());
  zoGSM1_->SetCanCheckPower(view_.CheckBox2->Checked());
  UseChosenPort();
  campaign_->SetNoModemLimit(NoModemLimitSetting());
  if (!OpenJournal()) return false;
  campaign_->SetJournal(journal_.get(), inputFilePath_);
  return true;
}

void TfrmMain::UseJournal(std::unique_ptr<journal::TCampaignJournal> journal) { journal_ = std::move(journal); }

bool TfrmMain::OpenJournal() {
  if (journal_) return true;
  auto opened = journal::TSqliteJournal::Open(journal::TSqliteJournal::DefaultFile());
  if (!opened) {
    campaignScreen_->JournalRefused(opened.Error().text);
    return false;
  }
  journal_ = std::move(*opened);
  return true;
}

void TfrmMain::actZatrzymajExecute() {
  if (EndTestConnection()) return;
  if (campaign_->Stop(/*askFirst=*/!testConnection_)) testConnection_ = false;
}

int TfrmMain::SentCounter() const { return campaign_->SentCounter(); }

}  // namespace app
