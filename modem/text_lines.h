#pragma once
// Text as lines, the way the component's string lists see it: a text is split
// at CR, LF or CR LF, and a list's text is every line followed by CR LF.
// Also the small conversions the component and engine use on modem answers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modem {

inline constexpr std::string_view kCrLf = "\r\n";

// Lines of a text: a line ends at CR, LF or CR LF; a final line end does not
// start another line ("a\r\n" is one line, "" none, "\r\n" one empty line).
std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Without leading and trailing blanks and control characters (every
// character up to and including the space).
std::string TrimControl(std::string_view text);
std::string TrimRightControl(std::string_view text);

// A decimal integer (optional sign, surrounding blanks allowed), or nothing.
std::optional<int> ParseInt(std::string_view text);
int ToIntDef(std::string_view text, int fallback);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace modem
