#include "platform/text.h"

#include <charconv>

namespace platform {

namespace {

std::string_view Trim(std::string_view text, std::string_view characters) {
  const size_t first = text.find_first_not_of(characters);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(characters);
  return text.substr(first, last - first + 1);
}

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string_view TrimBlanks(std::string_view text) { return Trim(text, " \t"); }
std::string_view TrimLine(std::string_view text) { return Trim(text, " \t\r\n"); }

std::string TrimControl(std::string_view text) {
  while (!text.empty() && IsControlOrBlank(text.front())) text.remove_prefix(1);
  return TrimRightControl(text);
}

std::string TrimRightControl(std::string_view text) {
  while (!text.empty() && IsControlOrBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
    result.append(text.substr(start, at - start));
    result.append(to);
    start = at + from.size();
  }
  result.append(text.substr(start));
  return result;
}

std::optional<int> ParseInt(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  return ParseStrictInt(text);
}

int ToIntDef(std::string_view text, int fallback) { return ParseInt(text).value_or(fallback); }

std::optional<int> ParseSettingInt(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return ParseStrictInt(text);
}

std::optional<int> ParseStrictInt(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<long long> ParseLeadingInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // from_chars takes "-" only
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

}  // namespace platform
