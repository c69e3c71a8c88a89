// talvane-cli connect: connects the modem component to a port with the
// settings of the program's working instance and prints every event it
// raises, one line each; the lines of the modem traffic are indented under
// their OnAfterComRx.

#include <iostream>
#include <optional>

#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "modem/text_lines.h"
#include "platform/codepage.h"

namespace cli {
namespace {

constexpr const char* kUsage = "connect --port PORT [--seconds N] [--at COMMAND]...";

struct ConnectOptions {
  std::string port;
  int seconds = 10;
  std::vector<std::string> commands;
};

std::optional<ConnectOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  ConnectOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name != "--port" && name != "--seconds" && name != "--at") {
      error = "unknown option '" + name + "'";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (name == "--port") {
      options.port = value;
    } else if (name == "--seconds") {
      const std::optional<int> seconds = modem::ParseInt(value);
      if (!seconds || *seconds < 1) {
        error = "--seconds wants a whole number of seconds, at least 1";
        return std::nullopt;
      }
      options.seconds = *seconds;
    } else {
      options.commands.push_back(platform::Utf8ToAnsi(value));
    }
  }
  if (options.port.empty()) {
    error = "--port is required";
    return std::nullopt;
  }
  return options;
}

int RunConnect(const std::vector<std::string>& args) {
  std::string error;
  const std::optional<ConnectOptions> options = ParseOptions(args, error);
  if (!options) {
    std::cerr << "talvane-cli connect: " << error << "\nusage: talvane-cli " << kUsage << "\n";
    return 2;
  }
  bool wasConnected = false;
  ModemSession session;
  session.port = options->port;
  session.limit = std::chrono::seconds(options->seconds);
  session.setUp = [&](modem::TZoGSM& gsm, platform::HeadlessMainLoop& loop) {
    PrintEveryEvent(gsm);
    gsm.OnConnected = [&wasConnected, &options, mainLoop = &loop](modem::TZoGSM& sender) {
      PrintEvent("OnConnected");
      if (wasConnected) return;
      wasConnected = true;
      // The commands go out once the connection is reported, in the order given.
      mainLoop->Post([&sender, commands = options->commands] {
        for (const std::string& command : commands) sender.SetATCommand(command);
      });
    };
  };
  RunModemSession(session);
  return wasConnected ? 0 : 1;
}

const CommandRegistration registration({"connect", kUsage, RunConnect});

}  // namespace
}  // namespace cli
