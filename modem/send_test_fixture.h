#pragma once
// Message parts sent through the component and its engine to the simulated
// modem on a pseudo-terminal: send requests, the part lines they queue, the
// reports that come back, and what the modem received.

#include <chrono>
#include <fstream>
#include <mutex>

#include "modem/engine_test_fixture.h"
#include "modem/message_parts.h"
#include "modem/text_fields.h"
#include "platform/codepage.h"

namespace modem {

using Texts = std::vector<std::string>;
using Parts = std::vector<TQueuedPart>;
using platform::Utf8ToAnsi;

// `count` letters, cycling through the alphabet so that parts differ.
inline std::string Letters(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text.push_back(static_cast<char>('a' + i % 26));
  return text;
}

// Reports as "status|reference|part|total".
inline Texts Outcomes(const Texts& reports) {
  Texts outcomes;
  for (const std::string& report : reports) {
    std::vector<std::string> f;
    std::string rest = report;
    for (size_t bar; (bar = rest.find('|')) != std::string::npos; rest.erase(0, bar + 1)) f.push_back(rest.substr(0, bar));
    f.push_back(rest);
    outcomes.push_back(f[2] + "|" + f[4] + "|" + f[5] + "|" + f[6]);
  }
  return outcomes;
}

// A fault on the prompt of AT+CMGS: the PDU never goes out.
inline modemsim::Fault AtPrompt(modemsim::Fault fault) {
  fault.atPrompt = true;
  return fault;
}

class SendTest : public EngineTest {
 protected:
  explicit SendTest(double scale = 0.05) : EngineTest(scale) {}

  void SetUp() override {
    EngineTest::SetUp();
    gsm.SetCheckPwrSig(false);  // no polls between the runs of parts
  }

  // A send request; the result of SendSMS.
  int Send(const std::string& number, const std::string& utf8Text, const std::string& marker = "") {
    gsm.SetSMSMessageMarker(marker);
    gsm.SetSMSNumber(number);
    gsm.SetSMSText(Utf8ToAnsi(utf8Text));
    return gsm.SendSMS();
  }

  // The parts a request queues, split here independently of the component.
  Parts ExpectedLines(const std::string& number, const std::string& utf8Text, std::uint8_t reference,
                      const std::string& marker = "") const {
    SplitRequest request;
    request.recipient.destination = number;
    request.text = PrepareTextForSending(Utf8ToAnsi(utf8Text), false, gsm.CutCRLFfromText());
    request.marker = marker;
    request.mergeMax = gsm.SMSMergeMax();
    return SplitIntoParts(request, reference);
  }

  // The report a sent part gets, with the reference the modem gave it.
  static std::string SentReport(const TQueuedPart& part, int reference) {
    return part.marker + "|" + part.recipient.destination + "|1|" + RestoreLineBreaks(EscapePartText(part.text)) +
           "|" + std::to_string(reference) + "|" + std::to_string(part.partNumber) + "|" +
           std::to_string(part.totalParts) + "|false";
  }

  Texts Reports(int from = 0) const { return TextsOf("OnAfterSend", "", from); }

  // The texts of the events with this name (and holding `part`).
  Texts TextsOf(const std::string& name, const std::string& part = {}, int from = 0) const {
    Texts texts;
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < events.size(); ++i) {
      if (events[i].name == name && Contains(events[i].text, part)) texts.push_back(events[i].text);
    }
    return texts;
  }

  bool WaitForReports(size_t count, int from = 0, std::chrono::seconds timeout = std::chrono::seconds(120)) {
    return WaitFor([&] { return Reports(from).size() >= count; }, timeout);
  }

  // The link-keeping commands and submissions the modem received, in order.
  Texts Submissions() const {
    Texts sent;
    for (const std::string& command : sim.Commands()) {
      if (command == "AT+CMMS=1" || StartsWith(command, "AT+CMGS")) sent.push_back(command);
    }
    return sent;
  }

  static Texts Announcements(const Parts& parts) {
    Texts commands;
    for (const TQueuedPart& part : parts) commands.push_back("AT+CMGS=" + std::to_string(part.tpduLength));
    return commands;
  }

  static Texts Pdus(const Parts& parts) {
    Texts pdus;
    for (const TQueuedPart& part : parts) pdus.push_back(part.pdu);
    return pdus;
  }

  size_t Queued() const { return gsm.Engine() == nullptr ? 0 : gsm.Engine()->SendQueue.Count(); }

  void SetNextReference(int reference) {
    sim.WithModem([reference](modemsim::AtInterpreter& modem) { modem.SetNextReference(reference); });
  }

  std::string StoredReferences() const {
    std::ifstream in(folder.Path() / "ReferenceNumbers.ini");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

}  // namespace modem
