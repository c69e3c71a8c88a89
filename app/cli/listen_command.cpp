// talvane-cli listen: connects to the modem with the settings of the
// program's working instance, with incoming messages and call indicators
// enabled, and prints every received message, status report, ring and call
// state as one JSON line on standard output until the time is up or Ctrl-C.
// What the connection does goes to standard error.

#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "app/cli/json_text.h"
#include "app/cli/options.h"
#include "modem/text_lines.h"
#include "platform/codepage.h"

namespace cli {
namespace {

constexpr char kUsage[] = "listen --port PORT [--seconds N] [--delete-after-read]";

// Without --seconds the session lasts until Ctrl-C.
constexpr std::chrono::seconds kUntilInterrupted = std::chrono::hours(24 * 365);

struct ListenOptions {
  std::string port;
  std::optional<int> seconds;
  bool deleteAfterRead = false;
};

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, ListenOptions& options) {
  OptionParser parser(kUsage,
                      "Prints every received message, status report, ring and call state as one JSON line.");
  parser.Text("--port PORT", options.port, "the modem's serial port", Presence::Required);
  parser.Number("--seconds N", options.seconds, {.min = 1}, "how long to listen (until Ctrl-C when not given)");
  parser.Flag("--delete-after-read", options.deleteAfterRead, "delete each message from the modem once read");
  return parser.Parse(args);
}

// A JSON value of an event field: the program's text, a flag or a number.
std::string Json(const std::string& ansi) { return JsonAnsiString(ansi); }
std::string Json(const char* text) { return Json(std::string(text)); }
std::string Json(bool value) { return value ? "true" : "false"; }
std::string Json(int value) { return std::to_string(value); }

// One event line: "event" first, then the fields in the order given.
class EventLine {
 public:
  explicit EventLine(const char* event) : line_("{\"event\":" + Json(event)) {}
  template <typename Value>
  EventLine& Add(const char* name, const Value& value) {
    line_ += ",\"" + std::string(name) + "\":" + Json(value);
    return *this;
  }
  EventLine& AddRaw(const char* name, const std::string& json) {
    line_ += ",\"" + std::string(name) + "\":" + json;
    return *this;
  }
  void Print() const { cli::Print(line_ + "}"); }

 private:
  std::string line_;
};

const char* CallStatusName(modem::TCallStatus status) {
  switch (status) {
    case modem::TCallStatus::inCall: return "inCall";
    case modem::TCallStatus::outCall: return "outCall";
    case modem::TCallStatus::connectCall: return "connectCall";
    case modem::TCallStatus::noCall: return "noCall";
    case modem::TCallStatus::connectedCall: return "connectedCall";
  }
  return "noCall";
}

void PrintNewSms(const std::string& text, const std::string& telNr, const std::string& recipient, bool isUdh,
                 const modem::TUDHinfo& info, const std::string& timeStamp, bool statusReport) {
  EventLine line("OnNewSMS");
  if (statusReport) {
    line.Add("status_report", true)
        .Add("ref", info.aRef)
        .Add("status", info.Status)
        .Add("delivered", info.Delivered)
        .Add("to", telNr)
        .Add("time", timeStamp);
  } else {
    line.Add("from", telNr).Add("text", text).Add("time", timeStamp);
    line.AddRaw("udh", isUdh ? "{\"ref\":" + Json(info.aRef) + ",\"total\":" + Json(info.aTot) +
                                   ",\"part\":" + Json(info.aNum) + "}"
                             : "null");
    line.Add("status_report", false).Add("recipient", recipient);
  }
  line.Print();
}

struct ListenState {
  bool connected = false;
};

void BindEvents(modem::TZoGSM& gsm, const ListenOptions& options, ListenState& state) {
  using modem::TZoGSM;
  gsm.SetDisableIncomingSMS(false);  // the modem is told (AT+CNMI) to pass messages on
  gsm.SetEnableCIEV(true);           // and to report call indicators (AT+CMER)
  gsm.SetDeleteSMSafterRead(options.deleteAfterRead);

  gsm.OnConnected = [&state, port = options.port](TZoGSM&) {
    state.connected = true;
    std::cerr << "talvane-cli listen: connected on " << port << ", listening" << std::endl;
  };
  gsm.OnDisconnected = [&state](TZoGSM&) {
    if (state.connected) std::cerr << "talvane-cli listen: disconnected" << std::endl;
  };
  gsm.OnQuietError = [](TZoGSM& sender) {
    if (sender.ErrorText() != "OK") std::cerr << "talvane-cli listen: " << Value(sender.ErrorText()) << std::endl;
  };
  gsm.OnNewSMS = [](TZoGSM&, const std::string&, const std::string& text, const std::string& telNr,
                    const std::string& recipient, bool isUdh, modem::TUDHinfo& info, const std::string& timeStamp,
                    bool statusReport) { PrintNewSms(text, telNr, recipient, isUdh, info, timeStamp, statusReport); };
  gsm.OnSecretSMS = [](TZoGSM&, const std::string& text, const std::string& from) {
    EventLine("OnSecretSMS").Add("from", from).Add("text", text).Print();
  };
  gsm.OnNewQuestion = [](TZoGSM&, const std::string& question, const std::string& text, const std::string& number) {
    EventLine("OnNewQuestion").Add("question", question).Add("from", number).Add("text", text).Print();
  };
  gsm.OnRing = [](TZoGSM&, const std::string& number) { EventLine("OnRing").Add("number", number).Print(); };
  gsm.OnCallBusy = [](TZoGSM&, bool busy, modem::TCallStatus status) {
    EventLine("OnCallBusy").Add("busy", busy).Add("status", CallStatusName(status)).Print();
  };
  gsm.OnSMSMemoryFull = [](TZoGSM&) { EventLine("OnSMSMemoryFull").Print(); };
}

int RunListen(const std::vector<std::string>& args) {
  ListenOptions options;
  if (const std::optional<int> status = ParseOptions(args, options)) return *status;
  ListenState state;
  const ModemSession session{
      .command = "listen",
      .port = options.port,
      .limit = options.seconds ? std::chrono::seconds(*options.seconds) : kUntilInterrupted,
      .setUp = [&](modem::TZoGSM& gsm, platform::HeadlessMainLoop&) { BindEvents(gsm, options, state); },
  };
  return RunModemSession(session) == SessionEnd::NoConnection ? 1 : 0;
}

const CommandRegistration registration({"listen", kUsage, RunListen});

}  // namespace
}  // namespace cli
