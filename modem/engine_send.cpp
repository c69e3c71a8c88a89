// The send step of the engine loop: the first queued message part goes to the
// modem ("AT+CMGS=" with its length, the prompt, the PDU and Ctrl-Z), the
// answer is collected and judged, and the part is reported (OnPartReport,
// OnAfterSend), retried, restarted quietly, rejected or left uncertain. The
// caller has the last word before a part goes out (OnAboutToSubmit).
//
// The submission buffer that is logged begins with the part's queue line
// (written from the part, never read back), but the
// outcome, the message reference and the unsolicited codes are read from the
// modem's answer alone: a message text that itself holds "+CMGS:", "ERROR"
// or "+CMTI:" must not decide how its own submission went.
//
// A part whose PDU never went out (no prompt) is never reported sent, and
// the modem is never left waiting at its prompt (engine_send_recovery.cpp).
// A part whose PDU went out and whose answer never came (not in the
// network's time, or the modem vanished first) is uncertain: the network may
// have taken it, so it is reported once as such and never submitted again.
// The answer is judged as soon as it holds its final result code: a modem
// that answers at once costs no wait for more. A modem that answers the PDU
// with a bare "OK" has accepted it: the part is sent, its reference unknown.
// A part not sent says why in its report.

#include "modem/cms_errors.h"
#include "modem/engine_thread.h"
#include "modem/engine_timing.h"
#include "modem/message_parts.h"
#include "modem/send_causes.h"
#include "modem/text_fields.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {
namespace {

constexpr char kCtrlZ = 26;
// A modem that never stops talking ends the collection at this size.
constexpr size_t kMaxAnswer = 65536;

bool HasFinalResult(std::string_view answer) { return Contains(answer, "OK\r") || Contains(answer, "ERROR\r"); }

// A whole "+CMS ERROR: n" line ends a submission as well.
bool HasCmsErrorLine(std::string_view answer) {
  const size_t at = answer.find("+CMS ERROR");
  return at != std::string_view::npos && answer.find_first_of("\r\n", at) != std::string_view::npos;
}

bool IsErrorAnswer(std::string_view answer) { return Contains(answer, "+CMS ERROR") || Contains(answer, "ERROR\r"); }

bool HasUnsolicitedCode(std::string_view answer) {
  return Contains(answer, "+CMT") || Contains(answer, "+CLIP") || Contains(answer, "+CDS");
}

}  // namespace

void TZoGSMThread::SendStep() {
  pendingRx_ = false;
  pendingRxText_.clear();
  if (SendQueue.Empty()) cmmsSent_ = false;
  if (!CommandQueue.Empty() || SendQueue.Empty() || !modemConnected_ || modemError_) return;
  SubmitFirstPart();
}

std::string TZoGSMThread::KeepLinkForMessages() {
  if (!capabilities_.ATCMMS.Available || cmmsSent_) return {};
  const std::string command = capabilities_.ATCMMS.Command;
  const std::string response = SendSerialAT(command, true);
  LogRx(command + "\r\n" + response);
  cmmsSent_ = true;
  errorStep_ = error_step::kLinkKeptForMessages;
  return response;
}

