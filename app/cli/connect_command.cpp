// talvane-cli connect: connects the modem component to a port with the
// settings of the program's working instance and prints every event it
// raises, one line each; the lines of the modem traffic are indented under
// their OnAfterComRx.

#include <atomic>
#include <csignal>
#include <iostream>
#include <optional>
#include <sstream>

#include "app/cli/command.h"
#include "modem/instance_settings.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/headless_main_loop.h"

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

// One value of an event line: UTF-8, control characters written as escapes
// so that the event stays on one line, an empty text as "".
std::string Value(const std::string& ansi) {
  if (ansi.empty()) return "\"\"";
  std::string text;
  for (char c : platform::AnsiToUtf8(ansi)) {
    switch (c) {
      case '\r': text += "\\r"; break;
      case '\n': text += "\\n"; break;
      case '\t': text += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < ' ') {
          static const char* digits = "0123456789ABCDEF";
          text += "\\x";
          text += digits[(c >> 4) & 0xF];
          text += digits[c & 0xF];
        } else {
          text += c;
        }
    }
  }
  return text;
}

std::string Value(bool value) { return value ? "true" : "false"; }
std::string Value(int value) { return std::to_string(value); }

void Print(const std::string& line) { std::cout << line << std::endl; }

template <typename... Values>
void PrintEvent(const char* name, const Values&... values) {
  std::string line = name;
  ((line += " " + Value(values)), ...);
  Print(line);
}

void BindEvents(modem::TZoGSM& gsm) {
  using modem::TZoGSM;
  gsm.OnConnecting = [](TZoGSM&) { PrintEvent("OnConnecting"); };
  gsm.OnDisconnected = [](TZoGSM&) { PrintEvent("OnDisconnected"); };
  gsm.OnGSMActivate = [](TZoGSM&) { PrintEvent("OnGSMActivate"); };
  gsm.OnGSMDeActivate = [](TZoGSM&) { PrintEvent("OnGSMDeActivate"); };
  gsm.OnQuietError = [](TZoGSM& sender) { PrintEvent("OnQuietError", sender.ErrorText()); };
  gsm.OnAfterComRx = [](TZoGSM&, const std::vector<std::string>& lines) {
    Print("OnAfterComRx");
    for (const std::string& entry : lines) {
      // An entry may hold several lines of the modem's answer.
      const std::vector<std::string> parts = modem::SplitLines(entry);
      if (parts.empty()) Print("  ");
      for (const std::string& part : parts) Print("  " + (part.empty() ? std::string() : Value(part)));
    }
  };
  gsm.OnNewSMS = [](TZoGSM&, const std::string& pdu, const std::string& text, const std::string& telNr,
                    const std::string& recipient, bool isUdh, modem::TUDHinfo& info, const std::string& timeStamp,
                    bool statusReport) {
    PrintEvent("OnNewSMS", pdu, text, telNr, recipient, isUdh, info.aRef, info.aTot, info.aNum, info.Delivered,
               info.Status, timeStamp, statusReport);
  };
  gsm.OnRing = [](TZoGSM&, const std::string& nrTel) { PrintEvent("OnRing", nrTel); };
  gsm.OnAfterSend = [](TZoGSM&, std::string& marker, const std::string& nrTel, int& status, const std::string& text,
                       int ref, int partNr, int total, bool waitReport) {
    PrintEvent("OnAfterSend", marker, nrTel, status, text, ref, partNr, total, waitReport);
  };
  gsm.OnCheckSignalPower = [](TZoGSM&, int signal, bool acPower, int battery, const std::string& kind) {
    PrintEvent("OnCheckSignalPower", signal, acPower, battery, kind);
  };
  gsm.OnGetModelGSM = [](TZoGSM&, const std::string& model, const std::string& imei, const std::string& bios,
                         int simCapacity, int phoneCapacity) {
    PrintEvent("OnGetModelGSM", model, imei, bios, simCapacity, phoneCapacity);
  };
  gsm.OnSendProgress = [](TZoGSM&, int queue) { PrintEvent("OnSendProgress", queue); };
  gsm.OnSearchProgress = [](TZoGSM&, int progress, const std::string& port, int found) {
    PrintEvent("OnSearchProgress", progress, port, found);
  };
  gsm.OnSecretSMS = [](TZoGSM&, const std::string& text, const std::string& from) {
    PrintEvent("OnSecretSMS", text, from);
  };
  gsm.OnSMSMemoryFull = [](TZoGSM&) { PrintEvent("OnSMSMemoryFull"); };
  gsm.OnGetPhoneBook = [](TZoGSM&) { PrintEvent("OnGetPhoneBook"); };
  gsm.OnNewQuestion = [](TZoGSM&, const std::string& question, const std::string& text, const std::string& number) {
    PrintEvent("OnNewQuestion", question, text, number);
  };
  gsm.OnCallBusy = [](TZoGSM&, bool busy, modem::TCallStatus status) {
    PrintEvent("OnCallBusy", busy, static_cast<int>(status));
  };
}

// Message boxes of the component, on the console.
class ConsoleDialogs final : public platform::Dialogs {
 public:
  platform::DialogResult ShowMessage(const std::string& text, const std::string&, platform::DialogIcon,
                                     platform::DialogButtons buttons) override {
    std::cerr << "talvane-cli: " << platform::AnsiToUtf8(text) << std::endl;
    return buttons == platform::DialogButtons::Ok ? platform::DialogResult::Ok : platform::DialogResult::Cancel;
  }
};

std::atomic<bool> interrupted{false};

int RunConnect(const std::vector<std::string>& args) {
  std::string error;
  const std::optional<ConnectOptions> options = ParseOptions(args, error);
  if (!options) {
    std::cerr << "talvane-cli connect: " << error << "\nusage: talvane-cli " << kUsage << "\n";
    return 2;
  }
  std::signal(SIGINT, [](int) { interrupted = true; });
  std::signal(SIGTERM, [](int) { interrupted = true; });

  ConsoleDialogs dialogs;
  platform::InstallDialogs(&dialogs);
  platform::HeadlessMainLoop loop;
  bool wasConnected = false;
  {
    modem::TZoGSM gsm(loop);
    modem::ApplyWorkingInstanceSettings(gsm);
    gsm.SetComPort(options->port);
    BindEvents(gsm);
    gsm.OnConnected = [&](modem::TZoGSM& sender) {
      PrintEvent("OnConnected");
      if (wasConnected) return;
      wasConnected = true;
      // The commands go out once the connection is reported, in the order given.
      loop.Post([&sender, commands = options->commands] {
        for (const std::string& command : commands) sender.SetATCommand(command);
      });
    };
    gsm.SetActive(true);
    gsm.SetSuppressAutoReconnect(false);
    gsm.SetConnected(true);
    loop.RunUntil([] { return interrupted.load(); }, std::chrono::seconds(options->seconds));
    if (gsm.Connected()) {
      gsm.SetConnected(false);
      loop.RunUntil([&] { return !gsm.Connected(); }, std::chrono::seconds(10));
    }
    gsm.SetActive(false);
  }
  platform::InstallDialogs(nullptr);
  return wasConnected ? 0 : 1;
}

const CommandRegistration registration({"connect", kUsage, RunConnect});

}  // namespace
}  // namespace cli
