#include "platform/ini_file.h"

#include <cctype>
#include <charconv>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/read_file.h"
#include "platform/text_case.h"
#include "platform/text.h"

namespace platform {
namespace {

// The name of a "[section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

// For a "key=value" line: the key and the value, both trimmed.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() == ';') return false;
  const size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return false;
  key = TrimBlanks(trimmed.substr(0, equals));
  value = TrimBlanks(trimmed.substr(equals + 1));
  return true;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
  const std::optional<std::string> text = ReadWholeFile(path_);
  existed_ = text.has_value();
  if (!text) return;
  std::string_view rest = *text;
  lineEnd_ = rest.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  while (!rest.empty()) {
    const size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
  }
}

IniFile::Section IniFile::FindSection(std::string_view section) const {
  Section found;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name) continue;
    if (found.header != kNone) {  // the first section of that name ends here
      found.end = i;
      return found;
    }
    if (EqualsNoCase(*name, section)) found.header = i;
  }
  found.end = lines_.size();
  return found;
}

size_t IniFile::FindKey(const Section& section, std::string_view key, std::string_view* value) const {
  if (section.header == kNone) return kNone;
  for (size_t i = section.header + 1; i < section.end; ++i) {
    std::string_view lineKey;
    std::string_view lineValue;
    if (SplitKeyLine(lines_[i], lineKey, lineValue) && EqualsNoCase(lineKey, key)) {
      if (value) *value = lineValue;
      return i;
    }
  }
  return kNone;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::string_view value;
  if (FindKey(FindSection(section), key, &value) == kNone) return std::string(fallback);
  // A value in matching quotes is read without them.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

long long IniFile::ReadInteger(std::string_view section, std::string_view key, long long fallback) const {
  return ParseLeadingInteger(ReadString(section, key, "")).value_or(fallback);
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  return FindKey(FindSection(section), key, nullptr) != kNone;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const Section found = FindSection(section);
  if (found.header == kNone) {
    std::string header(1, '[');
    header.append(section).append("]");
    lines_.push_back(header);
    lines_.push_back(std::string(key) + "=" + std::string(value));
    return;
  }
  std::string_view oldValue;
  const size_t line = FindKey(found, key, &oldValue);
  if (line != kNone) {
    // Keep the key as it was spelt; only the value changes.
    std::string_view oldKey;
    SplitKeyLine(lines_[line], oldKey, oldValue);
    lines_[line] = std::string(oldKey) + "=" + std::string(value);
    return;
  }
  // A new key goes after the section's last non-blank line, before the blank
  // lines that separate it from the next section.
  size_t insertAt = found.end;
  while (insertAt > found.header + 1 && TrimBlanks(lines_[insertAt - 1]).empty()) --insertAt;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::string(key) + "=" + std::string(value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

bool IniFile::Save(std::string* error) const {
  std::string text;
  for (const std::string& line : lines_) text += line + lineEnd_;
  return WriteFileAtomically(path_, text, error);
}

}  // namespace platform
