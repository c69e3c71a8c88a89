#include "app/cli/console_modem.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iostream>

#include "app/window/modem_boxes.h"
#include "modem/instance_settings.h"
#include "modem/text_lines.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/serial_port.h"

namespace cli {
namespace {

std::atomic<bool> interrupted{false};

void NoteInterrupt(int) { interrupted = true; }

}  // namespace

platform::DialogResult ConsoleDialogs::ShowMessage(const std::string& text, const std::string&, platform::DialogIcon,
                                                   platform::DialogButtons buttons) {
  std::cerr << "talvane-cli " << command_ << ": " << platform::AnsiToUtf8(text) << std::endl;
  return buttons == platform::DialogButtons::Ok ? platform::DialogResult::Ok : platform::DialogResult::Cancel;
}

void CatchInterrupts() {
  interrupted = false;
  std::signal(SIGINT, NoteInterrupt);
  std::signal(SIGTERM, NoteInterrupt);
}

bool Interrupted() { return interrupted.load(); }

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

void PrintEveryEvent(modem::TZoGSM& gsm) {
  using modem::TZoGSM;
  gsm.OnConnecting = [](TZoGSM&) { PrintEvent("OnConnecting"); };
  gsm.OnConnected = [](TZoGSM&) { PrintEvent("OnConnected"); };
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

namespace {

// Whether the component ever connected, and whether its first attempt failed,
// noted around the handlers the session bound itself.
struct ConnectionWatch {
  bool connected = false;
  bool firstAttemptFailed = false;

  void Bind(modem::TZoGSM& gsm) {
    gsm.OnConnected = [this, bound = gsm.OnConnected](modem::TZoGSM& sender) {
      connected = true;
      if (bound) bound(sender);
    };
    gsm.OnDisconnected = [this, bound = gsm.OnDisconnected](modem::TZoGSM& sender) {
      if (!connected) firstAttemptFailed = true;
      if (bound) bound(sender);
    };
  }
};

}  // namespace

SessionEnd RunModemSession(const ModemSession& session) {
  const bool connectsItself = !session.start;
  if (connectsItself && !PortOpens(session.port, session.command)) return SessionEnd::NoConnection;
  CatchInterrupts();

  ConsoleDialogs dialogs(session.command);
  platform::HeadlessMainLoop loop;
  platform::InstallDialogs(&dialogs, &loop);
  ConnectionWatch watch;
  SessionEnd end = SessionEnd::TimedOut;
  {
    modem::TZoGSM gsm(loop);
    app::ShowModemMessagesInBoxes(gsm);
    modem::ApplyWorkingInstanceSettings(gsm);
    gsm.SetComPort(session.port);
    if (session.setUp) session.setUp(gsm, loop);
    if (connectsItself) watch.Bind(gsm);
    gsm.SetActive(true);
    if (session.start) {
      session.start(gsm);
    } else {
      gsm.SetSuppressAutoReconnect(false);
      gsm.SetConnected(true);
    }
    const auto failed = [&] { return connectsItself && watch.firstAttemptFailed; };
    loop.RunUntil([&] { return Interrupted() || session.done() || failed(); }, session.limit);
    end = session.done() ? SessionEnd::Done
          : Interrupted() ? SessionEnd::Interrupted
                          : SessionEnd::TimedOut;
    if (gsm.Connected()) {
      gsm.SetConnected(false);
      loop.RunUntil([&] { return !gsm.Connected(); }, std::chrono::seconds(10));
    }
    gsm.SetActive(false);
  }
  platform::InstallDialogs(nullptr);
  if (connectsItself && !watch.connected) {
    std::cerr << "talvane-cli " << session.command << ": no connection with a modem on " << session.port << "\n";
    return SessionEnd::NoConnection;
  }
  return end;
}

bool PortOpens(const std::string& port, std::string_view command) {
  platform::SerialPort serial;
  if (serial.Open(port) && serial.Configure(115200)) return true;
  const std::string why = serial.LastError() == ENOTTY ? "not a serial port" : serial.LastErrorText();
  // A bare name ("ttyUSB0", "COM3") means a device in /dev: say which one was tried.
  const std::string device = platform::SerialDevicePath(port);
  const std::string tried = device == port ? port : port + " (" + device + ")";
  std::cerr << "talvane-cli " << command << ": cannot open " << tried << ": " << why << "\n";
  if (serial.LastError() == EACCES || serial.LastError() == EPERM) {
    std::cerr << "  Serial ports belong to the dialout group: add yourself once with\n"
                 "  sudo usermod -aG dialout \"$USER\" and log in again.\n";
  }
  return false;
}

}  // namespace cli