void TZoGSMThread::SubmitFirstPart() {
  if (const std::optional<QueuedEntry> part = SendQueue.First(); part && !IsSendablePart(part->value)) {
    // Sending it could only fail, or make the modem take part of it for a
    // command: it is rejected at once, and the modem stays connected.
    RejectPart(*part, send_cause::Unsendable(), false, false);
    return;
  }
  if (TakeLateConfirmation(KeepLinkForMessages())) {
    ReadAway();  // the link-keeping command's own answer
    return;
  }
  NoteUnreadStatusReports();
  const std::optional<QueuedEntry> part = SendQueue.First();
  if (!part) return;  // the caller emptied the queue meanwhile
  if (!MayGoOut(part->value)) {
    RejectPart(*part, send_cause::NotRecorded(), false, false);
    return;
  }

  Transmission transmission = TransmitPart(*part);
  std::string& answer = transmission.answer;
  errorStep_ = error_step::kCollectingAnswer;
  const bool answered = CollectAnswer(answer);
  const std::string buffer = FormatPartLine(part->value) + answer;
  const bool errorAnswer = answered && IsErrorAnswer(answer);

  if (link_.PortLost()) {
    // The modem went away: no fault of the part. A part it had accepted is
    // reported sent, one whose PDU went out unanswered is uncertain; any
    // other stays queued as it was. The reception step reports the loss and
    // closes the connection.
    const bool accepted = Contains(answer, "+CMGS:") || (HasFinalResult(answer) && !errorAnswer);
    if (transmission.pduSent && accepted) {
      ReportSentPart(*part, buffer, answer);
    } else if (transmission.pduSent && !errorAnswer) {
      ReportUncertainPart(*part, buffer, send_cause::LinkLostAfterSubmission());
    } else {
      LogRx("---- Buffer START ----\r\n" + buffer + "\r\n");
    }
    return;
  }
  // Without its PDU a part is not sent, whatever the modem said.
  if (errorAnswer) {
    ReportErrorFailure(*part, buffer, answer);
  } else if (!answered || !transmission.pduSent) {
    ReportTimeoutFailure(*part, buffer, transmission);
  } else {
    ReportSentPart(*part, buffer, answer);
  }

  const std::optional<QueuedEntry> first = SendQueue.First();
  if (first && first->object > 2) {
    const bool known = lastFailure_.partId == first->id;
    RejectPart(*first, known ? lastFailure_.cause : send_cause::NoAnswer(), errorAnswer, true);
  }
  errorStep_ = error_step::kSubmissionDone;
}

bool TZoGSMThread::MayGoOut(const TQueuedPart& part) {
  if (!aboutToSubmit_) return true;
  try {
    return aboutToSubmit_(part);
  } catch (const std::exception&) {
    return false;  // what could not be recorded must not go out
  }
}

TZoGSMThread::Transmission TZoGSMThread::TransmitPart(const QueuedEntry& part) {
  link_.SendText("AT+CMGS=" + std::to_string(part.value.tpduLength) + "\r");
  if (!link_.WaitForData(timing::Scaled(timing::kPromptWait))) {
    CancelPrompt();
    return {false, {}, {}, send_cause::NoPrompt()};
  }
  // Many modems send the prompt "> " without a CR LF before it: the ">" may
  // well be the first thing that arrives. What came before it is no answer
  // to this submission.
  const std::string beforePrompt = link_.ReceiveUntil(timing::Scaled(timing::kPromptWait), ">");
  if (const int error = link_.LastError(); error != platform::kSerialOk) {
    // No prompt in time (what came instead stays buffered for the
    // collection), or the link failed.
    platform::AnsiString cause = send_cause::NoPrompt();
    if (error != platform::kSerialTimeout) {
      cause = send_cause::LinkError(link_.LastErrorText());
      QuietError("SendPDU error: " + link_.LastErrorText());
    }
    CancelPrompt();
    return {false, {}, {}, cause};
  }
  // What came before the prompt is no answer to this submission, though it
  // may be the late answer to an uncertain one.
  TakeLateConfirmation(beforePrompt);
  unconfirmed_.reset();
  const auto sentAt = std::chrono::steady_clock::now();
  return {true, link_.ExchangeAT(part.value.pdu + kCtrlZ).response, sentAt, {}};
}

bool TZoGSMThread::CollectAnswer(std::string& answer) {
  bool answered = false;
  int wait = timing::Scaled(timing::kCollectFirstWait);
  // An answer that is already whole needs no wait for more.
  const bool whole = HasFinalResult(answer) || HasCmsErrorLine(answer);
  while (!whole && answer.size() < kMaxAnswer && link_.WaitForData(wait)) {
    const std::string packet = link_.ReceivePacket(timing::Scaled(timing::kReceivePacketTimeout));
    answer += packet;
    // The blank that follows the prompt (left over when the modem said
    // nothing more) or a stray line end is no answer.
    if (TrimControl(packet).empty()) continue;
    answered = true;
    if (HasFinalResult(answer) || HasCmsErrorLine(answer)) break;
    wait = timing::Scaled(timing::kCollectNextWait);
  }
  // A "+CMS ERROR: n" is an answer too, even when the exchange of the PDU
  // took it in and the collection found nothing more.
  return answered || Contains(answer, "+CMGS:") || Contains(answer, "+CMS ERROR") || HasFinalResult(answer);
}

