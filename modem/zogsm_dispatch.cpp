// The dispatchers: each raises its event with the argument slots the engine
// filled, on the main thread.

#include "modem/component_log.h"
#include "modem/engine_thread.h"
#include "modem/modem_search.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {

void TZoGSM::DoAfterComRx() {
  if (!OnAfterComRx) return;  // the text stays; later appends add to it
  if (engine_) {
    rxLinesCopy_ = engine_->RxLines.Lines();
    engine_->RxLines.Clear();
  }
  OnAfterComRx(*this, rxLinesCopy_);
}

void TZoGSM::DoNewSMS() {
  if (OnNewSMS) {
    OnNewSMS(*this, pdu_, eventSMSText_, telNr_, recipient_, isUDH_, udhInfo_, smsTimeStamp_, statusReport_);
  }
}

void TZoGSM::DoRing() {
  if (OnRing) OnRing(*this, nrTel_);
}

void TZoGSM::DoAfterSend() {
  if (OnAfterSend) {
    OnAfterSend(*this, eventMarker_, nrTel_, sendingStatus_, eventSMSText_, smsRef_, smsPartNr_, smsTotal_,
                waitReport_);
  }
}

void TZoGSM::DoPartReport(const TPartReport& report) {
  if (OnPartReport) OnPartReport(*this, report);
  const TQueuedPart& part = report.part;
  eventMarker_ = part.marker;
  nrTel_ = part.recipient.destination;
  // As the part line carries the text: a sent part gets its line breaks
  // back, a part that was not sent keeps the line's "%n".
  const std::string escaped = EscapePartText(part.text);
  eventSMSText_ = report.sent ? RestoreLineBreaks(escaped) : escaped;
  smsTotal_ = part.totalParts;
  smsPartNr_ = part.partNumber;
  // A part the modem accepted without naming its reference is sent too.
  sendingStatus_ = report.sent ? 1 : 0;
  smsRef_ = report.reference;
  waitReport_ = settings_.SMSReport;
  DoAfterSend();
}

void TZoGSM::DoPduError(const std::string& text) {
  if (OnPduError) OnPduError(*this, text);
}

void TZoGSM::DoCheckSignalPower() {
  if (search_->Searching()) return;
  if (OnCheckSignalPower) OnCheckSignalPower(*this, signal_, acPower_, batteryStatus_, stringSignal_);
}

void TZoGSM::DoGetModelGSM() {
  if (OnGetModelGSM) OnGetModelGSM(*this, model_, imei_, bios_, smsSIMCapacity_, smsPhoneCapacity_);
}

void TZoGSM::DoSendProgress() {
  if (OnSendProgress) OnSendProgress(*this, queueCount_);
}

void TZoGSM::DoSearchProgress() {
  if (OnSearchProgress) {
    OnSearchProgress(*this, search_->SearchProgress(), search_->SearchPort(), search_->SearchFound());
  }
}

void TZoGSM::DoSecretSMS() {
  if (OnSecretSMS) OnSecretSMS(*this, eventSMSText_, from_);
}

void TZoGSM::DoNewQuestion() {
  if (OnNewQuestion) OnNewQuestion(*this, promoQuestion_, eventSMSText_, telNr_);
}

void TZoGSM::DoCallBusy() {
  if (OnCallBusy) OnCallBusy(*this, callBusy_, callStatus_);
}

void TZoGSM::DoConnected() {
  search_->ConnectionReported();
  if (OnConnected) OnConnected(*this);
}

void TZoGSM::DoDisconnected() {
  connected_ = false;
  // During a search a port without a modem gets one attempt: reconnecting
  // there would only cost time and answer for a port already left behind.
  if (settings_.AutoConnect && !userDisconnect_ && !search_->Searching()) {
    reconnectTimer_->SetInterval(settings_.ACTimerInterval);
    reconnectTimer_->Start();
  }
  search_->DisconnectionReported();
  if (OnDisconnected) OnDisconnected(*this);
}

void TZoGSM::DoConnecting() {
  if (OnConnecting) OnConnecting(*this);
}

void TZoGSM::DoGSMActivate() {
  if (OnGSMActivate) OnGSMActivate(*this);
}

void TZoGSM::DoGSMDeActivate() {
  if (OnGSMDeActivate) OnGSMDeActivate(*this);
}

void TZoGSM::DoSMSMemoryFull() {
  if (OnSMSMemoryFull) OnSMSMemoryFull(*this);
}

void TZoGSM::DoGetPhoneBook() {
  if (OnGetPhoneBook) OnGetPhoneBook(*this);
}

void TZoGSM::DoQuietError() {
  if (OnQuietError) OnQuietError(*this);
  if (errorText_ == "OK" || !settings_.MakeLog || TrimControl(settings_.LogFileName).empty()) return;
  // A log that cannot be written must not take the engine down with it: the
  // report itself has already reached OnQuietError.
  AppendLogLine(settings_.LogFileName, errorText_, std::chrono::system_clock::now());
}

}  // namespace modem
