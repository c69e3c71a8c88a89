// TZoGSM: send requests. The number and the text of a request, the preview of
// its message parts, Send, which queues the parts of a message for the
// engine, and SendSMS, the same for the request the properties describe.

#include <algorithm>

#include "modem/engine_thread.h"
#include "modem/reference_store.h"
#include "modem/secret_text.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "sms/sms_encoder.h"

namespace modem {
namespace {

// The splitter's input for a message whose text is taken as it stands.
SplitRequest SplitRequestOf(const TOutgoingMessage& message, platform::AnsiString text) {
  return {message.recipient, std::move(text), message.marker,     message.mergeMax,
          message.flash,     message.ucs2,    message.statusReport};
}

// A resumed message leaves out the parts the network answered before; the
// others keep their numbers and PDUs, so the phone joins them to those.
void LeaveOutPartsDone(std::vector<TQueuedPart>& parts, const std::vector<int>& partsDone) {
  std::erase_if(parts, [&](const TQueuedPart& part) {
    return std::find(partsDone.begin(), partsDone.end(), part.partNumber) != partsDone.end();
  });
}

}  // namespace

void TZoGSM::SetSMSNumber(const std::string& value) {
  smsNumber_ = NormaliseNumber(value, settings_.PrefixForCountry, settings_.CheckNumberSyntax);
}

void TZoGSM::SetSMSText(const std::string& value) {
  smsText_ = settings_.EncodeSMS ? SecretMessageText(value, settings_.EncodePIN) : TrimControl(value);
  txMessageParts_.clear();
  if (TrimControl(value).empty()) return;
  std::uint8_t scratchReference = 0;  // a preview never uses RefNum
  // The preview counts the text as assigned: not prepared for sending.
  const TOutgoingMessage message = CurrentMessage();
  BuildMessageParts(SplitRequestOf(message, message.text), scratchReference);
}

TOutgoingMessage TZoGSM::CurrentMessage() const {
  TOutgoingMessage message;
  message.recipient.destination = smsNumber_;
  message.text = smsText_;
  message.marker = smsMessageMarker_;
  message.mergeMax = settings_.SMSMergeMax;
  message.flash = settings_.SMSFlash;
  message.statusReport = settings_.SMSReport;
  message.ucs2 = settings_.SpecialSymbols;
  message.cutCrLf = settings_.CutCRLFfromText;
  return message;
}

std::optional<std::vector<TQueuedPart>> TZoGSM::BuildMessageParts(const SplitRequest& request,
                                                                  std::uint8_t& reference) {
  try {
    std::vector<TQueuedPart> parts = SplitIntoParts(request, reference);
    txMessageParts_ = FormatPartLines(parts);
    return parts;
  } catch (const sms::EncodeError& error) {
    txMessageParts_.clear();
    ReportMisuse(error.what());
    return std::nullopt;
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
  const TOutgoingMessage message = CurrentMessage();
  const int parts = Send(message);
  // SMSText keeps the text as it was sent.
  if (parts >= 0) smsText_ = PrepareTextForSending(message.text, message.ucs2, message.cutCrLf);
  return parts;
}

int TZoGSM::Send(const TOutgoingMessage& message) {
  if (!connected_ || !engine_) {
    ReportMisuse(platform::Utf8ToAnsi("Brak połączenia z modemem GSM!"));
    return -1;
  }
  txMessageParts_.clear();
  const SplitRequest request =
      SplitRequestOf(message, PrepareTextForSending(message.text, message.ucs2, message.cutCrLf));
  // A resumed message splits with the reference its first parts carried;
  // RefNum belongs to new messages only.
  std::uint8_t resumedReference = static_cast<std::uint8_t>(message.concatReference.value_or(0) & 0xFF);
  std::optional<std::vector<TQueuedPart>> parts =
      BuildMessageParts(request, message.concatReference ? resumedReference : refNum_);
  if (!message.concatReference) StoreRefNum();
  if (!parts) return 0;
  if (parts->empty()) {
    ReportMisuse(platform::Utf8ToAnsi("Brak wiadomości do wysłania!"));
    return 0;
  }
  if (!message.partsDone.empty()) {
    LeaveOutPartsDone(*parts, message.partsDone);
    txMessageParts_ = FormatPartLines(*parts);
    if (parts->empty()) return 0;
  }
  for (const TQueuedPart& part : *parts) engine_->SendQueue.Append(part, 0);
  queueCount_ = static_cast<int>(engine_->SendQueue.Count());
  DoSendProgress();
  return static_cast<int>(parts->size());
}

void TZoGSM::ClearSendQueue() {
  if (engine_) engine_->SendQueue.Clear();
}

}  // namespace modem
