#pragma once
// The message editor of the main window. Three hundred milliseconds after the
// last change of the editor (Timer2) the typed text is normalised: the text as
// typed is kept in the hidden raw text copy (Memo2), the editor gets the text
// passed through both character filters, less the first "ęęłęó", with the
// caret where it was, and the counters show the number of message parts
// (counted by the splitter the modem component uses) and of characters. The
// flash option limits the text to 150 characters. With Polish letters
// allowed ("Zezwalaj na używanie polskich znaków") the editor keeps them and
// the text goes out in UCS-2, at 70 characters for a single part and 67 per
// part of a longer one.
//
// Main thread only.

#include "app/core/campaign_text.h"
#include "app/window/frm_main_view.h"
#include "platform/main_loop.h"

namespace app {

// Editor limits: at start, with the flash option on, after it was switched off.
inline constexpr int kMessageStartLimit = 1224;
inline constexpr int kFlashMessageLimit = 150;
inline constexpr int kMessageLimit = 4500;

// The editor's text after a normalisation of `typed`; with `polishLetters`
// they stay (and every other character the editor could not show is a
// question mark, as without).
AnsiString NormalisedEditorText(const AnsiString& typed, bool polishLetters = false);

// The text a campaign sends for the raw text copy `typed`: Polish letters
// kept (without `polishLetters` the modem component transliterates them),
// blanks and control characters removed at both ends. With `polishLetters`
// the text goes out in UCS-2, so it holds only characters the editor shows.
AnsiString CampaignTextOf(const AnsiString& typed, bool polishLetters = false);

// The message parts `text` takes as the counter shows them: in groups of at
// most 20 parts, in UCS-2 when `ucs2`, line breaks included.
int MessagePartCount(const AnsiString& text, bool ucs2);


class TMessageComposer {
 public:
  // Binds the editor, the two option boxes and Timer2 (the view and the
  // timer outlive the composer).
  TMessageComposer(const TfrmMainView& view, platform::Timer& timer2);
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
  TCampaignText CampaignText();
  // "Zezwalaj na używanie polskich znaków" is ticked.
  bool PolishLetters() const;

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
