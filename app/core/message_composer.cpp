#include "app/core/message_composer.h"

#include <string>

#include "app/core/sms_filters.h"
#include "app/window/zo_tools.h"
#include "modem/message_parts.h"
#include "modem/zogsm_settings.h"
#include "platform/text.h"

namespace app {
namespace {

// Removed from the editor's text at every normalisation (its first occurrence).
const AnsiString& HiddenSequence() {
  static const AnsiString sequence = Ansi("ęęłęó");
  return sequence;
}

// Parts per concatenated message in the counter (the campaign sends groups of ten).
constexpr int kCountingMergeMax = 20;

// Polish letters kept, and every other character the editor could not show a
// question mark: the first filter's GSM positions are control codes, which
// the same filter turns into question marks the second time.
AnsiString ShowableWithPolish(const AnsiString& polish) { return SmsFilterPolish(polish); }

}  // namespace

AnsiString NormalisedEditorText(const AnsiString& typed, bool polishLetters) {
  AnsiString polish = SmsFilterPolish(typed);
  if (const size_t at = polish.find(HiddenSequence()); at != AnsiString::npos) {
    polish.erase(at, HiddenSequence().size());
  }
  return polishLetters ? ShowableWithPolish(polish) : SmsFilterPlain(polish);
}

AnsiString CampaignTextOf(const AnsiString& typed, bool polishLetters) {
  const AnsiString polish = SmsFilterPolish(typed);
  return platform::TrimControl(polishLetters ? ShowableWithPolish(polish) : polish);
}

int MessagePartCount(const AnsiString& text, bool ucs2) {
  modem::SplitRequest request;
  // Any valid destination does: the count depends on the text alone.
  request.recipient.destination = std::string(modem::kCountryPrefix) + "123456789";
  request.text = text;
  request.mergeMax = kCountingMergeMax;
  request.forceUcs2 = ucs2;
  std::uint8_t reference = 0;
  return static_cast<int>(modem::SplitIntoParts(request, reference).size());
}

TMessageComposer::TMessageComposer(const TfrmMainView& view, platform::Timer& timer2)
    : view_(view), timer2_(timer2) {
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
  timer2_.SetEnabled(false);
  view_.Memo2->SetText(view_.Memo1->Text());
  NoteLimitReached();
  ShowNormalised();
}

void TMessageComposer::ShowNormalised() {
  TEditor& memo = *view_.Memo1;
  memo.BeginUpdate();
  const int caret = memo.SelStart();
  memo.SetText({});
  const AnsiString shown = NormalisedEditorText(view_.Memo2->Text(), PolishLetters());
  memo.SetText(shown);

  view_.Label6->SetCaption("SMS: " + std::to_string(MessagePartCount(shown, PolishLetters())));
  view_.Label7->SetCaption("Znak: " + std::to_string(memo.Text().size()));

  memo.SetSelStart(caret);
  memo.EndUpdate();
  // Clearing and refilling the editor restarted the timer: this is not a
  // change of the user's.
  timer2_.SetEnabled(false);
}

void TMessageComposer::NoteLimitReached() {
  const int limit = view_.Memo1->MaxLength();
  const bool atLimit = limit > 0 && static_cast<int>(view_.Memo2->Text().size()) >= limit;
  // The editor drops whatever goes past its limit, typed or pasted, without
  // a sound: the operator would send a text cut short unawares.
  if (atLimit && !limitNoted_) {
    view_.LogMemo->AppendLine(Ansi("Uwaga! tekst wiadomości osiągnął najdłuższą dozwoloną długość (") +
                              std::to_string(limit) + Ansi("): dłuższy tekst zostaje obcięty"));
  }
  limitNoted_ = atLimit;
}

void TMessageComposer::FlushPendingNormalisation() {
  if (timer2_.Enabled()) Timer2Timer();
}

TCampaignText TMessageComposer::CampaignText() {
  FlushPendingNormalisation();
  return {CampaignTextOf(view_.Memo2->Text(), PolishLetters()), PolishLetters()};
}

bool TMessageComposer::PolishLetters() const { return view_.CheckBox4->Checked(); }

void TMessageComposer::CheckBox4Click() {
  // The raw text copy still holds the letters the editor folded, so they come back.
  if (timer2_.Enabled()) {
    Timer2Timer();
  } else {
    ShowNormalised();
  }
  view_.Memo1->SetFocus();
}

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
