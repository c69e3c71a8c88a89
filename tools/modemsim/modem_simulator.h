#pragma once
// A simulated GSM modem on a pseudo-terminal. Start() opens a pseudo-terminal
// and serves it from a thread of its own; the program under test opens
// PortPath() as its serial port. The modem behaves as a real one does: echo
// on after start and after ATZ/AT&F, verbose result codes framed by CR LF,
// "+CMS ERROR: n" answers, the "> " prompt of AT+CMGS, unsolicited result
// codes between (and, on request, inside) answers. Faults are switched on per
// command. Every method is safe from any thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/modemsim/at_interpreter.h"
#include "tools/modemsim/network_log.h"

namespace modemsim {

enum class FaultKind {
  Silence,   // no answer at all
  Error,     // "ERROR"
  CmsError,  // "+CMS ERROR: <code>"
  CmeError,  // "+CME ERROR: <code>"
  Delay,     // the normal answer, `delayMs` late; input waits meanwhile
  DropLine,  // the modem vanishes: the pseudo-terminal is closed
  // The answer's information text (for AT+CMGS the confirmation "+CMGS: n"),
  // then, `delayMs` later, the line drops before the final result code.
  DropAfterAnswer,
  // The final result code without the information text before it (for
  // AT+CMGS: "OK" without "+CMGS: n", a modem that accepted the message).
  FinalOnly,
  // The answer is held back until the next command line arrives and sent
  // before that command's own answer (for AT+CMGS: a network answer that
  // comes after the program stopped waiting for it).
  HeldUntilNextCommand,
  // The command is carried out (for AT+CMGS: the network accepts the
  // message) and the line drops before the answer, as a USB modem that
  // vanishes while the program waits for the network.
  Lost,
};

struct Fault {
  FaultKind kind = FaultKind::Error;
  int code = 0;
  int delayMs = 0;
  int times = -1;  // how many matching commands it hits; -1 every one
  // For AT+CMGS: the fault hits the prompt instead of the answer that
  // follows the message (a Delay there makes the prompt come late).
  bool atPrompt = false;
  int skip = 0;  // matching commands it lets pass before it hits
};

class ModemSimulator {
 public:
  ModemSimulator();
  ~ModemSimulator();
  ModemSimulator(const ModemSimulator&) = delete;
  ModemSimulator& operator=(const ModemSimulator&) = delete;

  // Opens a new pseudo-terminal and starts serving it. A simulator that was
  // stopped or dropped its line can be started again (on a new path).
  bool Start(std::string* error = nullptr);
  void Stop();
  bool Running() const;
  std::string PortPath() const;  // the slave device, e.g. /dev/pts/3

  // Every command line received, in order, and every text received after a
  // "> " prompt (the PDUs).
  std::vector<std::string> Commands() const;
  std::vector<std::string> Pdus() const;
  int CountCommands(const std::string& prefix) const;
  // Waits until `count` commands beginning with `prefix` have been received.
  bool WaitForCommand(const std::string& prefix, int count = 1,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  // Sends an unsolicited result code now ("\n" separates its lines).
  void SendUnsolicited(const std::string& text);
  // Puts a result code inside the next answer to a command beginning with
  // `commandPrefix`, before its final result code (for AT+CMGS: the answer
  // after the message).
  void InjectIntoAnswer(const std::string& commandPrefix, const std::string& text);
  // A message from the network, stored or delivered as AT+CNMI says.
  void ReceiveMessage(const std::string& pdu);

  // The ways real modems handle a submission (submission_behaviour.cpp).
  // A bare prompt: "> " without the CR LF many modems put before it.
  void SetBarePrompt(bool bare);
  // The modem is left at its prompt, waiting for a message of `tpduLength`
  // octets, as an earlier program that gave up may leave it: everything but
  // ESC (cancel) and Ctrl-Z (send) is taken as message text.
  void LeaveAtPrompt(int tpduLength);
  // How many prompts were cancelled with ESC.
  int CancelledPrompts() const;
  // PortPath() becomes `path`, a symbolic link that every Start() points at
  // the new pseudo-terminal: a modem that drops its line and comes back
  // appears on the same path, as a USB modem does when plugged in again.
  void SetStablePath(const std::string& path);

  // ---- More of the network's side, on demand (incoming_events.cpp) ----
  // The status report of the sent message with `reference`, routed as
  // AT+CNMI says (AtInterpreter::StatusReport); false when there is none to send.
  bool SendStatusReport(int reference, int status, const std::string& recipient = {});
  // One ring of an incoming call from `number` ("" for a withheld number).
  void Ring(const std::string& number);
  // An indicator event "+CIEV: <index>,<value>"; false when the modem was
  // not asked to report indicators (AT+CMER).
  bool SendIndicator(int index, int value);

  // What the network accepted (network_log.h), from the start; the lines are
  // also appended to `path` once it is set.
  bool SetNetworkLogFile(const std::string& path, std::string* error = nullptr);
  std::vector<std::string> NetworkLogLines() const;

  // Faults for commands beginning with `commandPrefix` (without regard to case).
  void SetFault(const std::string& commandPrefix, const Fault& fault);
  void ClearFaults();

  // The modem's state (signal, battery, memories, references, ...), changed
  // or read under the simulator's lock.
  template <typename Fn>
  auto WithModem(Fn fn) {
    std::lock_guard lock(mutex_);
    return fn(modem_);
  }

  // One line per command, answer and message, on the serving thread. It must
  // not call back into the simulator. Empty: nothing is logged.
  void SetLog(std::function<void(const std::string&)> log);

 private:
  struct Pending;  // an answer held back by a Delay fault

  void Serve();
  void Wake();
  // With mutex_ held.
  void ProcessInput(std::string& out);
  void HandleLine(const std::string& line, std::string& out);
  void HandleSubmission(const std::string& text, std::string& out);
  void Answer(const Reply& reply, const std::optional<Fault>& fault, const std::string& injection, std::string& out);
  std::string Format(const Reply& reply, const std::string& injection) const;
  std::optional<Fault> TakeFault(const std::string& line);
  std::string TakeInjection(const std::string& line);
  void WriteOut(const std::string& text);
  void DropLine();
  // The prompt as this modem sends it (submission_behaviour.cpp).
  std::string PromptText() const;
  void PointStablePath();
  void Log(const std::string& line);
  void CloseFiles();

  mutable std::mutex mutex_;
  mutable std::condition_variable commandsChanged_;
  AtInterpreter modem_;
  std::thread server_;
  int master_ = -1;
  int slave_ = -1;  // held open so that the master never sees a hang-up
  int wake_ = -1;   // eventfd: stop, or output to send
  std::string path_;
  bool running_ = false;
  bool stop_ = false;

  std::string input_;        // received, not yet processed
  std::string line_;         // the command line being typed
  bool inPrompt_ = false;    // collecting a message after "> "
  std::string submission_;   // the message being typed
  std::optional<Fault> submissionFault_;
  std::string submissionInjection_;
  std::string outgoing_;     // unsolicited codes waiting for the serving thread
  std::string heldAnswer_;   // a HeldUntilNextCommand answer
  std::unique_ptr<Pending> pending_;
  bool dropRequested_ = false;
  bool barePrompt_ = false;
  int cancelledPrompts_ = 0;
  std::string stablePath_;

  std::vector<std::string> commands_;
  std::vector<std::string> pdus_;
  std::vector<std::pair<std::string, Fault>> faults_;
  std::vector<std::pair<std::string, std::string>> injections_;
  std::function<void(const std::string&)> log_;
  NetworkLog networkLog_;
};

}  // namespace modemsim
