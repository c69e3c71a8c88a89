// Rings ("+CLIP:") and call indicators ("+CIEV:"): OnRing once per call, the
// optional hang-up after a number of rings, OnCallBusy, and the hang-up of an
// outgoing call as soon as the called phone rings (SendOneSignal).

#include <chrono>
#include <initializer_list>
#include <optional>

#include "modem/engine_thread.h"
#include "modem/engine_timing.h"
#include "modem/received_text.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {
namespace {

// The first line of the text that contains `code`.
std::optional<std::string> LineWith(const std::string& text, std::string_view code) {
  for (const std::string& line : SplitLines(text)) {
    if (Contains(line, code)) return line;
  }
  return std::nullopt;
}

}  // namespace

void TZoGSMThread::HandleRing(const std::string& text) {
  RxLines.SetText(text);
  const std::optional<std::string> line = LineWith(text, "+CLIP:");
  if (!line) return;
  const TZoGSMSettings settings = Settings();
  const std::string number = CallerNumber(*line, settings.PrefixForCountry);
  const auto now = std::chrono::steady_clock::now();
  const auto ringsOfOneCall = std::chrono::milliseconds(timing::Scaled(timing::kRingsOfOneCall));
  const bool sameCall = ring_.count > 0 && number == ring_.lastCaller && now - ring_.lastRing <= ringsOfOneCall;
  if (!sameCall) ring_.count = 0;
  ring_.lastCaller = number;
  if (ring_.count == 0) {
    OnOwner([&](TZoGSM& component) {
      component.nrTel_ = number;
      component.DoRing();
    });
  }
  // Read again: the OnRing handler may have changed them.
  const TZoGSMSettings current = Settings();
  if (current.HangUpVoiceConnection && current.HangUpSignalCount == ring_.count) {
    for (const char* command : {"AT", "AT+CHUP", "ATH"}) CommandQueue.Insert(0, command);
    ring_.count = 0;
    ring_.lastCaller.clear();  // the next ring is another call
  } else {
    ++ring_.count;
  }
  ring_.lastRing = now;
}

void TZoGSMThread::HandleRingInAnswer(const std::string& answer) {
  RxLines.SetText(answer);
  if (const std::optional<std::string> line = LineWith(answer, "+CLIP:")) {
    const std::string number = CallerNumber(*line, Settings().PrefixForCountry);
    OnOwner([&](TZoGSM& component) {
      component.nrTel_ = number;
      component.DoRing();
    });
  }
  // A call ringing in the middle of a command is always ended.
  for (const char* command : {"ATH", "AT+CHUP", "AT"}) CommandQueue.Append(command);
  Dispatch(&TZoGSM::DoAfterComRx);
}

void TZoGSMThread::HandleCallState(const std::string& text, bool inAnswer) {
  if (!LineWith(text, "+CIEV:")) return;
  bool sendOneSignal = false;
  OnOwner([&](TZoGSM& component) { sendOneSignal = component.SendOneSignal(); });
  const IndicatorEvent event = ReadIndicators(text, sendOneSignal);
  switch (event.kind) {
    case IndicatorEvent::Kind::None:
      return;
    case IndicatorEvent::Kind::CallState:
      OnOwner([&](TZoGSM& component) {
        component.callStatus_ = event.status;
        component.callBusy_ = event.busy;
        component.DoCallBusy();
      });
      return;
    case IndicatorEvent::Kind::OneRingHangUp:
      break;
  }
  // The called phone rings: end the call. Behind a command the queries run
  // next; in idle text identification queries first give it time to ring.
  std::vector<std::string> commands;
  if (inAnswer) {
    commands = {"AT", "AT", "AT", "AT"};
  } else {
    for (int round = 0; round < 3; ++round) {
      for (const char* query : {"ATI4", "ATI3", "ATI2", "ATI1", "ATI0"}) commands.push_back(query);
    }
  }
  for (const char* command : {"ATH", "AT+CHUP", "AT"}) commands.push_back(command);
  const size_t position = inAnswer ? 1 : 0;
  for (auto it = commands.rbegin(); it != commands.rend(); ++it) CommandQueue.Insert(position, *it);
  OnOwner([](TZoGSM& component) { component.SetSendOneSignal(false); });
}

}  // namespace modem
