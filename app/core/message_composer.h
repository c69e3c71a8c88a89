#pragma once
// What a typed text becomes: the text the editor shows after a
// normalisation (both character filters, less the first "ęęłęó"), the text a
// campaign sends, and the number of message parts it takes (counted by the
// splitter the modem component uses). With Polish letters allowed the text
// keeps them and goes out in UCS-2, at 70 characters for a single part and 67
// per part of a longer one. The window's message editor and talvane-cli both
// compose through these.
//
// Threads: pure functions, no shared state.

#include "app/core/campaign_text.h"

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

}  // namespace app