void TZoGSMThread::ReportSentPart(const QueuedEntry& part, const std::string& buffer, const std::string& answer) {
  errorStep_ = error_step::kPartSent;
  if (HasUnsolicitedCode(answer)) {
    pendingRx_ = true;
    pendingRxText_ = answer;
  }
  LogRx("****** [ v.3.x Sending SMS ] ******\r\n" + buffer + "---END OF BUFFER---\r\n");
  errorStep_ = error_step::kSentPartLogged;
  errorStep_ = error_step::kSentPartRead;
  const int reference = MessageReference(answer);
  errorStep_ = error_step::kSentPartReference;
  // A part the caller dropped while it was submitted has reached the phone
  // all the same: it is reported, and nothing else leaves the queue.
  SendQueue.RemoveFirstIf(part.id);
  ReportPart({part.value, true, reference, {}, -1});
  ReportQueueCount();
}

void TZoGSMThread::ReportTimeoutFailure(const QueuedEntry& part, const std::string& buffer,
                                        const Transmission& transmission) {
  errorStep_ = error_step::kPartTimedOut;
  cmmsSent_ = false;
  LogRx("---- Buffer START ----\r\n" + buffer + "\r\nTimeOUT - ERROR / errorstep = 19\r\n");
  if (transmission.pduSent) {
    // The network may still confirm a PDU the modem took, or reject it.
    const auto deadline =
        transmission.pduSentAt + std::chrono::milliseconds(timing::Scaled(timing::kNetworkAnswerWait));
    std::string late;
    if (AwaitLateAnswer(late, deadline)) {
      ReportSentPart(part, buffer + late, late);
      return;
    }
    if (IsErrorAnswer(late)) {
      ReportErrorFailure(part, buffer + late, late);
      return;
    }
    // Retrying could put a second copy on the customer's phone.
    ReportUncertainPart(part, buffer, send_cause::NoNetworkAnswer());
    QuietError("SendSMS error: TimeOUT");
    return;
  }
  lastFailure_ = {part.id, transmission.notSentCause, -1};
  CountFailure(part);
  QuietError("SendSMS error: TimeOUT");
}

void TZoGSMThread::ReportErrorFailure(const QueuedEntry& part, const std::string& buffer, const std::string& answer) {
  LogRx(buffer + "\r\nERROR SENDING SMS  TRY ONCE MORE\r\n");
  QuietError("SendSMS error(timeout): ERROR SENDING SMS");
  const std::optional<int> cms = CmsErrorCode(answer);
  lastFailure_ = {part.id, cms ? CmsErrorText(*cms) : send_cause::ErrorAnswer(), cms.value_or(-1)};
  CountFailure(part);
}

void TZoGSMThread::CountFailure(const QueuedEntry& part) {
  // A part the caller dropped meanwhile is not retried.
  const std::optional<std::intptr_t> failures = SendQueue.AddToFirstObjectIf(part.id, 1);
  if (failures != 2) return;
  cmmsSent_ = false;
  if (Settings().AutoModemINIT) QuietRestart();
}

void TZoGSMThread::QuietRestart() {
  modemError_ = true;
  ModemOff();
  modemConnected_ = false;
  SetConnectCommand(kConnect);
  QuietError("TimeOUT --> Quiet Modem RESTART");
}

void TZoGSMThread::RejectPart(const QueuedEntry& part, const platform::AnsiString& cause, bool modemAnsweredError,
                              bool closeConnection) {
  errorStep_ = error_step::kPartRejected;
  LogRx(FormatPartLine(part.value) + (modemAnsweredError ? "\r\nERROR SENDING SMS\r\n" : ""));
  SendQueue.RemoveFirstIf(part.id);
  const int cmsError = lastFailure_.partId == part.id ? lastFailure_.cmsError : -1;
  ReportPart({part.value, false, -1, cause, cmsError});
  StopRestOfMessage(part.value, send_cause::EarlierPartNotSent(part.value.partNumber), "WAS REJECTED");
  QuietError("SendSMS error: SMS REJECTED");
  ReportQueueCount();
  if (!closeConnection) return;
  modemError_ = true;
  ModemOff();
}

void TZoGSMThread::ReportPart(const TPartReport& report) {
  OnOwner([&report](TZoGSM& component) { component.DoPartReport(report); });
}

void TZoGSMThread::ReportQueueCount() {
  OnOwner([this](TZoGSM& component) {
    component.queueCount_ = static_cast<int>(SendQueue.Count());
    component.DoSendProgress();
  });
}

}  // namespace modem
