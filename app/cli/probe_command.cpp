// talvane-cli probe [PORT...]: the first of the given ports (all serial ports
// of the machine when none is given) on which a modem answers "AT" with "OK",
// or nothing (exit status 1). A serial port alone (the UART of a PC) is no
// modem; a port named on the command line that cannot be opened is reported.

#include <iostream>

#include "app/cli/command.h"
#include "app/cli/console_modem.h"
#include "platform/clock.h"
#include "platform/port_list.h"
#include "platform/serial_port.h"

namespace cli {
namespace {

constexpr int kAnswerMs = 1000;

bool ModemAnswers(const std::string& port) {
  platform::SerialPort serial;
  if (!serial.Open(port) || !serial.Configure(115200)) return false;
  serial.Purge();
  if (!serial.Write("AT\r", kAnswerMs)) return false;
  std::string answer;
  const auto deadline = platform::TickCountMs() + kAnswerMs;
  while (platform::TickCountMs() < deadline && answer.find("OK") == std::string::npos) {
    answer += serial.ReadAvailable(static_cast<int>(deadline - platform::TickCountMs()));
  }
  return answer.find("OK") != std::string::npos;
}

int RunProbe(const std::vector<std::string>& args) {
  const bool named = !args.empty();
  const std::vector<std::string> ports = named ? args : platform::ListSerialPorts();
  size_t opened = 0;
  for (const std::string& port : ports) {
    if (named && !PortOpens(port, "probe")) continue;
    ++opened;
    if (ModemAnswers(port)) {
      std::cout << port << "\n";
      return 0;
    }
  }
  if (!named) std::cerr << "talvane-cli probe: no modem answered on " << (ports.empty() ? "any serial port (none found)" : "the serial ports found") << "\n";
  else if (opened == 0) return 1;  // each port has been reported
  else if (ports.size() == 1) std::cerr << "talvane-cli probe: no modem answered on " << ports.front() << "\n";
  else std::cerr << "talvane-cli probe: no modem answered on the ports given\n";
  return 1;
}

const CommandRegistration registration({"probe", "probe [PORT...]            the first port where a modem answers AT",
                                        RunProbe});

}  // namespace
}  // namespace cli
