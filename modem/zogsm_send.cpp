// TZoGSM: send requests. The number and the text of a request, the preview of
// its message parts, and SendSMS, which queues the parts for the engine.

#include "modem/engine_thread.h"
#include "modem/reference_store.h"
#include "modem/secret_text.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "sms/sms_encoder.h"

namespace modem {

void TZoGSM::SetSMSNumber(const std::string& value) {
  smsNumber_ = NormaliseNumber(value, settings_.PrefixForCountry, settings_.CheckNumberSyntax);
}

void TZoGSM::SetSMSText(const std::string& value) {
  smsText_ = settings_.EncodeSMS ? SecretMessageText(value, settings_.EncodePIN) : TrimControl(value);
  txMessageParts_.clear();
  if (TrimControl(value).empty()) return;
  std::uint8_t scratchReference = 0;  // a preview never uses RefNum
  BuildMessageParts(scratchReference);
}

SplitRequest TZoGSM::CurrentSplitRequest() const {
  SplitRequest request;
  request.number = smsNumber_;
  request.text = smsText_;
  request.marker = smsMessageMarker_;
  request.mergeMax = settings_.SMSMergeMax;
  request.flash = settings_.SMSFlash;
  request.forceUcs2 = settings_.SpecialSymbols;
  request.statusReport = settings_.SMSReport;
  return request;
}

bool TZoGSM::BuildMessageParts(std::uint8_t& reference) {
  try {
    txMessageParts_ = SplitIntoParts(CurrentSplitRequest(), reference);
    return true;
  } catch (const sms::EncodeError& error) {
    txMessageParts_.clear();
    ShowMessage(error.what());
    return false;
  }
}

void TZoGSM::StoreRefNum() {
  std::string error;
  if (StoreReference(appDir_, settings_.InstanceName, refNum_, &error)) return;
  // The next start would reuse references of messages already sent; the
  // sending itself goes on.
  errorText_ = "RefNum store error: " + error;
  DoQuietError();
}

int TZoGSM::SendSMS() {
  if (!connected_ || !engine_) {
    ShowMessage(platform::Utf8ToAnsi("Brak połączenia z modemem GSM!"));
    return -1;
  }
  txMessageParts_.clear();
  smsText_ = PrepareTextForSending(smsText_, settings_.SpecialSymbols, settings_.CutCRLFfromText);
  const bool encoded = BuildMessageParts(refNum_);
  StoreRefNum();
  if (!encoded) return 0;
  if (txMessageParts_.empty()) {
    ShowMessage(platform::Utf8ToAnsi("Brak wiadomości do wysłania!"));
    return 0;
  }
  for (const std::string& line : txMessageParts_) engine_->SendQueue.Append(line, 0);
  queueCount_ = static_cast<int>(engine_->SendQueue.Count());
  DoSendProgress();
  return static_cast<int>(txMessageParts_.size());
}

void TZoGSM::ClearSendQueue() {
  if (engine_) engine_->SendQueue.Clear();
}

}  // namespace modem
