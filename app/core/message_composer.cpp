#include "app/core/message_composer.h"

#include <string>

#include "app/core/sms_filters.h"
#include "app/window/zo_tools.h"
#include "platform/text.h"

namespace app {
namespace {

// Removed from the editor's text at every normalisation (its first occurrence).
const AnsiString& HiddenSequence() {
  static const AnsiString sequence = Ansi("ęęłęó");
  return sequence;
}

// The number the part counter is given: any valid number does, it never sends.
constexpr const char* kCountingNumber = "+48123456789";

}  // namespace

AnsiString NormalisedEditorText(const AnsiString& typed) {
  AnsiString polish = SmsFilterPolish(typed);
  if (const size_t at = polish.find(HiddenSequence()); at != AnsiString::npos) {
    polish.erase(at, HiddenSequence().size());
  }
  return SmsFilterPlain(polish);
}

AnsiString CampaignTextOf(const AnsiString& typed) { return platform::TrimControl(SmsFilterPolish(typed)); }

TMessageComposer::TMessageComposer(const TfrmMainView& view, platform::Timer& timer2, modem::TZoGSM& partCounter)
    : view_(view), timer2_(timer2), partCounter_(partCounter) {
  view_.Memo1->OnChange = [this] { Memo1Change(); };
  view_.CheckBox4->OnClick = [this] { CheckBox4Click(); };
  view_.CheckBox5->OnClick = [this] { CheckBox5Click(); };
  timer2_.OnTimer = [this] { Timer2Timer(); };
}

TMessageComposer::~TMessageComposer() {
  view_.Memo1->OnChange = nullptr;
  view_.CheckBox4->OnClick = nullptr;
  view_.CheckBox5->OnClick = nullptr;
  timer2_.OnTimer = nullptr;
  timer2_.SetEnabled(false);
}

void TMessageComposer::Memo1Change() {
  view_.Memo1->SetColor(clWhite);
  timer2_.SetEnabled(false);
  timer2_.SetEnabled(true);
}

void TMessageComposer::Timer2Timer() {
  TEditor& memo = *view_.Memo1;
  timer2_.SetEnabled(false);
  view_.Memo2->SetText(memo.Text());

  memo.BeginUpdate();
  const int caret = memo.SelStart();
  memo.SetText({});
  const AnsiString shown = NormalisedEditorText(view_.Memo2->Text());
  memo.SetText(shown);

  partCounter_.SetSMSFlash(false);
  partCounter_.SetSpecialSymbols(false);
  partCounter_.SetSMSNumber(kCountingNumber);
  partCounter_.SetSMSText(shown);
  view_.Label6->SetCaption("SMS: " + std::to_string(partCounter_.TxMessageParts().size()));
  view_.Label7->SetCaption("Znak: " + std::to_string(memo.Text().size()));

  memo.SetSelStart(caret);
  memo.EndUpdate();
  // Clearing and refilling the editor restarted the timer: this is not a
  // change of the user's.
  timer2_.SetEnabled(false);
}

void TMessageComposer::FlushPendingNormalisation() {
  if (timer2_.Enabled()) Timer2Timer();
}

AnsiString TMessageComposer::CampaignText() {
  FlushPendingNormalisation();
  return CampaignTextOf(view_.Memo2->Text());
}

void TMessageComposer::CheckBox4Click() { view_.Memo1->SetFocus(); }

void TMessageComposer::CheckBox5Click() {
  TEditor& memo = *view_.Memo1;
  if (!view_.CheckBox5->Checked()) {
    SetLimits(kMessageLimit);
  } else if (static_cast<int>(memo.Text().size()) <= kFlashMessageLimit) {
    SetLimits(kFlashMessageLimit);
  } else if (QuestionBox(Ansi("Uwaga! tekst wiadomości zostanie skrócony do 150 znaków. Akceptujesz?    "),
                         Ansi(" PYTANIE")) == platform::DialogResult::Yes) {
    SetLimits(kFlashMessageLimit);
    AnsiString cut = memo.Text().substr(0, kFlashMessageLimit);
    if (!cut.empty() && cut.back() == '\r') cut.pop_back();  // never half a line break
    memo.SetText(cut);
  } else {
    view_.CheckBox5->SetChecked(false);  // runs this reaction for the unchecked box
  }
  memo.SetFocus();
}

void TMessageComposer::SetLimits(int limit) {
  view_.Memo1->SetMaxLength(limit);
  view_.Memo2->SetMaxLength(limit);
}

}  // namespace app
