#include "tools/modemsim/modem_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "tools/modemsim/raw_pty.h"

namespace modemsim {
namespace {

using Clock = std::chrono::steady_clock;

// Faults that change how the modem's own answer reaches the line; the others
// replace the command's effect altogether.
bool ShapesTheAnswer(FaultKind kind) {
  return kind == FaultKind::Delay || kind == FaultKind::DropAfterAnswer || kind == FaultKind::FinalOnly ||
         kind == FaultKind::HeldUntilNextCommand || kind == FaultKind::Lost;
}

constexpr char kCtrlZ = 26;
constexpr char kEscape = 27;
constexpr char kBackspace = 8;
constexpr size_t kMaxLine = 2048;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// "\r\n" between the lines of `text` ("\n"-separated) and around it all: the
// framing of every unsolicited result code.
std::string Framed(const std::string& text) {
  std::string framed = "\r\n";
  for (char c : text) framed += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return framed + "\r\n";
}

// Control characters made visible for the log.
std::string Visible(const std::string& text) {
  std::string visible;
  for (unsigned char c : text) {
    if (c == '\r') visible += "\\r";
    else if (c == '\n') visible += "\\n";
    else if (c < 32 || c == 127) visible += "\\x" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
    else visible += static_cast<char>(c);
  }
  return visible;
}

std::string NumericCode(const std::string& final) {
  static const std::map<std::string, std::string> kCodes = {
      {"OK", "0"}, {"CONNECT", "1"}, {"RING", "2"}, {"NO CARRIER", "3"}, {"ERROR", "4"}};
  const auto found = kCodes.find(final);
  return found == kCodes.end() ? final + "\r\n" : found->second + "\r";
}

}  // namespace

struct ModemSimulator::Pending {
  Clock::time_point due;
  std::string text;
  bool dropAfter = false;  // the line drops once the text is out
};

ModemSimulator::ModemSimulator() = default;

ModemSimulator::~ModemSimulator() { Stop(); }

bool ModemSimulator::Start(std::string* error) {
  Stop();
  std::lock_guard lock(mutex_);
  RawPty pty;
  if (!OpenRawPty(pty, error)) return false;
  master_ = pty.master;
  slave_ = pty.slave;
  wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  // A modem that comes back has its factory settings again.
  if (!path_.empty()) modem_.ExecuteLine("AT&F");
  path_ = pty.path;
  PointStablePath();
  running_ = true;
  stop_ = false;
  dropRequested_ = false;
  input_.clear();
  line_.clear();
  inPrompt_ = false;
  outgoing_.clear();
  pending_.reset();
  server_ = std::thread([this] { Serve(); });
  return true;
}

void ModemSimulator::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  Wake();
  if (server_.joinable()) server_.join();
  std::lock_guard lock(mutex_);
  CloseFiles();
}

void ModemSimulator::CloseFiles() {
  for (int* fd : {&master_, &slave_, &wake_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  running_ = false;
}

bool ModemSimulator::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

std::string ModemSimulator::PortPath() const {
  std::lock_guard lock(mutex_);
  return stablePath_.empty() ? path_ : stablePath_;
}

std::vector<std::string> ModemSimulator::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<std::string> ModemSimulator::Pdus() const {
  std::lock_guard lock(mutex_);
  return pdus_;
}

int ModemSimulator::CountCommands(const std::string& prefix) const {
  std::lock_guard lock(mutex_);
  int count = 0;
  for (const std::string& command : commands_) count += StartsWithNoCase(command, prefix) ? 1 : 0;
  return count;
}

bool ModemSimulator::WaitForCommand(const std::string& prefix, int count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return commandsChanged_.wait_for(lock, timeout, [&] {
    int seen = 0;
    for (const std::string& command : commands_) seen += StartsWithNoCase(command, prefix) ? 1 : 0;
    return seen >= count;
  });
}

void ModemSimulator::SendUnsolicited(const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    outgoing_ += Framed(text);
  }
  Wake();
}

void ModemSimulator::InjectIntoAnswer(const std::string& commandPrefix, const std::string& text) {
  std::lock_guard lock(mutex_);
  injections_.emplace_back(commandPrefix, text);
}

void ModemSimulator::ReceiveMessage(const std::string& pdu) {
  std::string text;
  {
    std::lock_guard lock(mutex_);
    for (const std::string& line : modem_.ReceiveMessage(pdu)) text += (text.empty() ? "" : "\n") + line;
  }
  if (!text.empty()) SendUnsolicited(text);
}

bool ModemSimulator::SetNetworkLogFile(const std::string& path, std::string* error) {
  std::lock_guard lock(mutex_);
  return networkLog_.OpenFile(path, error);
}

std::vector<std::string> ModemSimulator::NetworkLogLines() const {
  std::lock_guard lock(mutex_);
  return networkLog_.Lines();
}

void ModemSimulator::SetFault(const std::string& commandPrefix, const Fault& fault) {
  std::lock_guard lock(mutex_);
  faults_.emplace_back(commandPrefix, fault);
}

void ModemSimulator::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
  injections_.clear();
}

