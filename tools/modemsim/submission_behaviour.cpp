// How the simulated modem takes a message, in the ways the modems operators
// plug in differ: the prompt with or without the CR LF before it, a modem
// left waiting at its prompt by an earlier program, and a device that comes
// back on the same path after it dropped its line.

#include <unistd.h>

#include <cstdio>

#include "tools/modemsim/modem_simulator.h"

namespace modemsim {

void ModemSimulator::SetBarePrompt(bool bare) {
  std::lock_guard lock(mutex_);
  barePrompt_ = bare;
}

std::string ModemSimulator::PromptText() const { return barePrompt_ ? "> " : "\r\n> "; }

void ModemSimulator::LeaveAtPrompt(int tpduLength) {
  std::lock_guard lock(mutex_);
  const Reply reply = modem_.ExecuteLine("AT+CMGS=" + std::to_string(tpduLength));
  inPrompt_ = reply.prompt;
  submission_.clear();
  submissionFault_.reset();
  submissionInjection_.clear();
  Log(inPrompt_ ? "left at the prompt" : "cannot be left at the prompt");
}

int ModemSimulator::CancelledPrompts() const {
  std::lock_guard lock(mutex_);
  return cancelledPrompts_;
}

void ModemSimulator::SetStablePath(const std::string& path) {
  std::lock_guard lock(mutex_);
  stablePath_ = path;
  if (running_) PointStablePath();
}

void ModemSimulator::PointStablePath() {
  if (stablePath_.empty() || path_.empty()) return;
  // A new link renamed over the old one: the path never names nothing while
  // the modem is there.
  const std::string fresh = stablePath_ + ".new";
  ::unlink(fresh.c_str());
  if (::symlink(path_.c_str(), fresh.c_str()) == 0) std::rename(fresh.c_str(), stablePath_.c_str());
}

}  // namespace modemsim
