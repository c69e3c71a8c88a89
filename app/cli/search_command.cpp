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
#include "app/cli/options.h"
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

// Reads the arguments into `options`; the exit status when the command ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, SearchOptions& options) {
  OptionParser parser(kUsage, "Looks for a modem on one serial port after the other and prints the port found.");
  std::string ports;
  parser.Text("--ports P1,P2,...", ports, "the ports to try, in this order (the serial ports of the machine when not given)");
  if (const std::optional<int> status = parser.Parse(args)) return status;
  if (args.empty()) return std::nullopt;  // no --ports
  options.ports = SplitPorts(ports);
  if (!options.ports) return parser.UsageError("--ports wants port names separated by commas, none of them empty");
  return std::nullopt;
}

int RunSearch(const std::vector<std::string>& args) {
  SearchOptions options;
  if (const std::optional<int> status = ParseOptions(args, options)) return *status;
  int found = -1;
  std::string foundPort;
  bool started = false;
  const size_t portCount = options.ports ? options.ports->size() : platform::ListSerialPorts().size();
  ModemSession session;
  session.command = "search";
  session.limit = std::chrono::seconds(10 + kSecondsPerPort * static_cast<int>(portCount));
  session.setUp = [&](modem::TZoGSM& gsm, platform::HeadlessMainLoop&) {
    if (options.ports) {
      gsm.Search().SetPortList(*options.ports);
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
  if (end == SessionEnd::Done) {
    std::cerr << "talvane-cli search: no modem answered on "
              << (options.ports ? "the ports given" : "the serial ports of this machine") << "\n";
  }
  return 1;
}

const CommandRegistration registration({"search", kUsage, RunSearch});

}  // namespace
}  // namespace cli
