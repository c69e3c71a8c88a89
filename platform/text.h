#pragma once
// General helpers for the program's 8-bit text: trims, searches, and the
// integer readers, one per rule the program needs.
//
// Threads: pure functions, safe from any thread.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Two meanings of trimming: blanks (space and tab), and control characters
// (every byte up to and including the space: blanks, CR, LF, NUL, ...).
// TrimLine removes blanks, CR and LF.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimLine(std::string_view text);
std::string TrimControl(std::string_view text);
std::string TrimRightControl(std::string_view text);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// A whole decimal integer that fits an int, with an optional sign ("+" or
// "-") and blanks around it, or nothing: what a person or a modem writes.
std::optional<int> ParseInt(std::string_view text);
int ToIntDef(std::string_view text, int fallback);
// Leading spaces, an optional sign, then digits to the end (no trailing
// blanks), as the system's string-to-integer conversion reads the settings.
std::optional<int> ParseSettingInt(std::string_view text);
// Digits only, with an optional "-", and nothing else: a number the program
// itself wrote (a command parameter, a colour index).
std::optional<int> ParseStrictInt(std::string_view text);
// The number at the start of the text (optional sign), whatever follows it
// ("12abc" is 12), as the Windows profile functions read integers.
std::optional<long long> ParseLeadingInteger(std::string_view text);

}  // namespace platform
