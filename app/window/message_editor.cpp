#include "app/window/message_editor.h"

#include <string>

#include "app/window/zo_tools.h"

namespace app {

TMessageEditor::TMessageEditor(const TfrmMainView& view, platform::Timer& timer2)
    : view_(view), timer2_(timer2) {
  view_.Memo1->OnChange = [this] { Memo1Change(); };
  view_.CheckBox4->OnClick = [this] { CheckBox4Click(); };
  view_.CheckBox5->OnClick = [this] { CheckBox5Click(); };
  timer2_.OnTimer = [this] { Timer2Timer(); };
}

TMessageEditor::~TMessageEditor() {
  view_.Memo1->OnChange = nullptr;
  view_.CheckBox4->OnClick = nullptr;
  view_.CheckBox5->OnClick = nullptr;
  timer2_.OnTimer = nullptr;
  timer2_.SetEnabled(false);
}

void TMessageEditor::Memo1Change() {
  view_.Memo1->SetColor(clWhite);
  timer2_.SetEnabled(false);
  timer2_.SetEnabled(true);
}

void TMessageEditor::Timer2Timer() {
  timer2_.SetEnabled(false);
  view_.Memo2->SetText(view_.Memo1->Text());
  NoteLimitReached();
  ShowNormalised();
}

void TMessageEditor::ShowNormalised() {
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

void TMessageEditor::NoteLimitReached() {
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

void TMessageEditor::FlushPendingNormalisation() {
  if (timer2_.Enabled()) Timer2Timer();
}

TCampaignText TMessageEditor::CampaignText() {
  FlushPendingNormalisation();
  return {CampaignTextOf(view_.Memo2->Text(), PolishLetters()), PolishLetters()};
}

bool TMessageEditor::PolishLetters() const { return view_.CheckBox4->Checked(); }

void TMessageEditor::Show(const TCampaignText& text) {
  view_.Memo1->SetText(text.text);
  // Setting a box runs its reaction: the editor shows the text as the
  // options make it.
  view_.CheckBox4->SetChecked(text.ucs2);
  view_.CheckBox5->SetChecked(text.flash);
  FlushPendingNormalisation();
}

void TMessageEditor::CheckBox4Click() {
  // The raw text copy still holds the letters the editor folded, so they come back.
  if (timer2_.Enabled()) {
    Timer2Timer();
  } else {
    ShowNormalised();
  }
  view_.Memo1->SetFocus();
}

void TMessageEditor::CheckBox5Click() {
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

void TMessageEditor::SetLimits(int limit) {
  view_.Memo1->SetMaxLength(limit);
  view_.Memo2->SetMaxLength(limit);
}

}  // namespace app
