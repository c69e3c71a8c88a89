// TZoGSM: construction and the setters of the published properties.

#include "modem/zogsm.h"

#include <algorithm>

#include "modem/engine_thread.h"
#include "modem/hand_over.h"
#include "modem/modem_search.h"
#include "modem/text_lines.h"
#include "platform/guid.h"
#include "platform/program_dir.h"

namespace modem {
namespace {

// The program's 8-bit text of a message written here in UTF-8.
platform::AnsiString Text(const char* utf8) { return platform::Utf8ToAnsi(utf8); }

}  // namespace

TZoGSM::TZoGSM(platform::MainLoop& loop) : loop_(loop), capabilities_(std::make_shared<SharedCapabilities>()) {
  appDir_ = (platform::ProgramDirectory() / "").string();
  search_ = std::make_unique<ModemSearch>(*this, loop_);
  search_->RefreshComPorts();

  reconnectTimer_ = loop_.CreateTimer();
  reconnectTimer_->SetInterval(settings_.ACTimerInterval);
  reconnectTimer_->OnTimer = [this] { ReconnectTick(); };

  pollTimer_ = loop_.CreateTimer();
  pollTimer_->SetInterval(800);
  pollTimer_->OnTimer = [this] { PollTick(); };
  pollTimer_->SetEnabled(settings_.CheckPwrSig);
}

void TZoGSM::ReportMisuse(const platform::AnsiString& text) {
  if (OnMisuse) OnMisuse(*this, text);
}

void TZoGSM::SetInstanceName(const std::string& value) {
  if (value == settings_.InstanceName) return;
  if (TrimControl(value).empty()) {
    ReportMisuse("Instance unique NAME must be set!");
    settings_.InstanceName = platform::NewGuidString();
    return;
  }
  settings_.InstanceName = value;
}

void TZoGSM::SetInitStrings(const std::vector<std::string>& value) {
  const std::string text = JoinLines(value);
  settings_.InitStrings = TrimControl(text).empty() ? std::vector<std::string>{"AT"} : SplitLines(text);
}

void TZoGSM::SetPrefixForCountry(const std::string& value) {
  if (value == settings_.PrefixForCountry) return;
  if (TrimControl(value).empty() || value.front() != '+') return;
  settings_.PrefixForCountry = value;
}

void TZoGSM::SetHardModemStop(bool value) {
  if (value == settings_.HardModemStop) return;
  settings_.HardModemStop = value;
  if (value) reconnectTimer_->Stop();
}

void TZoGSM::SetTxMessageParts(const std::vector<std::string>&) {
  ReportMisuse("TxMessageParts - ReadOnly property!");
}

void TZoGSM::SetPhoneBook(const std::vector<std::string>&) { ReportMisuse("PhoneBook - ReadOnly property!"); }

void TZoGSM::SetSMSMergeMax(int value) { settings_.SMSMergeMax = std::max(value, 2); }

void TZoGSM::SetCheckPwrSig(bool value) {
  if (value == settings_.CheckPwrSig) return;
  settings_.CheckPwrSig = value;
  if (value) pollTimer_->SetInterval(200);  // the next poll comes soon
}

void TZoGSM::SetCheckInterval(int value) {
  if (value < 1 || value > 1000) {
    ReportMisuse(Text("Możliwe wartości to: 1..1000 s"));
    value = 5;
  }
  settings_.CheckInterval = value;
  pollTimer_->SetInterval(value * 1000);
}

void TZoGSM::SetATTimeout(int value) {
  if (value < 500 || value > 3000) {
    ReportMisuse(Text("Możliwe wartości to: 500..3000  [default = 1000]"));
    value = 1000;
  }
  settings_.ATTimeout = value;
}

void TZoGSM::SetRecipientSepStart(char value) {
  if (value == ' ' || value == '.') {
    ReportMisuse("Illegal character as StartSeparator - SPACE or DOT");
    settings_.RecipientSepStart = '\0';
    return;
  }
  if (value == settings_.RecipientSepStop) {
    ReportMisuse("StartSeparator can't be the same as StopSeparator");
    return;
  }
  settings_.RecipientSepStart = value;
}

void TZoGSM::SetRecipientSepStop(char value) {
  if (value == ' ') {
    ReportMisuse("Illegal character as StopSeparator - SPACE");
    settings_.RecipientSepStop = '\0';
    return;
  }
  if (value == settings_.RecipientSepStart) {
    ReportMisuse("StopSeparator can't be the same as StartSeparator");
    return;
  }
  settings_.RecipientSepStop = value;
}

void TZoGSM::SetATCommand(const std::string& value) {
  if (!active_) {
    ReportMisuse(Text("Nie można wysłać polecenia AT (brak włączonej usługi GSM)"));
  } else if (!connected_) {
    ReportMisuse(Text("Nie można wysłać polecenia AT (brak połączenia z Modemem GSM)"));
  } else {
    constexpr std::intptr_t kTolerated = 1;  // a caller's command: its error answer is tolerated
    engine_->CommandQueue.Append(value, kTolerated);
  }
}

void TZoGSM::SetConnected(bool value) {
  if (!active_) {
    ReportMisuse(Text("Nie włączona usługa GSM dla portu: ") + settings_.ComPort);
    return;
  }
  if (!value) userDisconnect_ = true;
  if (value == connected_) return;
  if (!engine_) return;
  if (value) {
    engine_->CommandQueue.Clear();
    engine_->SetPort(settings_.ComPort, settings_.BaudRate);
    engine_->SetConnectCommand(TZoGSMThread::kConnect);
    userDisconnect_ = false;
    reconnectTimer_->Tag = 0;
    if (settings_.CheckPwrSig) {
      pollTimer_->SetInterval(500);
      pollTimer_->Start();
    }
  } else {
    engine_->SetConnectCommand(TZoGSMThread::kDisconnect);
  }
}

}  // namespace modem
