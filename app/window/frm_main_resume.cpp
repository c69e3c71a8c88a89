// TfrmMain: earlier campaigns of the journal. At start-up an unfinished
// campaign is offered for continuing; at "WYŚLIJ" a text that already went
// to some of the list's numbers is not sent to them again unless the
// operator says so. Messages in doubt (they may have reached their
// recipients) go out again only when the operator answers yes to a question
// whose default is no.

#include <filesystem>

#include "app/core/campaign.h"
#include "app/core/same_list.h"
#include "app/window/campaign_questions.h"
#include "app/window/frm_main.h"
#include "app/window/message_editor.h"
#include "app/window/zo_tools.h"
#include "journal/sqlite_journal.h"

namespace app {

namespace {

const AnsiString& Caption() {
  static const AnsiString caption = Ansi(" PYTANIE");
  return caption;
}

AnsiString ContinuedLine(const TUnfinishedCampaign& unfinished, int numbersLeft, bool resend) {
  AnsiString line = Ansi("Kontynuacja wysyłki z ") + CampaignTimeText(unfinished.campaign.created) +
                    Ansi(": do wysłania ") + std::to_string(numbersLeft);
  const std::string uncertain = std::to_string(unfinished.uncertain.size());
  if (unfinished.uncertain.empty()) return line;
  return line + (resend ? Ansi(", w tym ponownie niepewne: ") + uncertain
                        : Ansi(", niepewne nie zostaną wysłane ponownie: ") + uncertain);
}

}  // namespace

void TfrmMain::OfferUnfinishedCampaign() {
  if (startupQuestionDone_) return;
  startupQuestionDone_ = true;
  journal::TCampaignJournal* journal = ExistingJournal();
  if (journal == nullptr) return;
  const std::optional<TUnfinishedCampaign> unfinished = NewestUnfinishedCampaign(*journal);
  if (!unfinished) return;
  // A campaign another program (a talvane-cli, a second window) sends now is
  // not this window's to continue.
  if (!journal->Claim(unfinished->campaign.id)) return;
  if (QuestionBox(ResumeQuestion(*unfinished, zoGSM1_->ComPort()), Caption()) != platform::DialogResult::Yes) return;
  ContinueCampaign(*unfinished);
}

journal::TCampaignJournal* TfrmMain::ExistingJournal() {
  if (journal_) return journal_.get();
  // No journal yet: nothing to continue, and none is made before a campaign.
  const std::filesystem::path file = journal::TSqliteJournal::DefaultFile();
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return nullptr;
  auto opened = journal::TSqliteJournal::Open(file);
  if (!opened) return nullptr;
  journal_ = std::move(*opened);
  return journal_.get();
}

bool TfrmMain::ContinueCampaign(const TUnfinishedCampaign& unfinished) {
  const bool resend =
      !unfinished.uncertain.empty() &&
      CautiousQuestionBox(ResendUncertainQuestion(unfinished.uncertain), Caption()) == platform::DialogResult::Yes;
  if (!PrepareCampaign()) return false;
  if (!campaign_->Resume(unfinished.campaign.id, resend)) return false;
  // The list, the result workbook and the text are the continued campaign's now.
  const journal::TNewCampaign& continued = unfinished.campaign.campaign;
  messageEditor_->Show({continued.text, continued.ucs2, continued.flash});
  inputFilePath_ = unfinished.campaign.campaign.sourceFile;
  resultFilePath_ = unfinished.campaign.campaign.resultFile;
  telList_.Clear();
  if (!numberList_.Empty()) {
    telList_.Fill(numberList_.Numbers());
    telList_.ShowAt(10, 10);
    telList_.SelectHeader();
  }
  campaignScreen_->LogLine(ContinuedLine(unfinished, numberList_.Count(), resend));
  return true;
}

bool TfrmMain::SettleEarlierSends() {
  const AnsiString text = messageEditor_->CampaignText().text;
  if (text.empty() || numberList_.Empty()) return true;  // the start refuses or sends nothing
  // A journal that cannot answer cannot record the campaign either: its start stops it.
  const auto found = FindAlreadyTexted(*journal_, text, numberList_.Numbers());
  if (!found || found->empty()) return true;

  TSameListFinding finding{.earlier = found->front().earlier.campaign, .listed = numberList_.Count()};
  for (const TAlreadyTexted& earlier : *found) finding.texted += static_cast<int>(earlier.numbers.size());

  for (const TAlreadyTexted& earlier : *found) {
    const std::optional<TUnfinishedCampaign> unfinished = UnfinishedCampaign(*journal_, earlier.earlier.campaign.id);
    if (!unfinished) continue;
    const platform::DialogResult answer = QuestionBox(ContinueEarlierQuestion(finding, *unfinished), Caption());
    if (answer == platform::DialogResult::Yes) ContinueCampaign(*unfinished);
    if (answer != platform::DialogResult::No) return false;
    break;  // the newest unfinished one is offered, not every one
  }
  if (finding.texted < finding.listed) {
    const platform::DialogResult answer = QuestionBox(OnlyNewNumbersQuestion(finding), Caption());
    if (answer == platform::DialogResult::Yes) {
      campaign_->SetAlreadyTexted(AlreadyTextedNumbers(*found));
      return true;
    }
    if (answer != platform::DialogResult::No) return false;
  }
  return CautiousQuestionBox(EverybodyAgainQuestion(finding), Caption()) == platform::DialogResult::Yes;
}

}  // namespace app
