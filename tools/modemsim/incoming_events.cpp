// The network's side of the simulated modem: status reports of sent
// messages, rings of incoming calls and indicator events, each sent when a
// test (or the talvane-modemsim command line) asks for it. Received messages
// are AtInterpreter::ReceiveMessage.

#include <algorithm>
#include <chrono>
#include <ctime>

#include "tools/modemsim/at_interpreter.h"
#include "tools/modemsim/incoming_pdus.h"
#include "tools/modemsim/modem_simulator.h"

namespace modemsim {
namespace {

// TP-SRR: the submission asks for a status report.
constexpr int kReportRequested = 0x20;

std::tm UtcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  return utc;
}

int FirstOctet(const std::string& pdu) {
  try {
    const size_t smsc = 2 + 2 * std::stoul(pdu.substr(0, 2), nullptr, 16);
    return static_cast<int>(std::stoul(pdu.substr(smsc, 2), nullptr, 16));
  } catch (...) {
    return 0;
  }
}

// The values of AT+CMER (mode, keypad, display, indicators, buffer).
std::vector<int> Numbers(const std::string& list) {
  std::vector<int> values;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    try {
      values.push_back(std::stoi(list.substr(start, comma - start)));
    } catch (...) {
      values.push_back(0);
    }
    start = comma + 1;
  }
  return values;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

void AtInterpreter::NoteSent(int reference, const std::string& pdu) {
  sent_.push_back({reference, pdu, (FirstOctet(pdu) & kReportRequested) != 0});
}

std::vector<int> AtInterpreter::ReportsWanted() const {
  std::vector<int> references;
  for (const SentMessage& message : sent_) {
    if (message.reportWanted) references.push_back(message.reference);
  }
  return references;
}

std::vector<std::string> AtInterpreter::StatusReport(int reference, int status, const std::string& recipient) {
  std::string recipientField;
  // The latest message sent with the reference (references wrap after 255).
  const auto sent = std::find_if(sent_.rbegin(), sent_.rend(), [&](const SentMessage& message) {
    return message.reference == reference && message.reportWanted;
  });
  if (sent != sent_.rend()) {
    recipientField = DestinationField(sent->pdu);
    sent->reportWanted = false;
  } else if (!recipient.empty()) {
    recipientField = AddressField(recipient);
  }
  if (recipientField.empty()) return {};
  const std::tm now = UtcNow();
  const std::string pdu = StatusReportPdu(reference, recipientField, status, now, now);
  const int routing = indications_[3];
  if (routing == 1) return {"+CDS: " + std::to_string(TpduLength(pdu)), pdu};
  if (routing != 2) return {};
  const int index = StoreMessage(receiveMemory_, StoredMessage{0, pdu});
  if (index < 0) return {};
  return {"+CDSI: \"" + receiveMemory_ + "\"," + std::to_string(index)};
}

std::vector<std::string> AtInterpreter::Ring(const std::string& number) {
  callRinging_ = true;
  std::vector<std::string> lines = {"RING"};
  if (clip_ == 1) {
    const bool withheld = number.empty();
    const std::string type = withheld ? "128" : number.front() == '+' ? "145" : "129";
    lines.push_back("");
    lines.push_back("+CLIP: \"" + number + "\"," + type + ",\"\",,\"\"," + (withheld ? "1" : "0"));
  }
  return lines;
}

void AtInterpreter::EndCall() {
  if (callRinging_) ++hangUps_;
  callRinging_ = false;
}

std::vector<std::string> AtInterpreter::Indicator(int index, int value) {
  const std::vector<int> reporting = Numbers(cmer_);
  if (reporting.empty() || reporting[0] == 0 || reporting.size() < 4 || reporting[3] == 0) return {};
  return {"+CIEV: " + std::to_string(index) + "," + std::to_string(value)};
}

bool ModemSimulator::SendStatusReport(int reference, int status, const std::string& recipient) {
  const std::vector<std::string> lines =
      WithModem([&](AtInterpreter& modem) { return modem.StatusReport(reference, status, recipient); });
  if (lines.empty()) return false;
  SendUnsolicited(Joined(lines));
  return true;
}

void ModemSimulator::Ring(const std::string& number) {
  SendUnsolicited(Joined(WithModem([&](AtInterpreter& modem) { return modem.Ring(number); })));
}

bool ModemSimulator::SendIndicator(int index, int value) {
  const std::vector<std::string> lines = WithModem([&](AtInterpreter& modem) { return modem.Indicator(index, value); });
  if (lines.empty()) return false;
  SendUnsolicited(Joined(lines));
  return true;
}

}  // namespace modemsim
