// talvane-modemsim: a simulated GSM modem on a pseudo-terminal. Prints the
// port's path on its first line, logs the traffic on stderr, and serves until
// SIGINT or SIGTERM.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "tools/modemsim/incoming_script.h"
#include "tools/modemsim/modem_simulator.h"
#include "talvane_version.h"

namespace {

constexpr const char* kUsage =
    "usage: talvane-modemsim [options]\n"
    "  --signal RSSI[,BER]       the answer to AT+CSQ (default 17,99)\n"
    "  --battery STATUS,CHARGE   the answer to AT+CBC (default 0,85)\n"
    "  --reference N             the next message reference (default 0)\n"
    "  --store PDU               a received, unread message in the SIM memory (repeatable)\n"
    "  --fault KIND PREFIX       a fault for commands beginning with PREFIX (repeatable);\n"
    "                            KIND: silence, error, cms:N, cme:N, delay:MS, drop,\n"
    "                            drop-after:MS (the answer, then the line drops MS later),\n"
    "                            final-only (the final result code alone: AT+CMGS answered\n"
    "                            \"OK\" without \"+CMGS: n\"), held (the answer held back until\n"
    "                            the next command, and sent before its answer), lost (the\n"
    "                            command carried out, for AT+CMGS the message accepted by the\n"
    "                            network, and the line drops before the answer),\n"
    "                            with '@prompt' (AT+CMGS: at the prompt, not after the message),\n"
    "                            '*N' (only the next N commands) and '+N' (after N commands\n"
    "                            it lets pass), e.g. cms:38*1 or held*1+1\n"
    "  --network-log FILE        append a line per submission the network accepted, tab-separated:\n"
    "                            accepted, destination, message reference, concatenation\n"
    "                            reference, part, parts ('-' for a single part), PDU\n"
    "  --imei N                  the answer to AT+CGSN (default 351234567890125)\n"
    "  --imsi N                  the answer to AT+CIMI (default 260011234567890)\n"
    "  --bare-prompt             the prompt \"> \" without the CR LF before it\n"
    "  --quiet                   no traffic log on stderr\n"
    "  --version                 the version\n";

bool ParseFault(std::string text, modemsim::Fault& fault) {
  if (const size_t plus = text.find('+'); plus != std::string::npos) {
    fault.skip = std::atoi(text.c_str() + plus + 1);
    text.erase(plus);
  }
  if (const size_t star = text.find('*'); star != std::string::npos) {
    fault.times = std::atoi(text.c_str() + star + 1);
    text.erase(star);
  }
  if (const size_t at = text.find("@prompt"); at != std::string::npos) {
    fault.atPrompt = true;
    text.erase(at);
  }
  const size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  const int argument = colon == std::string::npos ? 0 : std::atoi(text.c_str() + colon + 1);
  if (kind == "silence") fault.kind = modemsim::FaultKind::Silence;
  else if (kind == "error") fault.kind = modemsim::FaultKind::Error;
  else if (kind == "cms") fault.kind = modemsim::FaultKind::CmsError, fault.code = argument;
  else if (kind == "cme") fault.kind = modemsim::FaultKind::CmeError, fault.code = argument;
  else if (kind == "delay") fault.kind = modemsim::FaultKind::Delay, fault.delayMs = argument;
  else if (kind == "drop") fault.kind = modemsim::FaultKind::DropLine;
  else if (kind == "drop-after") fault.kind = modemsim::FaultKind::DropAfterAnswer, fault.delayMs = argument;
  else if (kind == "final-only") fault.kind = modemsim::FaultKind::FinalOnly;
  else if (kind == "held") fault.kind = modemsim::FaultKind::HeldUntilNextCommand;
  else if (kind == "lost") fault.kind = modemsim::FaultKind::Lost;
  else return false;
  return true;
}

// Two numbers "a,b" (the second optional when `second` has a default).
bool ParsePair(const std::string& text, int& first, int& second) {
  char* end = nullptr;
  first = static_cast<int>(std::strtol(text.c_str(), &end, 10));
  if (end == text.c_str()) return false;
  if (*end == ',') second = static_cast<int>(std::strtol(end + 1, &end, 10));
  return *end == '\0';
}

int Fail(const std::string& message) {
  std::cerr << "talvane-modemsim: " << message << "\n" << kUsage << modemsim::IncomingScript::Usage();
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  modemsim::ModemSimulator modem;
  modemsim::IncomingScript incoming;
  bool quiet = false;
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    const bool hasValue = i + 1 < args.size();
    if (option == "--quiet") {
      quiet = true;
    } else if (option == "--bare-prompt") {
      modem.SetBarePrompt(true);
    } else if (option == "--help" || option == "-h") {
      std::cout << kUsage << modemsim::IncomingScript::Usage();
      return 0;
    } else if (option == "--version") {
      std::cout << TALVANE_VERSION_TEXT "\n";
      return 0;
    } else if (option == "--signal" && hasValue) {
      int rssi = 0, ber = 99;
      if (!ParsePair(args[++i], rssi, ber)) return Fail("bad --signal");
      modem.WithModem([&](modemsim::AtInterpreter& m) { m.SetSignal(rssi, ber); });
    } else if (option == "--battery" && hasValue) {
      int status = 0, charge = -1;
      if (!ParsePair(args[++i], status, charge) || charge < 0) return Fail("bad --battery");
      modem.WithModem([&](modemsim::AtInterpreter& m) { m.SetBattery(status, charge); });
    } else if (option == "--reference" && hasValue) {
      const int reference = std::atoi(args[++i].c_str());
      modem.WithModem([&](modemsim::AtInterpreter& m) { m.SetNextReference(reference); });
    } else if (option == "--store" && hasValue) {
      const std::string pdu = args[++i];
      if (modemsim::TpduLength(pdu) < 0) return Fail("bad PDU for --store");
      modem.WithModem([&](modemsim::AtInterpreter& m) { m.StoreMessage("SM", {0, pdu}); });
    } else if (option == "--network-log" && hasValue) {
      if (std::string error; !modem.SetNetworkLogFile(args[++i], &error)) return Fail(error);
    } else if ((option == "--imei" || option == "--imsi") && hasValue) {
      const std::string number = args[++i];
      if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return Fail("bad " + option);
      modem.WithModem([&](modemsim::AtInterpreter& m) {
        modemsim::Identity identity = m.GetIdentity();
        (option == "--imei" ? identity.imei : identity.imsi) = number;
        m.SetIdentity(identity);
      });
    } else if (option == "--fault" && i + 2 < args.size()) {
      modemsim::Fault fault;
      if (!ParseFault(args[i + 1], fault)) return Fail("bad fault kind " + args[i + 1]);
      modem.SetFault(args[i + 2], fault);
      i += 2;
    } else if (std::string error; incoming.TakeOption(args, i, error)) {
      if (!error.empty()) return Fail(error);
    } else {
      return Fail("unknown or incomplete option " + option);
    }
  }
  if (!quiet) {
    modem.SetLog([](const std::string& line) {
      std::fprintf(stderr, "modemsim: %s\n", line.c_str());
      std::fflush(stderr);
    });
  }

  // The signals are taken by sigwait below, not by a handler: block them
  // before the serving thread starts so that it inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::string error;
  if (!modem.Start(&error)) {
    std::cerr << "talvane-modemsim: " << error << "\n";
    return 1;
  }
  std::cout << modem.PortPath() << std::endl;  // the first line, flushed
  incoming.Start(modem);

  int signal = 0;
  sigwait(&stopSignals, &signal);
  incoming.Stop();
  modem.Stop();
  return 0;
}
