#pragma once
// Preparing an outgoing text (the program's Windows-1250 text): Polish
// letters to plain Latin letters so the text can travel in 7 bits, and line
// breaks to spaces.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <string_view>

#include "platform/codepage.h"

namespace sms {

// Each of ĄĆĘŁŃÓŚŻŹąćęłńóśżź replaced by ACELNOSZZacelnoszz; every other
// character unchanged.
platform::AnsiString Transliterate(std::string_view text);

// Each CR LF pair replaced by one space; a lone CR or LF stays.
platform::AnsiString ReplaceLineBreaks(std::string_view text);

}  // namespace sms
