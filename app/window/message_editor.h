#pragma once
// The message editor of the main window. Three hundred milliseconds after the
// last change of the editor (Timer2) the typed text is normalised: the text as
// typed is kept in the hidden raw text copy (Memo2), the editor gets the
// composed text with the caret where it was, and the counters show the number
// of message parts and of characters. The flash option limits the text to 150
// characters. With Polish letters allowed ("Zezwalaj na używanie polskich
// znaków") the editor keeps them and the text goes out in UCS-2.
//
// Main thread only.

#include "app/core/campaign_text.h"
#include "app/core/message_composer.h"
#include "app/window/frm_main_view.h"
#include "platform/main_loop.h"

namespace app {

class TMessageEditor {
 public:
  // Binds the editor, the two option boxes and Timer2 (the view and the
  // timer outlive the composer).
  TMessageEditor(const TfrmMainView& view, platform::Timer& timer2);
  ~TMessageEditor();
  TMessageEditor(const TMessageEditor&) = delete;
  TMessageEditor& operator=(const TMessageEditor&) = delete;

  // Memo1 changed: white background, Timer2 restarted.
  void Memo1Change();
  // Timer2 fired: the normalisation.
  void Timer2Timer();
  // Runs the normalisation now when a change is still waiting for it.
  void FlushPendingNormalisation();
  // The text the campaign sends now: a waiting normalisation is run first, so
  // that nothing typed within the last 300 ms is left out.
  TCampaignText CampaignText();
  // "Zezwalaj na używanie polskich znaków" is ticked.
  bool PolishLetters() const;
  // A continued campaign's text and options, as the journal holds them, so
  // that the operator sees what goes out (the campaign sends the journal's
  // text whatever the editor holds).
  void Show(const TCampaignText& text);

  void CheckBox4Click();  // "Zezwalaj na używanie polskich znaków"
  void CheckBox5Click();  // "Wyślij jako FLASH SMS"

 private:
  void SetLimits(int limit);
  // Steps 3 to 9 of a normalisation: the editor and the counters from the
  // raw text copy.
  void ShowNormalised();
  // The log says once when the editor's limit has cut the text.
  void NoteLimitReached();

  TfrmMainView view_;
  platform::Timer& timer2_;
  bool limitNoted_ = false;
};

}  // namespace app
