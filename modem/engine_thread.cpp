// The engine's loop: requests, the command queue step, the send step, the
// reception step, and the guard that turns an unexpected error into the
// "GSMThread ERROR" report and ends the engine.

#include "modem/engine_thread.h"

#include <chrono>
#include <exception>

#include "modem/engine_timing.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "platform/codepage.h"

namespace modem {
namespace {

// Unsolicited text is handed over at the latest when it reaches this size, so
// that a device that never pauses cannot make the engine collect without end.
constexpr size_t kMaxReceivedText = 65536;

const platform::AnsiString& CommandFailedLine() {
  static const platform::AnsiString line = platform::Utf8ToAnsi(">< Błąd wykonania polecenia ><");
  return line;
}

// The message of the exception being handled.
std::string CurrentErrorMessage() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}

}  // namespace

TZoGSMThread::TZoGSMThread(std::shared_ptr<HandOver> owner, std::shared_ptr<SharedCapabilities> capabilities,
                           std::string portName, std::string portBaud, const platform::SerialSystemCalls& calls)
    : owner_(std::move(owner)),
      sharedCapabilities_(std::move(capabilities)),
      capabilities_(sharedCapabilities_->Get()),
      link_(calls),
      portName_(std::move(portName)),
      portBaud_(std::move(portBaud)) {}

void TZoGSMThread::SetPort(std::string portName, std::string portBaud) {
  std::lock_guard lock(portMutex_);
  portName_ = std::move(portName);
  portBaud_ = std::move(portBaud);
}

void TZoGSMThread::SetConnectCommand(std::uint8_t command) {
  std::uint32_t value = connectRequest_;
  while (!connectRequest_.compare_exchange_weak(value, ((value >> 8) + 1) << 8 | command)) {
  }
}

void TZoGSMThread::ClearConnectCommand(std::uint32_t seen) {
  connectRequest_.compare_exchange_strong(seen, seen & ~std::uint32_t{0xFF});
}

void TZoGSMThread::RequestStop() {
  {
    std::lock_guard lock(stopMutex_);
    stopRequest_ = true;
  }
  stopChanged_.notify_all();
}

void TZoGSMThread::ThreadDelay(int milliseconds) {
  std::unique_lock lock(stopMutex_);
  stopChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopRequest_.load(); });
}

void TZoGSMThread::Execute() {
  link_.OnPortClosed = [this] { modemConnected_ = false; };
  try {
    while (RunPass()) {
    }
  } catch (const EngineDetached&) {
    // The component is gone or the application is ending: no one to report to.
  }
  link_.Purge();
  link_.Close();
  link_.OnPortClosed = nullptr;
}

bool TZoGSMThread::RunPass() {
  if (owner_->Detached()) return false;
  try {
    if (!HandleRequests()) return false;
    if (!CommandQueue.Empty() && link_.IsActive() && !modemError_) CommandQueueStep();
    SendStep();
    const std::string received = ReceptionStep();
    if (!received.empty()) {
      // A network answer that came after the submission gave up on it.
      TakeLateConfirmation(received);
      AnalyseReceivedText(received);
    }
    return true;
  } catch (const EngineDetached&) {
    throw;
  } catch (...) {
    ReportUnexpectedError(CurrentErrorMessage());
    return false;
  }
}

bool TZoGSMThread::HandleRequests() {
  if (stopRequest_) {
    if (modemConnected_ && !modemError_) ModemOff();
    return false;
  }
  std::uint32_t request = connectRequest_;
  if ((request & 0xFF) == kConnect && !modemConnected_) {
    errorStep_ = error_step::kConnecting;
    CommandQueue.Clear();
    if (ModemConnect()) {
      Dispatch(&TZoGSM::DoConnected);
      QuietError("OK");
    } else {
      ModemOff();
    }
    ClearConnectCommand(request);
    errorStep_ = error_step::kConnectHandled;
    request = connectRequest_;
  }
  if ((request & 0xFF) == kDisconnect && modemConnected_ && !modemError_) {
    errorStep_ = error_step::kDisconnecting;
    CommandQueue.Clear();
    ModemOff();
    ClearConnectCommand(request);
    errorStep_ = error_step::kDisconnectHandled;
  }
  return true;
}

