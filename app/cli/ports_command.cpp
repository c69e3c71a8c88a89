// talvane-cli ports: the serial ports of this machine, one a line, in the
// order the modem component lists them.

#include <iostream>

#include "app/cli/command.h"
#include "modem/zogsm.h"
#include "platform/headless_main_loop.h"

namespace cli {
namespace {

int RunPorts(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::cerr << "usage: talvane-cli ports\n";
    return 2;
  }
  platform::HeadlessMainLoop loop;
  const modem::TZoGSM gsm(loop);
  for (const std::string& port : gsm.PortList()) std::cout << port << "\n";
  return 0;
}

const CommandRegistration registration({"ports", "ports                      list the serial ports", RunPorts});

}  // namespace
}  // namespace cli
