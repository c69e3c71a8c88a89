#pragma once
// What a campaign sends: the text, whether it goes out in UCS-2 (Polish
// letters kept) rather than with them folded to plain ones, and whether as a
// flash message.
//
// Threads: a plain value.

#include "app/core/view_types.h"

namespace app {

struct TCampaignText {
  AnsiString text;  // the program's text, trimmed
  bool ucs2 = false;
  bool flash = false;  // shown at once, not stored (class 0)
};

}  // namespace app