void TZoGSMThread::CommandQueueStep() {
  errorStep_ = error_step::kQueuedCommand;
  const std::optional<SharedList::Entry> queued = CommandQueue.First();
  if (!queued) return;
  const std::string& command = queued->value;
  const std::string answer = SendSerialAT(command, queued->object != 0);
  if (modemError_) {
    errorStep_ = error_step::kQueuedCommandFailed;
    RxLines.Append("******* AT Command [error] ********");
    RxLines.Append(command);
    RxLines.Append(CommandFailedLine());
    RxLines.Append(">: (bufRx) -> " + answer + " :<");
    CommandQueue.RemoveFirstIf(queued->id);
    Dispatch(&TZoGSM::DoAfterComRx);
    errorStep_ = error_step::kQueuedCommandFailureReported;
    return;
  }
  RxLines.Clear();
  RxLines.Append("******* AT Command ********");
  RxLines.Append(command);
  RxLines.Append("> " + answer);
  AnalyseCommandAnswer(command, answer);
  // Only the answered command goes: the follow-ups its answer queued stand
  // behind it, and a queue the component cleared meanwhile keeps its new lines.
  CommandQueue.RemoveFirstIf(queued->id);
  Dispatch(&TZoGSM::DoAfterComRx);
  errorStep_ = error_step::kQueuedCommandAnswered;
}

std::string TZoGSMThread::ReceptionStep() {
  std::string text;
  if (pendingRx_) {
    errorStep_ = error_step::kPendingReception;
    text = pendingRxText_;
    ThreadDelay(timing::Scaled(timing::kPendingRxDelay));
  } else {
    errorStep_ = error_step::kReceiving;
    if (!modemError_ && modemConnected_) {
      while (link_.WaitForData(timing::Scaled(timing::kIdlePollWait))) {
        text += link_.ReceivePacket(timing::Scaled(timing::kReceivePacketTimeout));
        if (link_.LastError() != platform::kSerialOk) {
          const std::string reason = link_.LastErrorText();
          modemError_ = true;
          ModemOff();
          QuietError("SerialReceivePacket error: " + reason);
          text.clear();
          break;
        }
        if (Contains(text, "OK") || Contains(text, "ERROR") || text.size() >= kMaxReceivedText) break;
      }
    } else {
      ThreadDelay(timing::Scaled(timing::kIdleSleep));
    }
    if (link_.PortLost()) {
      HandleLostPort();
      text.clear();
    }
    errorStep_ = error_step::kReceived;
  }
  if (!text.empty()) {
    errorStep_ = error_step::kAnalysingReception;
    LogRx(text);
  }
  return text;
}

void TZoGSMThread::HandleLostPort() {
  const std::string reason = link_.PortLostText();
  modemError_ = true;
  ModemOff();
  QuietError("SerialReceivePacket error: " + reason);
}

void TZoGSMThread::ReportUnexpectedError(const std::string& message) {
  std::string text = "GSMThread ERROR : " + message + "\r\n\r\n" + "ErrorStep = " + std::to_string(errorStep_) +
                     "\r\n\r\n" + "(FTComRxLines)[ " + "\r\n" + RxLines.Text() + "\r\n" + "]";
  if (tempList_) {
    text += "\r\n(tempList)[\r\n" + JoinLines(*tempList_) + "\r\n]\r\n\r\n";
    tempList_.reset();
  }
  // The engine ends whatever the handlers do now.
  try {
    QuietError(text);
  } catch (const EngineDetached&) {
    throw;
  } catch (...) {
  }
  modemError_ = true;
  try {
    ModemOff();
  } catch (const EngineDetached&) {
    throw;
  } catch (...) {
  }
}

void TZoGSMThread::OnOwner(const std::function<void(TZoGSM&)>& fn) { owner_->Run(fn); }

TZoGSMSettings TZoGSMThread::Settings() {
  TZoGSMSettings settings;
  OnOwner([&](TZoGSM& component) { settings = component.settings_; });
  return settings;
}

void TZoGSMThread::LogRx(std::string_view text) {
  RxLines.SetText(text);
  Dispatch(&TZoGSM::DoAfterComRx);
}

void TZoGSMThread::QuietError(const std::string& text) {
  OnOwner([&](TZoGSM& component) {
    component.errorText_ = text;
    component.DoQuietError();
  });
}

void TZoGSMThread::Dispatch(void (TZoGSM::*dispatcher)()) {
  OnOwner([dispatcher](TZoGSM& component) { (component.*dispatcher)(); });
}

}  // namespace modem
