#include "modem/capabilities.h"

#include <algorithm>
#include <vector>

#include "modem/text_fields.h"
#include "modem/text_lines.h"

namespace modem {

void ResetCapabilities(CapabilityTable& table, bool autoModemInit) {
  table.ATCNMI.Available = false;
  table.ATCLIP.Available = false;
  table.ATCMMS.Available = false;
  table.ATCBC.Available = false;
  table.ATCSQ.Available = false;
  table.ATCIND.Available = false;
  table.ATCMER.Available = false;
  table.ATCMGF.Available = false;
  if (autoModemInit) {
    for (std::string* command : {&table.ATCNMI.Command, &table.ATCLIP.Command, &table.ATCMMS.Command,
                                 &table.ATCBC.Command, &table.ATCSQ.Command, &table.ATCIND.Command,
                                 &table.ATCMER.Command, &table.ATCMGF.Command}) {
      *command = "AT";
    }
  } else {
    table.ATCBC.Command = "AT+CBC";
    table.ATCSQ.Command = "AT+CSQ";
  }
}

std::string OneDigitMode(std::string_view response, std::string_view prefix) {
  const std::vector<std::string> lines = SplitLines(response);
  std::string text;
  const auto found = std::find_if(lines.begin(), lines.end(),
                                  [&](const std::string& line) { return StartsWith(line, prefix); });
  if (found != lines.end()) {
    text = found->size() > prefix.size() + 1 ? found->substr(prefix.size() + 1) : std::string();
  } else if (!lines.empty()) {
    text = lines.back();
  }
  SplitAt(text, "(");
  std::string group = SplitAt(text, ")");
  if (Contains(group, "-")) SplitAt(group, "-");  // a range keeps its upper end
  for (int i = 0; i < 2; ++i) {
    const size_t comma = group.find(',');
    if (comma != std::string::npos) group.erase(0, comma + 1);
  }
  if (group.size() != 1) return {};
  const char c = group[0];
  const int digit = (c >= '0' && c <= '9') ? c - '0' : 0;
  return std::to_string(std::min(digit, 1));
}

namespace {

// The most groups an indication answer is read for, and the most numbers a
// range of one group is written out to (enough for every digit test below).
constexpr size_t kIndicationGroups = 10;
constexpr int kRangeNumbers = 256;

// "low-high" as "low,low+1,...,high," ; anything else as it is.
std::string ExpandRange(const std::string& content) {
  if (!Contains(content, "-")) return content;
  std::string rest = content;
  const int low = ToIntDef(SplitAt(rest, "-"), 0);
  const int high = std::min(ToIntDef(rest, 0), low + kRangeNumbers - 1);
  std::string list;
  for (int n = low; n <= high; ++n) list += std::to_string(n) + ",";
  return list;
}

std::string Choose(const std::string& group) {
  if (Contains(group, "2")) return "2";
  if (Contains(group, "1")) return "1";
  return "0";
}

}  // namespace

std::optional<TATCNMI> IndicationCapability(std::string_view response, bool disableAutoRxSMS) {
  const auto opening = std::count(response.begin(), response.end(), '(');
  const auto closing = std::count(response.begin(), response.end(), ')');
  if (opening != closing) return std::nullopt;
  std::string text(response);
  std::replace(text.begin(), text.end(), '(', '*');
  std::replace(text.begin(), text.end(), ')', '#');

  std::string joined;
  const size_t groupCount = std::min(static_cast<size_t>(opening), kIndicationGroups);
  for (size_t i = 0; i < groupCount; ++i) {
    SplitAt(text, "*");
    joined += ExpandRange(SplitAt(text, "#")) + ":";
  }

  TATCNMI record;
  const std::string mode = SplitAt(joined, ":");
  const std::string mt = SplitAt(joined, ":");
  SplitAt(joined, ":");  // the broadcast group is not used
  const std::string ds = SplitAt(joined, ":");
  const std::string bfr = SplitAt(joined, ":");
  record.Mode = Choose(mode);
  if (disableAutoRxSMS) {
    record.Mt = mt.find('1', 1) != std::string::npos ? "1" : "0";
  } else {
    record.Mt = Choose(mt);
  }
  record.Bm = "0";
  record.Ds = Contains(ds, "1") ? "1" : "0";
  record.Bfr = Contains(bfr, "1") ? "1" : "0";
  record.Command = "AT+CNMI=" + record.Mode + "," + record.Mt + "," + record.Bm + "," + record.Ds + "," + record.Bfr;
  record.Available = true;
  return record;
}

}  // namespace modem
