#include "modem/modem_search.h"

#include "modem/zogsm.h"
#include "platform/codepage.h"
#include "platform/port_list.h"

namespace modem {

ModemSearch::ModemSearch(TZoGSM& component, platform::MainLoop& loop)
    : component_(component), timer_(loop.CreateTimer()) {
  timer_->SetInterval(kSearchStepMs);
  timer_->OnTimer = [this] { Step(); };
}

ModemSearch::~ModemSearch() { timer_->Stop(); }

void ModemSearch::RefreshComPorts() {
  std::optional<std::vector<std::string>> ports = source_ ? source_() : platform::ReadSerialPorts();
  if (!ports) {
    portList_.clear();
    component_.SetErrorText("Problem with COM ports reg enumeration");
    component_.DoQuietError();
    return;
  }
  platform::SortNaturally(*ports);
  portList_ = std::move(*ports);
}

void ModemSearch::SearchModem() {
  if (!component_.Active()) {
    component_.ReportMisuse(platform::Utf8ToAnsi("Brak aktywnej usługi GSM!"));
    return;
  }
  if (component_.Connected()) {
    component_.ReportMisuse(platform::Utf8ToAnsi("SEARCH MODEM - Połączenie z modemem jest już AKTYWNE!"));
    return;
  }
  if (portList_.empty()) return;
  found_ = -1;
  searchIndex_ = 0;
  searching_ = true;
  timer_->Start();
}

void ModemSearch::Step() {
  timer_->Stop();
  if (!searching_) return;
  const int count = static_cast<int>(portList_.size());
  if (searchIndex_ >= count) {  // the list was shortened meanwhile
    searching_ = false;
    Report(0, kNoModemPort, 0);
    return;
  }
  const std::string port = portList_[static_cast<size_t>(searchIndex_)];
  Report((searchIndex_ + 1) * 100 / count, port, -1);
  // A handler may have switched the component off meanwhile.
  if (!searching_ || !component_.Active()) return;
  component_.SetComPort(port);
  component_.SetConnected(true);
  ++searchIndex_;
}

void ModemSearch::ConnectionReported() {
  if (!searching_) return;
  timer_->Stop();
  searching_ = false;
  Report(0, component_.ComPort(), 1);
}

void ModemSearch::DisconnectionReported() {
  if (!searching_) return;
  if (searchIndex_ < static_cast<int>(portList_.size())) {
    timer_->Start();
    return;
  }
  // The last port had no modem either: one closing report, and no new round.
  timer_->Stop();
  searching_ = false;
  Report(0, kNoModemPort, 0);
}

void ModemSearch::EngineEnded() {
  timer_->Stop();
  searching_ = false;
}

void ModemSearch::Report(int progress, const std::string& port, int found) {
  progress_ = progress;
  port_ = port;
  found_ = found;
  component_.DoSearchProgress();
}

}  // namespace modem

// ---- The component's members that forward to its search ----

namespace modem {

const std::vector<std::string>& TZoGSM::PortList() const { return search_->PortList(); }
void TZoGSM::RefreshComPorts() { search_->RefreshComPorts(); }
void TZoGSM::SearchModem() { search_->SearchModem(); }
bool TZoGSM::Searching() const { return search_->Searching(); }
platform::Timer& TZoGSM::SearchTimer() { return search_->SearchTimer(); }

}  // namespace modem
