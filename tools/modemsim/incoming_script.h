#pragma once
// Network events given on the talvane-modemsim command line: messages,
// status reports, rings and indicator events, played one after the other
// once the modem has been told to pass messages on (AT+CNMI=...), so that a
// program connecting to it meets them as it would meet a real network.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/modemsim/modem_simulator.h"

namespace modemsim {

class IncomingScript {
 public:
  IncomingScript() = default;
  ~IncomingScript() { Stop(); }
  IncomingScript(const IncomingScript&) = delete;
  IncomingScript& operator=(const IncomingScript&) = delete;

  // The options below, for the program's usage text.
  static const char* Usage();

  // Takes the option at args[i] with its value when it is one of the
  // script's (advancing i); false when it is not. A bad value sets `error`.
  bool TakeOption(const std::vector<std::string>& args, size_t& i, std::string& error);

  // Plays the events on a thread of its own; Stop() ends it.
  void Start(ModemSimulator& modem);
  void Stop();

 private:
  struct Event {
    enum class Kind { Message, Report, Ring, Indicator } kind;
    std::string text;  // the PDU, the caller, or the report's recipient
    int first = 0;     // the report's reference, the indicator
    int second = 0;    // the report's status, the indicator's value
  };

  void Play(ModemSimulator& modem);
  // Waits `milliseconds` unless stopped; false once stopped.
  bool Wait(int milliseconds);

  std::vector<Event> events_;
  int afterMs_ = 3000;
  int everyMs_ = 1000;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stop_ = false;
};

}  // namespace modemsim
