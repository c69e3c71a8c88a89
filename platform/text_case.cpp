#include "platform/text_case.h"

namespace platform {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

namespace {
std::string_view Trim(std::string_view text, std::string_view characters) {
  const size_t first = text.find_first_not_of(characters);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(characters);
  return text.substr(first, last - first + 1);
}
}  // namespace

std::string_view TrimBlanks(std::string_view text) { return Trim(text, " \t"); }
std::string_view TrimLine(std::string_view text) { return Trim(text, " \t\r\n"); }

}  // namespace platform
