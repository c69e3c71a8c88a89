#pragma once
// Text as lines, the way the component's string lists see it: a text is split
// at CR, LF or CR LF, and a list's text is every line followed by CR LF.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace modem {

inline constexpr std::string_view kCrLf = "\r\n";

// Lines of a text: a line ends at CR, LF or CR LF; a final line end does not
// start another line ("a\r\n" is one line, "" none, "\r\n" one empty line).
std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// The general text helpers live in platform/text.h; the component and the
// engine use them by their short names.
using platform::Contains;
using platform::ParseInt;
using platform::ReplaceAll;
using platform::StartsWith;
using platform::ToIntDef;
using platform::TrimControl;
using platform::TrimRightControl;

}  // namespace modem