void ModemSimulator::SetLog(std::function<void(const std::string&)> log) {
  std::lock_guard lock(mutex_);
  log_ = std::move(log);
}

void ModemSimulator::Wake() {
  std::lock_guard lock(mutex_);
  if (wake_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

void ModemSimulator::Log(const std::string& line) {
  if (log_) log_(line);
}

void ModemSimulator::Serve() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    int timeoutMs = -1;
    if (pending_) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(pending_->due - Clock::now()).count();
      timeoutMs = left > 0 ? static_cast<int>(left) : 0;
    }
    pollfd fds[] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}};
    lock.unlock();
    ::poll(fds, 2, timeoutMs);
    lock.lock();
    if (stop_) break;
    if (fds[1].revents & POLLIN) {
      std::uint64_t count;
      [[maybe_unused]] const ssize_t drained = ::read(wake_, &count, sizeof count);
    }
    if (fds[0].revents & POLLIN) {
      char buffer[1024];
      ssize_t count;
      while ((count = ::read(master_, buffer, sizeof buffer)) > 0) input_.append(buffer, static_cast<size_t>(count));
    }
    std::string out = std::move(outgoing_);
    outgoing_.clear();
    if (pending_ && Clock::now() >= pending_->due) {
      out += pending_->text;
      if (!pending_->text.empty()) Log("TX " + Visible(pending_->text));
      dropRequested_ = pending_->dropAfter;
      pending_.reset();
    }
    if (!pending_) ProcessInput(out);
    WriteOut(out);
    if (dropRequested_) {
      DropLine();
      break;
    }
  }
}

void ModemSimulator::ProcessInput(std::string& out) {
  size_t used = 0;
  while (used < input_.size() && !pending_ && !dropRequested_) {
    const char c = input_[used++];
    if (inPrompt_) {
      if (c == kCtrlZ || c == kEscape) {
        inPrompt_ = false;
        if (c == kEscape) {
          ++cancelledPrompts_;
          Log("PDU cancelled: " + submission_);
          modem_.CancelSubmission();
          Answer(Reply{}, std::nullopt, "", out);
        } else {
          HandleSubmission(submission_, out);
        }
        submission_.clear();
      } else if (c == kBackspace) {
        if (!submission_.empty()) submission_.pop_back();
      } else if (c != '\r' && c != '\n') {
        submission_ += c;
        if (modem_.Echo()) out += c;
      }
      continue;
    }
    if (c == kEscape) continue;  // nothing to cancel outside the prompt
    if (modem_.Echo()) out += c;  // a modem echoes what it receives as it comes
    if (c == '\r') {
      HandleLine(line_, out);
      line_.clear();
    } else if (c == kBackspace) {
      if (!line_.empty()) line_.pop_back();
    } else if (c != '\n' && line_.size() < kMaxLine) {
      line_ += c;
    }
  }
  input_.erase(0, used);
}

void ModemSimulator::HandleLine(const std::string& rawLine, std::string& out) {
  // Whatever comes before "AT" (line noise, a stray Ctrl-Z) is not a command.
  const size_t start = rawLine.find_first_not_of(std::string(" \t\n") + kCtrlZ);
  if (start == std::string::npos) return;
  const std::string line = rawLine.substr(start);
  if (!StartsWithNoCase(line, "AT")) {
    Log("ignored " + Visible(line));
    return;
  }
  commands_.push_back(line);
  commandsChanged_.notify_all();
  Log("RX " + Visible(line));
  if (!heldAnswer_.empty()) {
    Log("TX " + Visible(heldAnswer_) + " (held back)");
    out += std::exchange(heldAnswer_, {});
  }

  std::optional<Fault> fault = TakeFault(line);
  const bool submission = StartsWithNoCase(line, "AT+CMGS=");
  if (submission && fault && !fault->atPrompt) {
    submissionFault_ = fault;  // it hits the answer after the message
    fault.reset();
  } else if (submission) {
    submissionFault_.reset();
  }
  const std::string injection = TakeInjection(line);
  if (fault && !ShapesTheAnswer(fault->kind)) {
    Answer(Reply{}, fault, injection, out);
    return;
  }
  const Reply reply = modem_.ExecuteLine(line);
  if (reply.prompt) {
    inPrompt_ = true;
    submissionInjection_ = injection;
    submission_.clear();
    if (fault && fault->kind == FaultKind::Delay) {
      pending_ = std::make_unique<Pending>(Pending{Clock::now() + std::chrono::milliseconds(fault->delayMs), PromptText()});
      Log("TX (prompt in " + std::to_string(fault->delayMs) + " ms)");
      return;
    }
    Log("TX " + Visible(PromptText()));
    out += PromptText();
    return;
  }
  Answer(reply, fault, injection, out);
}

