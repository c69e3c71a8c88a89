// The AT transaction, the connection and initialisation sequence, and the
// disconnection.

#include <exception>

#include "modem/engine_thread.h"
#include "modem/engine_timing.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {

std::string TZoGSMThread::SendSerialAT(const std::string& command, bool tolerate) {
  errorStep_ = error_step::kExchangingAt;
  const TZoGSMSettings settings = Settings();
  const bool longCommand = Contains(command, "+CMGL") || Contains(command, "+COPS");
  link_.AtTimeout = timing::Scaled(longCommand ? timing::kLongCommandAtTimeout : settings.ATTimeout);
  AtAnswer answer = link_.ExchangeAT(command);
  errorStep_ = error_step::kAtAnswered;
  if (link_.LastError() == platform::kSerialOk && answer.ok) {
    // A line that follows the final result at once (normally nothing: the
    // CR LF of a next result code stays buffered for the next read).
    std::string trailing = link_.ReceiveUntil(timing::Scaled(settings.ATDelay), kCrLf);
    if (link_.LastError() == platform::kSerialOk) answer.response += trailing;
    return answer.response;
  }
  errorStep_ = error_step::kAtFailed;
  const std::string reason = answer.ok ? link_.LastErrorText() : " *** ERROR *** / not AT result";
  const std::string failure = "myERR;" + reason + "  ----> [ " + command + "]";
  QuietError("SendSerialAT error [" + settings.ComPort + "] : " + failure);
  if (!tolerate) {
    modemError_ = true;
    errorStep_ = error_step::kAtFailureClosing;
    ModemOff();
  }
  errorStep_ = error_step::kAtFailureReported;
  return failure;
}

bool TZoGSMThread::ModemConnect() {
  ResetCapabilityTable(Settings().AutoModemINIT);
  OnOwner([](TZoGSM& component) {  // another modem may answer now
    component.modemIdentity_.clear();
    component.identified_ = false;
  });
  Dispatch(&TZoGSM::DoConnecting);
  modemConnected_ = false;
  // A modem that comes back has forgotten the link keeping, and no answer
  // of the old connection is still to come.
  cmmsSent_ = false;
  unconfirmed_.reset();
  statusReportNoticeGiven_ = false;
  bool result = false;
  try {
    result = OpenAndInitialise();
  } catch (const EngineDetached&) {
    throw;
  } catch (...) {
    return false;
  }
  modemConnected_ = result;
  if (!result) return false;
  OnOwner([](TZoGSM& component) {
    component.connected_ = true;
    component.suppressAutoReconnect_ = false;
  });
  IdentifyModem();
  QueryPhonebooks();
  OnOwner([this](TZoGSM& component) {
    component.queueCount_ = static_cast<int>(SendQueue.Count());
    component.DoSendProgress();
  });
  QueueFollowUpCommands();
  return true;
}

void TZoGSMThread::ConfigurePort(const TZoGSMSettings& settings) {
  std::string portBaud;
  {
    std::lock_guard lock(portMutex_);
    portBaud = portBaud_;
  }
  const std::optional<int> engineSpeed = ParseInt(portBaud);
  const std::optional<int> componentSpeed = ParseInt(settings.BaudRate);
  const int fallback = engineSpeed.value_or(9600);
  const int speed = componentSpeed ? engineSpeed.value_or(*componentSpeed) : fallback;
  if (!link_.Configure(speed)) link_.Configure(fallback);
}

bool TZoGSMThread::OpenAndInitialise() {
  const TZoGSMSettings settings = Settings();
  std::string portName;
  {
    std::lock_guard lock(portMutex_);
    portName = portName_;
  }
  link_.Purge();
  if (!link_.Open(portName)) {
    QuietError("SerialConnect error [" + settings.ComPort + "] : " + link_.LastErrorText());
    link_.Purge();
    ModemOff();
    Dispatch(&TZoGSM::DoDisconnected);
    return false;
  }
  ConfigurePort(settings);
  // A modem left at its prompt (by an earlier run that gave up) answers no
  // command until ESC or Ctrl-Z; ESC makes it drop the message.
  CancelLeftoverPrompt();

  // From the first "AT" to the probes, an unexpected error ends these steps
  // and the attempt goes on with the probe result it has.
  bool refused = false;
  std::string lastProbeText;
  try {
    LogRx("Initializing Modem GSM\r\n");
    link_.WriteTimeout = timing::Scaled(timing::kConnectWriteTimeout);
    link_.ExchangeAT("AT");
    link_.WriteTimeout = timing::Scaled(timing::kConnectWriteTimeout);
    const AtAnswer second = link_.ExchangeAT("AT");
    LogRx(second.response);
    if (link_.LastError() != platform::kSerialOk) {
      const std::string reason = link_.LastErrorText();
      modemError_ = true;
      ModemOff();
      QuietError("Modem CONNECT ERROR [" + settings.ComPort + "] (deadlockTimeout) : " + reason);
      return false;
    }
    link_.WriteTimeout = timing::Scaled(timing::kWriteTimeout);
    std::string reset = SendSerialAT("AT&F", false);
    LogRx(reset);
    if (!Contains(reset, "myERR")) {
      reset = SendSerialAT("AT&F", false);
      if (!Contains(reset, "myERR")) reset = SendSerialAT("AT&F", false);
    }
    if (Contains(reset, "myERR")) {
      refused = true;  // the failed transaction has reported and closed the port
    } else if (settings.AutoModemINIT) {
      ProbeCapabilities(lastProbeText);
    }
  } catch (const EngineDetached&) {
    throw;
  } catch (...) {
  }
  if (refused) return false;

  // A modem without the message format command is refused.
  if (Contains(lastProbeText, "myERR")) return false;
  modemError_ = false;
  bool result = true;
  try {
    if (settings.AutoModemINIT) {
      SendAutomaticInitList();
    } else {
      SendInitStrings(settings.InitStrings);
    }
  } catch (const EngineDetached&) {
    throw;
  } catch (...) {
    result = false;
  }
  if (result && !Contains(link_.ExchangeAT("AT").response, "OK")) return false;
  return result;
}

void TZoGSMThread::ModemOff() {
  if (modemConnected_ && link_.IsActive()) {
    const TZoGSMSettings settings = Settings();
    RxLines.SetText("MODEM OFF (without software RESET)\r\n");
    if (settings.ResetModemOnClose) {
      if (!modemError_) {
        const AtAnswer answer = link_.ExchangeAT(settings.ResetCMD);
        RxLines.SetText("Modem OFF with soft RESET: [" + settings.ResetCMD + "] " + answer.response + "\r\n");
      } else {
        RxLines.SetText("Modem OFF with ERROR #ErrorStep = " + std::to_string(errorStep_) + "\r\n");
        QuietError("Modem RESET with ERROR");
      }
    }
    Dispatch(&TZoGSM::DoAfterComRx);
  }
  // A port the device took away was open too, as far as the component knows.
  const bool lost = link_.TakePortLost();
  const bool wasActive = link_.IsActive() || lost;
  link_.Close();
  modemConnected_ = false;
  if (wasActive) Dispatch(&TZoGSM::DoDisconnected);
  OnOwner([](TZoGSM& component) { component.connected_ = false; });
}

}  // namespace modem
