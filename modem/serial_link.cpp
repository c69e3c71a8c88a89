#include "modem/serial_link.h"

#include <utility>

#include "modem/engine_timing.h"

namespace modem {

SerialLink::SerialLink(const platform::SerialSystemCalls& calls)
    : WriteTimeout(timing::Scaled(timing::kInitialWriteTimeout)),
      AtTimeout(timing::Scaled(timing::kInitialAtTimeout)),
      port_(calls) {
  port_.OnClosed = [this] {
    portLost_ = true;
    portLostError_ = port_.LastError() != platform::kSerialOk ? port_.LastError() : platform::kSerialReadFailed;
    pendingPairEnd_ = 0;
    if (OnPortClosed) OnPortClosed();
  };
}

bool SerialLink::Fail(int code) {
  lastError_ = code;
  return false;
}

bool SerialLink::Succeed() {
  lastError_ = platform::kSerialOk;
  return true;
}

bool SerialLink::FailNotOpen() { return Fail(platform::kSerialNotOpen); }

bool SerialLink::TakeError(bool ok) {
  lastError_ = ok ? platform::kSerialOk : port_.LastError();
  return ok;
}

bool SerialLink::TakePortLost() {
  const bool lost = portLost_;
  portLost_ = false;
  return lost;
}

bool SerialLink::Open(std::string_view portName) {
  if (IsActive()) return Fail(platform::kSerialAlreadyOpen);
  lineBuffer_.clear();
  pendingPairEnd_ = 0;
  portLost_ = false;
  return TakeError(port_.Open(portName));
}

bool SerialLink::Configure(int baudRate) {
  if (!IsActive()) return FailNotOpen();
  return TakeError(port_.Configure(baudRate, 8, 'N', 1));
}

bool SerialLink::Purge() {
  lineBuffer_.clear();
  pendingPairEnd_ = 0;
  if (!IsActive()) return FailNotOpen();
  return TakeError(port_.Purge());
}

void SerialLink::Close() {
  const bool wasActive = IsActive();
  if (wasActive) port_.Purge();
  port_.Close();
  lineBuffer_.clear();
  pendingPairEnd_ = 0;
  Succeed();
  if (wasActive && OnPortClosed) OnPortClosed();
}

bool SerialLink::SendText(std::string_view text) {
  if (!IsActive()) return FailNotOpen();
  return TakeError(port_.Write(text, WriteTimeout));
}

bool SerialLink::ReadInto(std::string& text, int timeoutMs) {
  if (!IsActive()) return FailNotOpen();
  while (true) {
    std::string packet = port_.ReadAvailable(timeoutMs);
    if (packet.empty()) {
      const int error = port_.LastError();
      return Fail(error != platform::kSerialOk ? error : platform::kSerialTimeout);
    }
    if (pendingPairEnd_ != 0) {
      if (packet.front() == pendingPairEnd_) packet.erase(0, 1);
      pendingPairEnd_ = 0;
    }
    if (!packet.empty()) {
      text += packet;
      return Succeed();
    }
  }
}

std::string SerialLink::ReceivePacket(int timeoutMs) {
  if (!lineBuffer_.empty()) {
    Succeed();
    return std::exchange(lineBuffer_, {});
  }
  std::string packet;
  ReadInto(packet, timeoutMs);
  return packet;
}

std::string SerialLink::ReceiveUntil(int timeoutMs, std::string_view terminator) {
  std::string text = std::exchange(lineBuffer_, {});
  size_t searchFrom = 0;
  while (true) {
    const size_t at = text.find(terminator, searchFrom);
    if (!terminator.empty() && at != std::string::npos) {
      lineBuffer_ = text.substr(at + terminator.size());
      text.resize(at);
      Succeed();
      return text;
    }
    if (text.size() > kBufferSize) {
      Fail(platform::kSerialBufferExceeded);
      return {};
    }
    // Only the tail can still complete a terminator split over two packets.
    searchFrom = text.size() >= terminator.size() ? text.size() - terminator.size() + 1 : 0;
    if (!ReadInto(text, timeoutMs)) {
      lineBuffer_ = std::move(text);
      return {};
    }
  }
}

std::string SerialLink::ReceiveLine(int timeoutMs) {
  std::string text = std::exchange(lineBuffer_, {});
  size_t searchFrom = 0;
  while (true) {
    const size_t end = text.find_first_of("\r\n", searchFrom);
    if (end != std::string::npos) {
      const char pairEnd = text[end] == '\r' ? '\n' : '\r';
      size_t rest = end + 1;
      if (rest < text.size()) {
        if (text[rest] == pairEnd) ++rest;
      } else {
        pendingPairEnd_ = pairEnd;
      }
      lineBuffer_ = text.substr(rest);
      text.resize(end);
      Succeed();
      return text;
    }
    if (text.size() > kBufferSize) {
      Fail(platform::kSerialBufferExceeded);
      return {};
    }
    searchFrom = text.size();
    if (!ReadInto(text, timeoutMs)) {
      lineBuffer_ = std::move(text);
      return {};
    }
  }
}

bool SerialLink::WaitForData(int timeoutMs) {
  if (!IsActive()) return FailNotOpen();
  if (!lineBuffer_.empty()) return Succeed();
  return TakeError(port_.WaitForData(timeoutMs));
}

AtAnswer SerialLink::ExchangeAT(std::string_view command) {
  AtAnswer answer;
  SendText(std::string(command) + "\r");
  while (true) {
    std::string line = ReceiveLine(AtTimeout);
    const bool failed = lastError_ != platform::kSerialOk;
    if (failed) line.clear();
    if (line != command) {
      answer.response += line;
      answer.response += "\r\n";
    }
    if (line == "OK") {
      answer.ok = true;
      break;
    }
    if (line == "ERROR" || failed) break;
  }
  return answer;
}

}  // namespace modem
