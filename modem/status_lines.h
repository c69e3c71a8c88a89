#pragma once
// Reading the modem's power ("+CBC"), signal ("+CSQ") and status report
// ("+CDS") lines out of an answer.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <string>
#include <string_view>
#include <vector>

namespace modem {

struct PowerReading {
  bool acPower = false;   // powered from outside
  int batteryStatus = 0;  // charge level as the modem reports it
};

// A "+CBC: <bcs>,<bcl>" line: external power when the first field is "1";
// the level of the second field, 0 when it is not a number.
PowerReading ReadPowerLine(std::string_view line);

// A "+CSQ: <rssi>,<ber>" line as a percentage from 0 to 100 (99, "not known",
// gives 0; a value that is not a number gives 0).
int SignalPercent(std::string_view line);

struct StatusItem {
  enum class Kind { Power, Signal, StatusReport };
  Kind kind;
  std::string line;  // the "+CBC"/"+CSQ" line, or the PDU line of a report
};

// Every power, signal and status report line of the text, in order. A
// "+CDS" line counts only when a line (its PDU) follows it.
std::vector<StatusItem> ScanStatusLines(std::string_view text);

}  // namespace modem
