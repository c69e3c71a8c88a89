// talvane-cli search [--ports P1,P2,...]: the modem component's search for
// a modem over the serial ports of this machine (in natural order) or over
// the given ports (in the given order). Each progress report is a line
// "progress port found"; when a modem answered, its port is the last line.
// Exit status 0 when a modem was found, 1 when none was, 2 on bad arguments.

#include <iostream>
#include <optional>
#include <sstream>

#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "modem/modem_search.h"
#include "platform/port_list.h"

namespace cli {
namespace {

constexpr const char* kUsage = "search [--ports P1,P2,...]";
// A port without a modem costs one connection attempt of the engine, a few
// seconds; the limit only guards against a search that never reports.
constexpr int kSecondsPerPort = 60;

struct SearchOptions {
  std::optional<std::vector<std::string>> ports;  // none: the machine's serial ports
};

std::optional<std::vector<std::string>> SplitPorts(const std::string& list) {
  std::vector<std::string> ports;
  std::stringstream stream(list);
  std::string port;
  while (std::getline(stream, port, ',')) {
    if (port.empty()) return std::nullopt;
    ports.push_back(port);
  }
  if (ports.empty() || list.back() == ',') return std::nullopt;
  return ports;
}

std::optional<SearchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  SearchOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--ports") {
      error = "unknown option '" + args[i] + "'";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "option --ports needs a value";
      return std::nullopt;
    }
    options.ports = SplitPorts(args[++i]);
    if (!options.ports) {
      error = "--ports wants port names separated by commas, none of them empty";
      return std::nullopt;
    }
  }
  return options;
}

int RunSearch(const std::vector<std::string>& args) {
  std::string error;
  const std::optional<SearchOptions> options = ParseOptions(args, error);
  if (!options) {
    std::cerr << "talvane-cli search: " << error << "\nusage: talvane-cli " << kUsage << "\n";
    return 2;
  }
  int found = -1;
  std::string foundPort;
  bool started = false;
  const size_t portCount = options->ports ? options->ports->size() : platform::ListSerialPorts().size();
  ModemSession session;
  session.limit = std::chrono::seconds(10 + kSecondsPerPort * static_cast<int>(portCount));
  session.setUp = [&](modem::TZoGSM& gsm, platform::HeadlessMainLoop&) {
    if (options->ports) {
      gsm.Search().SetPortList(*options->ports);
    } else {
      gsm.RefreshComPorts();
    }
    gsm.OnSearchProgress = [&](modem::TZoGSM&, int progress, const std::string& port, int result) {
      std::cout << progress << " " << port << " " << result << std::endl;
      if (result == 1) foundPort = port;
      if (result != -1) found = result;
    };
  };
  session.start = [&](modem::TZoGSM& gsm) {
    gsm.SearchModem();
    started = gsm.Searching();
  };
  session.done = [&] { return !started || found != -1; };
  const SessionEnd end = RunModemSession(session);
  if (!started) {
    std::cerr << "talvane-cli search: no serial ports to search\n";
    return 1;
  }
  if (found == 1) {
    std::cout << foundPort << std::endl;
    return 0;
  }
  if (end == SessionEnd::Interrupted) std::cerr << "talvane-cli search: interrupted\n";
  if (end == SessionEnd::TimedOut) std::cerr << "talvane-cli search: no answer from the search in time\n";
  return 1;
}

const CommandRegistration registration({"search", "search [--ports P1,P2,...]  find the port of a modem", RunSearch});

}  // namespace
}  // namespace cli
