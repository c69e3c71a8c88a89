#pragma once
// What a campaign sends: the text and whether it goes out in UCS-2 (Polish
// letters kept) rather than with them folded to plain ones.
//
// Threads: a plain value.

#include "app/core/view_types.h"

namespace app {

struct TCampaignText {
  AnsiString text;  // the program's text, trimmed
  bool ucs2 = false;
};

}  // namespace app
