#include "modem/identification_answers.h"

#include <algorithm>
#include <cctype>

#include "modem/text_fields.h"
#include "modem/text_lines.h"
#include "platform/codepage.h"
#include "sms/hex_text.h"

namespace modem {
namespace {

std::optional<std::string> FirstLine(std::string_view answer, std::string_view part, bool atStart) {
  for (std::string& line : SplitLines(answer)) {
    if (atStart ? StartsWith(line, part) : Contains(line, part)) return std::move(line);
  }
  return std::nullopt;
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

std::string IdentityNumber(std::string_view answer) {
  std::vector<std::string> lines = SplitLines(answer);
  std::erase_if(lines, [](const std::string& line) { return TrimControl(line).empty(); });
  if (lines.size() < 2 || TrimControl(lines.back()) != "OK") return {};
  std::string value = TrimControl(lines.front());
  if (StartsWith(value, "+")) {
    const size_t colon = value.find(':');
    if (colon == std::string::npos) return {};
    value = TrimControl(value.substr(colon + 1));
  }
  std::erase(value, '"');
  const bool digits = !value.empty() && std::all_of(value.begin(), value.end(), [](unsigned char c) {
    return std::isdigit(c) != 0;
  });
  return digits ? value : std::string();
}

std::string ModemIdentityText(const std::string& imei, const std::string& imsi) {
  if (imei.empty()) return {};
  return imsi.empty() ? imei : imei + "/" + imsi;
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
  // Some modems write the digits in lower case.
  std::string digits(hex);
  for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::u16string text;
  sms::AppendUcs2Hex(digits, text);
  return platform::UnicodeToAnsi(text);
}

}  // namespace modem