void ModemSimulator::HandleSubmission(const std::string& text, std::string& out) {
  pdus_.push_back(text);
  Log("PDU " + text);
  const std::optional<Fault> fault = submissionFault_;
  submissionFault_.reset();
  const std::string injection = std::move(submissionInjection_);
  submissionInjection_.clear();
  if (fault && !ShapesTheAnswer(fault->kind)) {
    Answer(Reply{}, fault, injection, out);
    return;
  }
  const int reference = modem_.NextReference();
  const Reply reply = modem_.Submit(text);
  if (reply.final == "OK") networkLog_.Accepted(reference, text);
  Answer(reply, fault, injection, out);
}

// Sends a reply, or what a fault makes of it.
void ModemSimulator::Answer(const Reply& reply, const std::optional<Fault>& fault, const std::string& injection,
                            std::string& out) {
  Reply answer = reply;
  if (fault) {
    switch (fault->kind) {
      case FaultKind::Silence: Log("TX (silence)"); return;
      case FaultKind::DropLine: dropRequested_ = true; return;
      case FaultKind::Error: answer = Reply{{}, "ERROR"}; break;
      case FaultKind::CmsError: answer = Reply{{}, "+CMS ERROR: " + std::to_string(fault->code)}; break;
      case FaultKind::CmeError: answer = Reply{{}, "+CME ERROR: " + std::to_string(fault->code)}; break;
      case FaultKind::DropAfterAnswer: {
        answer.final.clear();
        const std::string text = Format(answer, injection);
        Log("TX " + Visible(text) + " (the line drops in " + std::to_string(fault->delayMs) + " ms)");
        out += text;
        pending_ = std::make_unique<Pending>(
            Pending{Clock::now() + std::chrono::milliseconds(fault->delayMs), std::string(), true});
        return;
      }
      case FaultKind::FinalOnly: answer.lines.clear(); break;
      case FaultKind::HeldUntilNextCommand:
        heldAnswer_ = Format(answer, injection);
        Log("TX (held back until the next command)");
        return;
      case FaultKind::Lost:
        Log("TX (none: the line drops before the answer)");
        dropRequested_ = true;
        return;
      case FaultKind::Delay:
        pending_ = std::make_unique<Pending>(Pending{Clock::now() + std::chrono::milliseconds(fault->delayMs),
                                                     Format(answer, injection)});
        Log("TX (in " + std::to_string(fault->delayMs) + " ms)");
        return;
    }
  }
  const std::string text = Format(answer, injection);
  Log("TX " + Visible(text));
  out += text;
}

std::string ModemSimulator::Format(const Reply& reply, const std::string& injection) const {
  std::string text;
  for (const std::string& line : reply.lines) text += modem_.Verbose() ? "\r\n" + line + "\r\n" : line + "\r\n";
  if (!injection.empty()) text += Framed(injection);
  if (modem_.Quiet() || reply.final.empty()) return text;
  return text + (modem_.Verbose() ? "\r\n" + reply.final + "\r\n" : NumericCode(reply.final));
}

std::optional<Fault> ModemSimulator::TakeFault(const std::string& line) {
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (!StartsWithNoCase(line, it->first)) continue;
    if (it->second.skip > 0) {
      --it->second.skip;
      return std::nullopt;
    }
    const Fault fault = it->second;
    if (it->second.times > 0 && --it->second.times == 0) faults_.erase(it);
    return fault;
  }
  return std::nullopt;
}

std::string ModemSimulator::TakeInjection(const std::string& line) {
  for (auto it = injections_.begin(); it != injections_.end(); ++it) {
    if (!StartsWithNoCase(line, it->first)) continue;
    std::string text = it->second;
    injections_.erase(it);
    return text;
  }
  return {};
}

void ModemSimulator::WriteOut(const std::string& text) {
  size_t done = 0;
  // A port that reads nothing for a second is given up, as a modem would; a
  // slow reader (a busy machine) gets all of it.
  auto deadline = Clock::now() + std::chrono::seconds(1);
  while (done < text.size() && master_ >= 0) {
    const ssize_t written = ::write(master_, text.data() + done, text.size() - done);
    if (written > 0) {
      done += static_cast<size_t>(written);
      deadline = Clock::now() + std::chrono::seconds(1);
    } else if (written < 0 && (errno == EAGAIN || errno == EINTR) && Clock::now() < deadline) {
      pollfd entry{master_, POLLOUT, 0};
      ::poll(&entry, 1, 10);  // the port does not read at the moment: wait a little
    } else {
      break;
    }
  }
}

void ModemSimulator::DropLine() {
  Log("line dropped");
  // Closing both sides hangs the port's side up: its reads fail with EIO.
  for (int* fd : {&master_, &slave_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  running_ = false;
}

}  // namespace modemsim
