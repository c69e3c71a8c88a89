// talvane-cli probe [PORT...]: the first of the given ports (all serial ports
// of the machine when none is given) on which a modem answers "AT" with "OK",
// or nothing. A serial port alone (the UART of a PC) is no modem.

#include <iostream>

#include "app/cli/command.h"
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
  const std::vector<std::string> ports = args.empty() ? platform::ListSerialPorts() : args;
  for (const std::string& port : ports) {
    if (ModemAnswers(port)) {
      std::cout << port << "\n";
      break;
    }
  }
  return 0;
}

const CommandRegistration registration({"probe", "probe [PORT...]            the first port where a modem answers AT",
                                        RunProbe});

}  // namespace
}  // namespace cli
