// Received messages and status reports handed to the application: decoded,
// their concatenation data and recipient tag taken out, secret messages
// deciphered, questions recognised, each raised as one event.
//
// The decoders run here, on the engine thread; what they could not read
// reaches the application as OnPduError ("PDU ERROR ..."), which decides how
// to show it.

#include <algorithm>
#include <optional>

#include "modem/engine_thread.h"
#include "modem/error_steps.h"
#include "modem/pdu_line.h"
#include "modem/received_text.h"
#include "modem/secret_text.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "sms/pdu_bytes.h"
#include "sms/sms_decoder.h"

namespace modem {
namespace {

// How many delivered PDUs the engine remembers to recognise a repeated one.
constexpr size_t kRememberedPdus = 64;

const std::string kStatusReportText = "Status REPORT ";

// The time stamp of a message or report as the application gets it.
std::string TimeStampText(const sms::DateTime& time) {
  if (time.IsZero()) return platform::FormatDateTime(platform::CalendarTime{});
  return platform::FormatDateTime(
      platform::CalendarTime{time.year, time.month, time.day, time.hour, time.minute, time.second});
}

// A received message taken apart, before it is raised.
struct ReceivedMessage {
  std::string sender;
  std::string text;
  std::string recipient;
  bool isUDH = false;
  int ref = -1, total = -1, part = -1;
  std::string timeStamp;
  std::vector<std::string> pduErrors;  // what the decoder could not read
};

ReceivedMessage ReadMessage(const std::string& pdu, const TZoGSMSettings& settings) {
  ReceivedMessage message;
  sms::TSMS decoder;
  decoder.ParsePDU(pdu);
  message.pduErrors = decoder.Errors();
  message.text = platform::UnicodeToAnsi(decoder.GetText());
  message.sender = decoder.GetSender();
  const sms::UDHValues udh = sms::GetUDHValues(pdu);
  message.isUDH = decoder.HasUDH();
  message.ref = udh.reference;
  message.total = udh.total;
  message.part = udh.sequence;
  if (!message.isUDH) {
    if (const std::optional<TextPrefix> prefix = ReadTextPrefix(message.text)) {
      message.isUDH = true;
      message.total = prefix->total;
      message.part = prefix->part;
      message.ref = PrefixReference(message.sender, prefix->total);
      message.text.erase(0, kTextPrefixLength);
    }
  }
  const RecipientTag tag = ExtractRecipient(
      message.text,
      {settings.RecipientSepStart, settings.RecipientSepStop, &settings.RecipientsTable, &settings.RecipientsGroups});
  message.recipient = tag.recipient;
  message.text = tag.text;
  message.timeStamp = TimeStampText(decoder.GetTimeStamp());
  return message;
}

// The block a received message adds to RxLines.
std::string LogBlock(const ReceivedMessage& message) {
  const std::string crlf(kCrLf);
  return crlf + "[ NOWY SMS ]" + crlf + crlf + "[OD: " + message.sender + "]" + crlf + crlf + "[TEXT: " +
         message.text + "]" + crlf + crlf + "[Time: " + message.timeStamp + "]" + crlf + crlf +
         "[ aRef: " + std::to_string(message.ref) + ",     aTot: " + std::to_string(message.total) +
         ",    aNum: " + std::to_string(message.part) + " ]";
}

// The text of a secret message ("55" ... "AA"), deciphered; nothing for any
// other text.
std::optional<std::string> SecretText(const std::string& text) {
  if (text.size() < 4 || !text.starts_with("55") || !text.ends_with("AA")) return std::nullopt;
  const std::optional<std::string> plain = UnscrambleText(std::string_view(text).substr(2, text.size() - 4));
  return plain ? *plain : std::string("Decoding ERROR");
}

}  // namespace

bool TZoGSMThread::RefuseBrokenPdu(const std::string& pduLine, int announcedLength, const char* source) {
  const std::string fault = PduLineFault(pduLine, announcedLength);
  if (fault.empty()) return false;
  QuietError(std::string("Thread (") + source + ") ERROR: not a PDU (" + fault + "): " + pduLine);
  return true;
}

bool TZoGSMThread::DeliveredBefore(const std::string& pdu, const char* source) {
  if (std::find(deliveredPdus_.begin(), deliveredPdus_.end(), pdu) != deliveredPdus_.end()) {
    QuietError(std::string("Thread (") + source + ") message delivered before, not raised again: " + pdu);
    return true;
  }
  deliveredPdus_.push_back(pdu);
  if (deliveredPdus_.size() > kRememberedPdus) deliveredPdus_.pop_front();
  return false;
}

void TZoGSMThread::AppendRxText(const std::string& text) { RxLines.SetText(RxLines.Text() + text); }

TZoGSMThread::Delivery TZoGSMThread::DeliverMessage(const std::string& pduLine, int announcedLength,
                                                     const char* source) {
  if (RefuseBrokenPdu(pduLine, announcedLength, source)) return Delivery::Refused;
  const std::string pdu = NormalisedPdu(pduLine);
  if (DeliveredBefore(pdu, source)) return Delivery::Repeated;
  errorStep_ = error_step::kDecodingMessage;
  const TZoGSMSettings settings = Settings();
  const ReceivedMessage message = ReadMessage(pdu, settings);
  for (const std::string& error : message.pduErrors) {
    OnOwner([&error](TZoGSM& component) { component.DoPduError(error); });
  }
  errorStep_ = error_step::kNotingMessage;
  OnOwner([&](TZoGSM& component) {
    component.pdu_ = TrimControl(pduLine);
    component.telNr_ = message.sender;
    component.eventSMSText_ = message.text;
    component.recipient_ = message.recipient;
    component.isUDH_ = message.isUDH;
    component.udhInfo_.aRef = message.ref;
    component.udhInfo_.aTot = message.total;
    component.udhInfo_.aNum = message.part;
    component.smsTimeStamp_ = message.timeStamp;
    component.statusReport_ = false;
  });
  errorStep_ = error_step::kLoggingMessage;
  AppendRxText(LogBlock(message));
  errorStep_ = error_step::kCheckingSecretMessage;
  if (const std::optional<std::string> secret = SecretText(message.text)) {
    errorStep_ = error_step::kRaisingSecretMessage;
    OnOwner([&](TZoGSM& component) {
      component.eventSMSText_ = *secret;
      component.from_ = message.sender;
      component.DoSecretSMS();
    });
    errorStep_ = error_step::kMessageDelivered;
    return Delivery::Delivered;
  }
  errorStep_ = error_step::kHandingOverMessageLog;
  Dispatch(&TZoGSM::DoAfterComRx);
  errorStep_ = error_step::kRaisingMessage;
  const std::vector<std::string> questions = Settings().PromoQuestions;
  const std::string* question = MatchingQuestion(message.text, questions);
  OnOwner([&](TZoGSM& component) {
    if (question) {
      component.promoQuestion_ = *question;
      component.DoNewQuestion();
    } else {
      component.DoNewSMS();
    }
  });
  errorStep_ = error_step::kMessageDelivered;
  return Delivery::Delivered;
}

TZoGSMThread::Delivery TZoGSMThread::DeliverStatusReport(const std::string& pduLine, const char* source) {
  if (RefuseBrokenPdu(pduLine, -1, source)) return Delivery::Refused;
  const std::string pdu = NormalisedPdu(pduLine);
  errorStep_ = error_step::kDecodingStatusReport;
  const sms::TSmsPdu report = sms::DecodeBytes(true, pdu);
  if (report.Kind != sms::kStatusReportParsed) {
    QuietError(std::string("Thread (") + source + ") ERROR: not a status report: " + pduLine);
    return Delivery::Refused;
  }
  if (DeliveredBefore(pdu, source)) return Delivery::Repeated;
  errorStep_ = error_step::kTimingStatusReport;
  const std::string timeStamp = TimeStampText(report.Time);
  errorStep_ = error_step::kNotingStatusReport;
  OnOwner([&](TZoGSM& component) {
    component.pdu_ = TrimControl(pduLine);
    component.eventSMSText_ = kStatusReportText;
    component.telNr_ = report.Address;
    component.isUDH_ = false;
    component.udhInfo_.aRef = report.Reference;
    component.udhInfo_.Delivered = report.Status <= 2 ? 1 : 0;
    component.udhInfo_.Status = report.Status;
    component.smsTimeStamp_ = timeStamp;
    component.statusReport_ = true;
  });
  errorStep_ = error_step::kHandingOverReportLog;
  Dispatch(&TZoGSM::DoAfterComRx);
  errorStep_ = error_step::kRaisingStatusReport;
  Dispatch(&TZoGSM::DoNewSMS);
  errorStep_ = error_step::kStatusReportDelivered;
  return Delivery::Delivered;
}

}  // namespace modem
