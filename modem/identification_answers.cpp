#include "modem/identification_answers.h"

#include <algorithm>

#include "modem/text_fields.h"
#include "modem/text_lines.h"
#include "platform/codepage.h"

namespace modem {
namespace {

std::optional<std::string> FirstLine(std::string_view answer, std::string_view part, bool atStart) {
  for (std::string& line : SplitLines(answer)) {
    if (atStart ? StartsWith(line, part) : Contains(line, part)) return std::move(line);
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string AnswerLine(std::string_view answer, size_t number) {
  const std::vector<std::string> lines = SplitLines(answer);
  return number >= 1 && number <= lines.size() ? lines[number - 1] : std::string();
}

std::string RevisionText(std::string_view answer) {
  std::vector<std::string> lines = SplitLines(answer);
  if (!lines.empty() && lines.back() == "OK") lines.pop_back();
  return TrimRightControl(JoinLines(lines));
}

std::optional<StorageCount> ReadStorageCount(std::string_view answer, int notNumber) {
  std::optional<std::string> line = FirstLine(answer, "+CPMS:", true);
  if (!line) return std::nullopt;
  SplitAt(*line, ":");
  StorageCount count;
  count.stored = ToIntDef(SplitAt(*line, ","), notNumber);
  count.capacity = ToIntDef(SplitAt(*line, ","), notNumber);
  return count;
}

std::optional<PhonebookRange> ReadPhonebookRange(std::string_view answer, int notNumber) {
  std::optional<std::string> line = FirstLine(answer, "+CPBR", false);
  if (!line) return std::nullopt;
  PhonebookRange range;
  SplitAt(*line, "(");
  SplitAt(*line, "-");
  range.upperIndex = SplitAt(*line, ")");
  range.size = ToIntDef(range.upperIndex, 1);
  SplitAt(*line, ",");
  range.longestNumber = ToIntDef(SplitAt(*line, ","), notNumber);
  range.longestName = ToIntDef(*line, notNumber);
  return range;
}

std::optional<int> ReadPhonebookUsed(std::string_view answer) {
  std::optional<std::string> line = FirstLine(answer, "+CPBS", false);
  if (!line) return std::nullopt;
  SplitAt(*line, ",");
  return ToIntDef(SplitAt(*line, ","), 1);
}

std::vector<std::string> ReadPhonebookEntries(std::string_view answer) {
  std::vector<std::string> entries;
  for (const std::string& line : SplitLines(answer)) {
    if (!StartsWith(line, "+CPBR:")) continue;
    const size_t space = line.find(' ');
    const std::string_view fields =
        space == std::string::npos ? std::string_view() : std::string_view(line).substr(space + 1);
    entries.push_back(CsvField(fields, 0) + ";" + CsvField(fields, 1) + ";" + Ucs2HexToText(CsvField(fields, 3)));
  }
  return entries;
}

std::string Ucs2HexToText(std::string_view hex) {
  std::string digits(hex);
  digits.append((4 - digits.size() % 4) % 4, '0');
  std::u16string units;
  for (size_t i = 0; i + 4 <= digits.size(); i += 4) {
    int value = 0;
    for (size_t k = 0; k < 4; ++k) {
      const int d = HexDigit(digits[i + k]);
      if (d < 0) return platform::UnicodeToAnsi(units);
      value = value * 16 + d;
    }
    units.push_back(static_cast<char16_t>(value));
  }
  return platform::UnicodeToAnsi(units);
}

}  // namespace modem
