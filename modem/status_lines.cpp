#include "modem/status_lines.h"

#include <cmath>

#include "modem/text_fields.h"
#include "modem/text_lines.h"

namespace modem {
namespace {

// The line from its seventh character on: the text after "+CBC: " or "+CSQ: ".
std::string_view AfterPrefix(std::string_view line) { return line.size() > 6 ? line.substr(6) : std::string_view(); }

}  // namespace

PowerReading ReadPowerLine(std::string_view line) {
  const std::string_view values = AfterPrefix(line);
  PowerReading reading;
  reading.acPower = CsvField(values, 0) == "1";
  reading.batteryStatus = ToIntDef(CsvField(values, 1), 0);
  return reading;
}

int SignalPercent(std::string_view line) {
  int r = ToIntDef(CsvField(AfterPrefix(line).substr(0, 2), 0), 0);
  if (r == 99) return 0;
  if (r > 90) r = 1;
  double q = r;
  if (r < 9) q = r * 3;
  if (r == 9 || r == 10) q = q * 4;
  if (r == 11 || r == 12) q = q * 5.5;
  if (r == 13 || r == 14) q = q * 6;
  if (r > 14) q = q * 5;
  if (q > 100) q = 100;
  if (q < 1) q = 0;
  return static_cast<int>(std::nearbyint(q));  // halves go to the even neighbour
}

std::vector<StatusItem> ScanStatusLines(std::string_view text) {
  std::vector<StatusItem> items;
  const std::vector<std::string> lines = SplitLines(TrimControl(text));
  size_t next = 0;
  while (next < lines.size()) {
    size_t at = next;
    StatusItem::Kind kind{};
    for (; at < lines.size(); ++at) {
      const std::string& line = lines[at];
      if (Contains(line, "+CBC")) {
        kind = StatusItem::Kind::Power;
        break;
      }
      if (Contains(line, "+CSQ")) {
        kind = StatusItem::Kind::Signal;
        break;
      }
      if (Contains(line, "+CDS")) {
        kind = StatusItem::Kind::StatusReport;
        break;
      }
    }
    if (at == lines.size()) break;
    if (kind == StatusItem::Kind::StatusReport) {
      if (at + 1 == lines.size()) break;  // a report without its PDU line
      items.push_back({kind, lines[at + 1]});
    } else {
      items.push_back({kind, lines[at]});
    }
    next = at + 1;
    while (next < lines.size()) {
      const std::string trimmed = TrimControl(lines[next]);
      if (!trimmed.empty() && trimmed != "OK") break;
      ++next;
    }
  }
  return items;
}

}  // namespace modem
