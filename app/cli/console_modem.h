#pragma once
// What the talvane-cli subcommands that talk to a modem share: the modem
// component with the settings of the program's working instance on a port,
// its message boxes and events on the console, and a run of the main loop
// that ends on its own condition, on Ctrl-C or after a time limit.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "modem/zogsm.h"
#include "platform/dialogs.h"
#include "platform/headless_main_loop.h"

namespace cli {

// Message boxes of the modem component on the console: one line
// "talvane-cli COMMAND: text" on stderr; a question is answered "no".
class ConsoleDialogs final : public platform::Dialogs {
 public:
  explicit ConsoleDialogs(std::string_view command) : command_(command) {}
  platform::DialogResult ShowMessage(const std::string& text, const std::string& caption, platform::DialogIcon icon,
                                     platform::DialogButtons buttons) override;

 private:
  std::string command_;
};

// From now on Ctrl-C (SIGINT) and SIGTERM end the command's work as the
// user's "stop" instead of the program; Interrupted() says whether one came.
void CatchInterrupts();
bool Interrupted();

// One value of an event line: UTF-8, control characters written as escapes
// so that the event stays on one line, an empty text as "".
std::string Value(const std::string& ansi);
std::string Value(bool value);
std::string Value(int value);

void Print(const std::string& line);

template <typename... Values>
void PrintEvent(const char* name, const Values&... values) {
  std::string line = name;
  ((line += " " + Value(values)), ...);
  Print(line);
}

// Every event of the component printed, one line each; the lines of the
// modem traffic indented under their OnAfterComRx.
void PrintEveryEvent(modem::TZoGSM& gsm);

enum class SessionEnd {
  Done,
  Interrupted,
  TimedOut,
  NoConnection,  // the port did not open or no modem answered on it (said on stderr)
};

struct ModemSession {
  std::string_view command;  // the command's name in error lines ("sms")
  std::string port;          // empty for a session that picks its ports itself
  std::chrono::seconds limit{10};
  // Binds events and settings before the component is activated.
  std::function<void(modem::TZoGSM&, platform::HeadlessMainLoop&)> setUp = nullptr;
  // Starts the work once the component is active; empty: the connection
  // request, with automatic reconnection on.
  std::function<void(modem::TZoGSM&)> start = nullptr;
  // Checked while the main loop runs; the session ends once it holds.
  std::function<bool()> done = [] { return false; };
};

// Runs the working instance on the session's port: activates it, starts the
// work (by default: connects, automatic reconnection on), runs the main loop
// until done, Ctrl-C (SIGINT, SIGTERM) or the limit, then disconnects and
// deactivates it. The component's message boxes go to stderr. A session that
// connects by default first checks that its port opens (PortOpens), ends as
// soon as the first connection attempt fails, and ends NoConnection when it
// never connected, having said so ("talvane-cli COMMAND: no connection with a
// modem on PORT").
SessionEnd RunModemSession(const ModemSession& session);

// Opens `port` once and lets it go again, so that a port that does not exist,
// is not a serial device or may not be used fails at once with the reason on
// stderr ("talvane-cli COMMAND: cannot open PORT: ..."), with a hint about the
// dialout group where permission was denied. True when the port opened.
bool PortOpens(const std::string& port, std::string_view command);

}  // namespace cli
