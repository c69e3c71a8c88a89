// talvane-cli connect: connects the modem component to a port with the
// settings of the program's working instance and prints every event it
// raises, one line each; the lines of the modem traffic are indented under
// their OnAfterComRx.

#include <iostream>
#include <optional>

#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "app/cli/options.h"
#include "platform/codepage.h"

namespace cli {
namespace {

constexpr const char* kUsage = "connect --port PORT [--seconds N] [--at COMMAND]...";

struct ConnectOptions {
  std::string port;
  int seconds = 10;
  std::vector<std::string> commands;
};

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, ConnectOptions& options) {
  OptionParser parser(kUsage, "Connects to a modem and prints every event of the component, one a line.");
  parser.Text("--port PORT", options.port, "the modem's serial port", Presence::Required);
  parser.Number("--seconds N", options.seconds, {.min = 1}, "how long to stay connected (10 when not given)");
  parser.Repeated("--at COMMAND", options.commands, "a command sent once connected (UTF-8)");
  const std::optional<int> status = parser.Parse(args);
  for (std::string& command : options.commands) command = platform::Utf8ToAnsi(command);
  return status;
}

int RunConnect(const std::vector<std::string>& args) {
  ConnectOptions options;
  if (const std::optional<int> status = ParseOptions(args, options)) return *status;
  bool wasConnected = false;
  ModemSession session;
  session.command = "connect";
  session.port = options.port;
  session.limit = std::chrono::seconds(options.seconds);
  session.setUp = [&](modem::TZoGSM& gsm, platform::HeadlessMainLoop& loop) {
    PrintEveryEvent(gsm);
    gsm.OnConnected = [&wasConnected, &options, mainLoop = &loop](modem::TZoGSM& sender) {
      PrintEvent("OnConnected");
      if (wasConnected) return;
      wasConnected = true;
      // The commands go out once the connection is reported, in the order given.
      mainLoop->Post([&sender, commands = options.commands] {
        for (const std::string& command : commands) sender.SetATCommand(command);
      });
    };
  };
  return RunModemSession(session) == SessionEnd::NoConnection ? 1 : 0;
}

const CommandRegistration registration({"connect", kUsage, RunConnect});

}  // namespace
}  // namespace cli
