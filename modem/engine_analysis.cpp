// What the modem says on its own, in the text received while idle and in the
// answer of a queued command: new-message indications, directly delivered
// messages, rings and call indicators; and the answers of the storage
// commands (a read message, a listing). Status report lines are read with
// the power and signal lines (engine_status.cpp).

#include <exception>
#include <iterator>

#include "modem/engine_thread.h"
#include "modem/error_steps.h"
#include "modem/pdu_line.h"
#include "modem/received_text.h"
#include "modem/text_fields.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "platform/text.h"
#include "sms/pdu_bytes.h"

namespace modem {
namespace {

// The listings of both storages after a new-message indication. Idle text
// puts them at the head of the queue, phone memory first; an answer puts them
// at the tail, SIM first.
constexpr const char* kIdleListings[] = {"AT+CPMS=\"ME\"", "AT+CMGL=0", "AT+CPMS=\"SM\"", "AT+CMGL=0"};
constexpr const char* kAnswerListings[] = {"AT+CPMS=\"SM\"", "AT+CMGL=0", "AT+CPMS=\"ME\"", "AT+CMGL=0"};

// The storage index of a "+CMGL: <index>,..." line.
std::string ListingIndex(const std::string& line) {
  const size_t colon = line.find(':');
  const size_t comma = line.find(',', colon);
  const size_t length = comma == std::string::npos ? comma : comma - colon - 1;
  return std::string(platform::TrimBlanks(std::string_view(line).substr(colon + 1, length)));
}

}  // namespace

void TZoGSMThread::AnalyseReceivedText(const std::string& text) {
  if (Contains(text, "+CDS:")) AnalyseStatusLines(text);
  errorStep_ = error_step::kNewMessageIndication;
  if (Contains(text, "+CMTI:") && !Settings().DisableIncomingSMS) {
    RxLines.SetText(text);
    NoteStoredMessages(text);
    for (auto it = std::rbegin(kIdleListings); it != std::rend(kIdleListings); ++it) CommandQueue.Insert(0, *it);
  }
  errorStep_ = error_step::kDeliveredMessageCheck;
  if (Contains(text, "+CMT:") && !Settings().DisableIncomingSMS) {
    errorStep_ = error_step::kDeliveredMessage;
    RxLines.SetText(TrimControl(text));
    DeliverDirectMessages(text, true);
    errorStep_ = error_step::kDeliveredMessagesDone;
  }
  if (Contains(text, "+CLIP:")) {
    HandleRing(text);
    RxLines.Append("----------- BufComRx END ---");
    Dispatch(&TZoGSM::DoAfterComRx);
  }
  if (Contains(text, "+CIEV:")) {
    HandleCallState(text, false);
    RxLines.Append("----------- BufComRx END #2 ---");
    Dispatch(&TZoGSM::DoAfterComRx);
  }
}

void TZoGSMThread::AnalyseCommandAnswer(const std::string& command, const std::string& answer) {
  NotePhonebookSelection(command);
  AnalyseStatusLines(answer);
  if (Contains(answer, "+CPBR:")) CollectPhonebookEntries(answer);
  if (Contains(answer, "+CMGR:")) ReadStoredMessage(command, answer);
  if (Contains(answer, "+CMGL:")) ReadListing(answer);
  if (Contains(answer, "+CMTI:") && !Settings().DisableIncomingSMS) {
    RxLines.SetText(answer);
    NoteStoredMessages(answer);
    for (const char* listing : kAnswerListings) CommandQueue.Append(listing);
  }
  if (Contains(answer, "+CMT:") && !Settings().DisableIncomingSMS) {
    RxLines.SetText(answer);
    DeliverDirectMessages(answer, false);
  }
  if (Contains(answer, "+CLIP:")) HandleRingInAnswer(answer);
  if (Contains(answer, "+CIEV:")) {
    HandleCallState(answer, true);
    RxLines.Append("----------- BufComRx END #1 ---");
    Dispatch(&TZoGSM::DoAfterComRx);
  }
}

void TZoGSMThread::NoteStoredMessages(const std::string& text) {
  bool nearlyFull = false;
  int capacity = 0;
  OnOwner([&](TZoGSM& component) { capacity = component.SMSPhoneCapacity(); });
  for (const std::string& line : SplitLines(text)) {
    if (!Contains(line, "+CMTI:")) continue;
    errorStep_ = error_step::kNewMessageIndex;
    // A capacity of 0 is one the modem never told: nothing to warn about.
    if (capacity > 0 && IndicationIndex(line) > capacity - 10) nearlyFull = true;
  }
  if (nearlyFull) Dispatch(&TZoGSM::DoSMSMemoryFull);
}

void TZoGSMThread::DeliverDirectMessages(const std::string& text, bool queueAtHead) {
  tempList_ = SplitLines(TrimControl(text));
  const std::vector<std::string> lines = *tempList_;
  errorStep_ = error_step::kSearchingDeliveredMessage;
  // Every message of the text: a modem passes the parts of a long message on
  // one right after the other.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!Contains(lines[i], "+CMT:") || i + 1 == lines.size()) continue;
    errorStep_ = error_step::kDeliveredMessageFound;
    const std::string& pdu = lines[i + 1];
    const int announced = AnnouncedPduLength(lines[i]);
    if (RefuseBrokenPdu(pdu, announced, "+CMT:")) continue;  // the next line may be the next header
    if (DeliverMessage(pdu, announced, "+CMT:") == Delivery::Delivered) {
      if (queueAtHead) {
        CommandQueue.Insert(0, "AT");
      } else {
        CommandQueue.Append("AT");
      }
    }
    ++i;
    errorStep_ = error_step::kSearchingDeliveredMessage;
  }
  tempList_.reset();
}

