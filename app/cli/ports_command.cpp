// talvane-cli ports: the serial ports of this machine, one a line, in the
// order the modem component lists them.

#include <iostream>
#include <optional>

#include "app/cli/command.h"
#include "app/cli/options.h"
#include "modem/zogsm.h"
#include "platform/headless_main_loop.h"

namespace cli {
namespace {

int RunPorts(const std::vector<std::string>& args) {
  OptionParser parser("ports", "The serial ports of this machine, one a line, in natural order.");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  platform::HeadlessMainLoop loop;
  const modem::TZoGSM gsm(loop);
  for (const std::string& port : gsm.PortList()) std::cout << port << "\n";
  return 0;
}

const CommandRegistration registration({"ports", "ports                      list the serial ports", RunPorts});

}  // namespace
}  // namespace cli
