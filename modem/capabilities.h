#pragma once
// The capability table: which optional AT commands the modem understands and
// the exact command the engine uses for each. The engine fills it at every
// connection attempt; the component keeps it between connections and its poll
// tick reads the power and signal query commands.

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace modem {

struct TATCNMI {
  bool Available = false;
  std::string Command;
  std::string Mode, Mt, Bm, Ds, Bfr;  // one character each, or empty
};
struct TATCLIP {
  bool Available = false;
  std::string Command;
  std::string Mode;
};
struct TATCMMS {
  bool Available = false;
  std::string Command;
  std::string Mode;
};
struct TATCBC {
  bool Available = false;
  std::string Command;
};
struct TATCSQ {
  bool Available = false;
  std::string Command;
};
struct TATCIND {
  bool Available = false;
  std::string Command;
  std::array<std::string, 4> Params;
};
struct TATCMER {
  bool Available = false;
  std::string Command;
  std::array<std::string, 4> Params;
};
struct TATCMGF {
  bool Available = false;
  std::string Command;
};

struct CapabilityTable {
  TATCNMI ATCNMI;
  TATCLIP ATCLIP;
  TATCMMS ATCMMS;
  TATCBC ATCBC;
  TATCSQ ATCSQ;
  TATCIND ATCIND;
  TATCMER ATCMER;
  TATCMGF ATCMGF;
};

// The table as the engine writes it and the main thread reads it.
class SharedCapabilities {
 public:
  CapabilityTable Get() const {
    std::lock_guard lock(mutex_);
    return table_;
  }
  void Set(const CapabilityTable& table) {
    std::lock_guard lock(mutex_);
    table_ = table;
  }

 private:
  mutable std::mutex mutex_;
  CapabilityTable table_;
};

// Start of a connection attempt: nothing available; with the automatic
// initialisation every command is "AT" until a probe finds it, otherwise the
// power and signal queries are "AT+CBC" and "AT+CSQ".
void ResetCapabilities(CapabilityTable& table, bool autoModemInit);

// The mode digit of a "+CLIP"/"+CMMS" test answer: the first parenthesised
// group (upper end of a range, last item of a list), capped at 1; empty when
// the group is not one character. `prefix` is "+CLIP:" or "+CMMS:".
std::string OneDigitMode(std::string_view response, std::string_view prefix);

// The record of a successful "AT+CNMI=?" probe: the five parameters chosen
// from the answer's groups and the command built from them. Nothing when the
// answer's parentheses do not match.
std::optional<TATCNMI> IndicationCapability(std::string_view response, bool disableAutoRxSMS);

}  // namespace modem
