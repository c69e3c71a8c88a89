#pragma once
// The meaning of the "+CMS ERROR: <n>" codes a modem answers a submission
// with: the network's causes (3GPP TS 24.011, below 128) and the modem's own
// (TS 27.005, 300 and above), the common ones in the words the user reads.
//
// Threads: pure functions over a constant table; safe from any thread.

#include <optional>
#include <string_view>

#include "platform/codepage.h"

namespace modem {

// The code of the first "+CMS ERROR: <n>" in a modem's answer; nothing when
// there is none or its value is not a number.
std::optional<int> CmsErrorCode(std::string_view answer);

// "kod +CMS 38: sieć nie działa" for a code of the table, "kod +CMS 999" for
// any other (program text, Windows-1250).
platform::AnsiString CmsErrorText(int code);

}  // namespace modem