void TZoGSMThread::ReadStoredMessage(const std::string& command, const std::string& answer) {
  const size_t equals = command.find('=');
  const std::string index = equals == std::string::npos ? std::string() : TrimControl(command.substr(equals + 1));
  tempList_ = SplitLines(answer);
  const std::vector<std::string> lines = *tempList_;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (!StartsWith(lines[i], "+CMGR:")) continue;
    const Delivery delivery = DeliverMessage(lines[i + 1], AnnouncedPduLength(lines[i]), "+CMGR:");
    // A message that could not be read stays in the modem.
    if (delivery != Delivery::Refused && Settings().DeleteSMSafterRead && ParseInt(index)) {
      CommandQueue.Insert(1, "AT+CMGD=" + index);
    } else {
      CommandQueue.Insert(1, "AT");
    }
    break;
  }
  tempList_.reset();
}

void TZoGSMThread::ReadListing(const std::string& answer) {
  tempList_ = SplitLines(answer);
  std::vector<std::string>& lines = *tempList_;
  while (lines.size() >= 2) {
    if (!StartsWith(lines[0], "+CMGL:")) {
      lines.erase(lines.begin());
      continue;
    }
    const std::string index = ListingIndex(lines[0]);
    const std::string header = lines[0];
    const std::string pdu = lines[1];
    if (TrimControl(pdu).empty()) {
      lines.erase(lines.begin(), lines.begin() + 2);
      continue;
    }
    const int announced = AnnouncedPduLength(header);
    if (RefuseBrokenPdu(pdu, announced, "+CMGL:")) {
      // An entry without its PDU: the line after its header may be the next entry.
      lines.erase(lines.begin(), lines.begin() + (StartsWith(pdu, "+CMGL:") ? 1 : 2));
      continue;
    }
    Delivery delivery = Delivery::Refused;
    try {
      if (sms::DecodeBytes(true, NormalisedPdu(pdu)).Kind == sms::kStatusReportParsed) {
        delivery = DeliverStatusReport(pdu, "+CMGL:");
      } else {
        delivery = DeliverMessage(pdu, announced, "+CMGL:");
      }
    } catch (const std::exception& error) {
      QuietError(std::string("Thread (+CMGL:) ERROR: ") + error.what());
    }
    lines.erase(lines.begin(), lines.begin() + 2);
    // Deleted only once handed over (now or before); each delete goes right
    // behind the listing, so they run in reverse order of the listing.
    if (delivery != Delivery::Refused && Settings().DeleteSMSafterRead && ParseInt(index)) {
      CommandQueue.Insert(1, "AT+CMGD=" + index);
    }
  }
  tempList_.reset();
}

}  // namespace modem
