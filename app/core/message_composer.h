#pragma once
// The message editor of the main window. Three hundred milliseconds after the
// last change of the editor (Timer2) the typed text is normalised: the text as
// typed is kept in the hidden raw text copy (Memo2), the editor gets the text
// passed through both character filters, less the first "ęęłęó", with the
// caret where it was, and the counters show the number of message parts
// (counted by the part-counting modem component) and of characters. The
// flash option limits the text to 150 characters.
//
// Main thread only.

#include "app/window/frm_main_view.h"
#include "modem/zogsm.h"
#include "platform/main_loop.h"

namespace app {

// Editor limits: at start, with the flash option on, after it was switched off.
inline constexpr int kMessageStartLimit = 1224;
inline constexpr int kFlashMessageLimit = 150;
inline constexpr int kMessageLimit = 4500;

// The editor's text after a normalisation of `typed`.
AnsiString NormalisedEditorText(const AnsiString& typed);

// The text a campaign sends for the raw text copy `typed`: Polish letters
// kept (the modem component transliterates them), blanks and control
// characters removed at both ends.
AnsiString CampaignTextOf(const AnsiString& typed);

class TMessageComposer {
 public:
  // Binds the editor, the two option boxes and Timer2 (the view and the
  // timer outlive the composer).
  TMessageComposer(const TfrmMainView& view, platform::Timer& timer2, modem::TZoGSM& partCounter);
  ~TMessageComposer();
  TMessageComposer(const TMessageComposer&) = delete;
  TMessageComposer& operator=(const TMessageComposer&) = delete;

  // Memo1 changed: white background, Timer2 restarted.
  void Memo1Change();
  // Timer2 fired: the normalisation.
  void Timer2Timer();
  // Runs the normalisation now when a change is still waiting for it.
  void FlushPendingNormalisation();
  // The text the campaign sends now: a waiting normalisation is run first, so
  // that nothing typed within the last 300 ms is left out.
  AnsiString CampaignText();

  void CheckBox4Click();  // "Zezwalaj na używanie polskich znaków"
  void CheckBox5Click();  // "Wyślij jako FLASH SMS"

 private:
  void SetLimits(int limit);

  TfrmMainView view_;
  platform::Timer& timer2_;
  modem::TZoGSM& partCounter_;
};

}  // namespace app
