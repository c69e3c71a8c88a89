// Submissions that went wrong, handled so that no message is lost, none is
// sent twice and the modem is never left waiting for a message:
// - a modem that gave no prompt, or one an earlier program left at its
//   prompt, is told with ESC to drop the message it waits for; otherwise it
//   would take the next commands as message text and never answer again;
// - the network's answer is waited for as long as modems allow it; a part
//   whose PDU went out and whose answer never came is uncertain and never
//   submitted again (the customer may have it already); an answer that
//   still comes later is logged, and taken for no other submission's;
// - the rest of a message whose part was rejected or is uncertain is not
//   sent: the phone could not put it together, and every part is billed;
// - a status report asked for while the modem was not told to pass reports
//   on is said once per connection.

#include <algorithm>
#include <chrono>
#include <utility>

#include "modem/engine_thread.h"
#include "modem/engine_timing.h"
#include "modem/message_parts.h"
#include "modem/part_group.h"
#include "modem/send_causes.h"
#include "modem/text_fields.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {
namespace {

constexpr char kEscape = 27;
constexpr size_t kMaxLateAnswer = 65536;

bool WholeAnswer(std::string_view text) {
  if (Contains(text, "OK\r") || Contains(text, "ERROR\r")) return true;
  const size_t at = text.find("+CMS ERROR");
  return at != std::string_view::npos && text.find_first_of("\r\n", at) != std::string_view::npos;
}

// The "ds" value (fourth) of an AT+CNMI command: status reports are passed on
// to the program when it is not 0.
bool PassesStatusReports(std::string_view cnmiCommand) {
  const size_t equals = cnmiCommand.find('=');
  if (equals == std::string_view::npos) return false;
  const std::optional<int> ds = ParseInt(CsvField(cnmiCommand.substr(equals + 1), 3));
  return ds.value_or(0) != 0;
}

}  // namespace

void TZoGSMThread::CancelPrompt() { link_.SendText(std::string(1, kEscape)); }

void TZoGSMThread::CancelLeftoverPrompt() {
  link_.WriteTimeout = timing::Scaled(timing::kConnectWriteTimeout);
  CancelPromptAndReadAway();
}

void TZoGSMThread::CancelPromptAndReadAway() {
  CancelPrompt();
  ReadAway();
}

void TZoGSMThread::ReadAway() {
  // A reply that came after the read-away would be taken for the answer to
  // the next command and shift every later answer by one: this wait is
  // never scaled below its own value where the waits for the modem are
  // kept up (tests on a busy machine).
  const int settle = std::max(timing::Scaled(timing::kEscapeSettle),
                              std::min(timing::kEscapeSettle, timing::ModemWaitFloor()));
  size_t readAway = 0;
  while (readAway < kMaxLateAnswer && link_.WaitForData(settle)) {
    readAway += link_.ReceivePacket(settle).size();
  }
}

bool TZoGSMThread::WaitForDataUnlessStopped(int milliseconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  const int slice = timing::Scaled(timing::kIdlePollWait);
  while (!stopRequest_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    if (link_.WaitForData(static_cast<int>(std::min<long long>(left, slice)))) return true;
    if (link_.LastError() != platform::kSerialTimeout) return false;
  }
  return false;
}

bool TZoGSMThread::AwaitLateAnswer(std::string& late, std::chrono::steady_clock::time_point deadline) {
  using namespace std::chrono;
  const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
  int wait = static_cast<int>(std::max<long long>(left, 1));
  while (late.size() < kMaxLateAnswer && WaitForDataUnlessStopped(wait)) {
    late += link_.ReceivePacket(timing::Scaled(timing::kReceivePacketTimeout));
    if (WholeAnswer(late)) break;
    wait = timing::Scaled(timing::kCollectNextWait);
  }
  if (Contains(late, "+CMGS:")) return true;
  if (!TrimControl(late).empty()) {
    // Not the network's answer: unsolicited text, analysed in this pass.
    LogRx("Late text after the submission:\r\n" + late);
    pendingRx_ = true;
    pendingRxText_ = late;
  }
  return false;
}

bool TZoGSMThread::TakeLateConfirmation(const std::string& text) {
  if (!unconfirmed_ || !Contains(text, "+CMGS:")) return false;
  const QueuedEntry part = *std::exchange(unconfirmed_, std::nullopt);
  // It was reported uncertain already: its report stands.
  LogRx("Late confirmation of a part reported uncertain (not sent again):\r\n" + FormatPartLine(part.value) + text);
  return true;
}

void TZoGSMThread::ReportUncertainPart(const QueuedEntry& part, const std::string& buffer,
                                       const platform::AnsiString& cause) {
  errorStep_ = error_step::kPartUncertain;
  LogRx("---- Buffer START ----\r\n" + buffer + "\r\nSMS UNCERTAIN: NO ANSWER AFTER THE PDU, NOT SENT AGAIN\r\n");
  // Reported even when the caller dropped it meanwhile: it may have reached
  // the phone.
  SendQueue.RemoveFirstIf(part.id);
  TPartReport report{part.value, false, -1, cause, -1};
  report.uncertain = true;
  ReportPart(report);
  unconfirmed_ = part;
  cmmsSent_ = false;
  StopRestOfMessage(part.value, send_cause::EarlierPartUncertain(part.value.partNumber), "IS UNCERTAIN");
  ReportQueueCount();
}

void TZoGSMThread::StopRestOfMessage(const TQueuedPart& stopped, const platform::AnsiString& cause,
                                     const std::string& why) {
  while (const std::optional<QueuedEntry> next = SendQueue.First()) {
    if (!IsLaterPartOfSameMessage(stopped, next->value)) return;
    if (!SendQueue.RemoveFirstIf(next->id)) continue;  // the caller changed the queue meanwhile
    LogRx(FormatPartLine(next->value) + "\r\nSMS NOT SENT: PART " + std::to_string(stopped.partNumber) +
          " OF THIS MESSAGE " + why + "\r\n");
    ReportPart({next->value, false, -1, cause, -1});
  }
}

void TZoGSMThread::NoteUnreadStatusReports() {
  // Looked at with the first part of a connection.
  if (statusReportNoticeGiven_) return;
  statusReportNoticeGiven_ = true;
  const TZoGSMSettings settings = Settings();
  if (!settings.SMSReport) return;
  bool passedOn = false;
  if (settings.AutoModemINIT) {
    passedOn = !settings.DisableIncomingSMS && capabilities_.ATCNMI.Available &&
               PassesStatusReports(capabilities_.ATCNMI.Command);
  } else {
    for (const std::string& line : settings.InitStrings) {
      if (Contains(line, "AT+CNMI")) passedOn = PassesStatusReports(line);
    }
  }
  if (passedOn) return;
  QuietError(
      "SMSReport: the modem is not told to pass status reports on (incoming messages disabled); "
      "no delivery report will reach the program");
}

}  // namespace modem
