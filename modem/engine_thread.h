#pragma once
// TZoGSMThread: the engine. One per active component, running on a thread of
// its own; it alone owns the serial port. Its loop handles the component's
// connect, disconnect and stop requests, sends the queued AT commands and
// message parts, and collects what the modem sends on its own. Every
// notification goes to the component through the synchronous hand-over.
//
// The work is split by concern: the loop and its guard (engine_thread.cpp),
// the AT transaction, connection and disconnection (engine_connect.cpp),
// capability probes and initialisation (engine_capabilities.cpp), power and
// signal answers (engine_status.cpp), identification and phonebooks
// (engine_identification.cpp), message submission (engine_send.cpp) and its
// recovery from submissions that went wrong (engine_send_recovery.cpp), what
// the modem says on its own and the storage answers (engine_analysis.cpp),
// the delivery of received messages and status reports
// (engine_delivery.cpp), rings and call indicators (engine_calls.cpp).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "modem/capabilities.h"
#include "modem/error_steps.h"
#include "modem/hand_over.h"
#include "modem/outgoing_message.h"
#include "modem/serial_link.h"
#include "modem/shared_list.h"
#include "modem/shared_queue.h"
#include "modem/zogsm_settings.h"

namespace modem {

class TZoGSM;

class TZoGSMThread {
 public:
  enum ConnectRequest : std::uint8_t { kNoRequest = 0, kConnect = 1, kDisconnect = 2 };

  TZoGSMThread(std::shared_ptr<HandOver> owner, std::shared_ptr<SharedCapabilities> capabilities,
               std::string portName, std::string portBaud,
               const platform::SerialSystemCalls& calls = platform::SerialSystemCalls::Real());
  TZoGSMThread(const TZoGSMThread&) = delete;
  TZoGSMThread& operator=(const TZoGSMThread&) = delete;

  // The thread body: the loop, then the port is closed. Ends after a stop
  // request, an unexpected error, or when the component can no longer be
  // reached.
  void Execute();

  // ---- Shared with the component ----
  // AT commands to send; object slot non-zero = an error answer is tolerated.
  SharedList CommandQueue;
  // Encoded message parts to send; object slot of the first = failed attempts.
  using PartQueue = SharedQueue<TQueuedPart>;
  PartQueue SendQueue;
  // Text for the next OnAfterComRx.
  SharedList RxLines;
  // The connect or disconnect request: written by the component, cleared by
  // the engine once carried out (unless a newer request came meanwhile).
  std::uint8_t ConnectCommand() const { return static_cast<std::uint8_t>(connectRequest_ & 0xFF); }
  void SetConnectCommand(std::uint8_t command);
  // Port name and speed used by the next connection attempt.
  void SetPort(std::string portName, std::string portBaud);
  void RequestStop();
  bool StopRequest() const { return stopRequest_; }
  // Main thread, before the thread starts: called on the engine's thread
  // right before each part is submitted; false keeps the part from going
  // out (TZoGSM::OnAboutToSubmit).
  void SetAboutToSubmit(std::function<bool(const TQueuedPart&)> aboutToSubmit) {
    aboutToSubmit_ = std::move(aboutToSubmit);
  }

 private:
  // Runs the analysis of received text without a modem (engine_probe.h).
  friend struct EngineProbe;

  // ---- The loop (engine_thread.cpp) ----
  // One pass; false when the loop ends.
  bool RunPass();
  // Stop, connect and disconnect requests; false on a stop request.
  bool HandleRequests();
  void CommandQueueStep();
  std::string ReceptionStep();
  // The port went away under the engine: report it as a reception error.
  void HandleLostPort();
  void ReportUnexpectedError(const std::string& message);
  // Sleeps `milliseconds` (ends early on a stop request).
  void ThreadDelay(int milliseconds);

  // ---- AT transaction, connection, disconnection (engine_connect.cpp) ----
  // One AT transaction; a failure is reported and, when not tolerated,
  // closes the connection. A failed transaction's response contains "myERR".
  std::string SendSerialAT(const std::string& command, bool tolerate);
  bool ModemConnect();
  // Steps from opening the port to the final "AT"; the result of the attempt.
  bool OpenAndInitialise();
  void ConfigurePort(const TZoGSMSettings& settings);
  void ModemOff();

  // ---- Message submission (engine_send.cpp) ----
  // Submits the first queued part when nothing else is to be done first.
  void SendStep();
  void SubmitFirstPart();
  struct Transmission {
    bool pduSent = false;  // the modem gave its prompt and the PDU went out
    std::string answer;    // what it answered to the PDU (or said before its prompt)
    std::chrono::steady_clock::time_point pduSentAt{};
    // Why the PDU did not go out.
    platform::AnsiString notSentCause;
  };
  // "AT+CMGS=", the prompt, the PDU and Ctrl-Z. Without a prompt the modem
  // is told with ESC not to wait for a message.
  Transmission TransmitPart(const PartQueue::Entry& part);
  // Appends what else the modem says; false when it said nothing at all.
  bool CollectAnswer(std::string& answer);
  // The caller's last word before the part goes out (OnAboutToSubmit).
  bool MayGoOut(const TQueuedPart& part);

  // ---- Submissions that went wrong (engine_send_recovery.cpp) ----
  using QueuedEntry = PartQueue::Entry;
  // ESC: the modem leaves its prompt without sending anything.
  void CancelPrompt();
  // ESC, and what the modem says to it is read away.
  void CancelPromptAndReadAway();
  // Reads away what the modem says until the line is quiet.
  void ReadAway();
  // At the start of a connection attempt: ESC, and whatever a modem left at
  // its prompt answers to it is read away.
  void CancelLeftoverPrompt();
  // WaitForData that ends early on a stop request: the long waits for a late
  // answer must not hold up the end of the engine.
  bool WaitForDataUnlessStopped(int milliseconds);
  // Reads what the modem says until `deadline` (the end of the network's
  // time for its answer), into `late`; true when it confirms the submission
  // ("+CMGS:").
  bool AwaitLateAnswer(std::string& late, std::chrono::steady_clock::time_point deadline);
  // A confirmation in `text` (an answer read for something else) of the part
  // reported uncertain last: it is logged, and the part is not reported
  // again. True when `text` held one.
  bool TakeLateConfirmation(const std::string& text);
  // The part whose PDU went out unanswered: reported once, uncertain, for
  // `cause`, removed, and the rest of its message is not sent.
  void ReportUncertainPart(const QueuedEntry& part, const std::string& buffer, const platform::AnsiString& cause);
  // The later parts of the stopped part's message are reported not sent, for
  // `cause`; `why` ends their log line ("WAS REJECTED").
  void StopRestOfMessage(const TQueuedPart& stopped, const platform::AnsiString& cause, const std::string& why);
  // With the first part of a connection: status reports are asked for, but
  // the modem was not told to pass them on.
  void NoteUnreadStatusReports();
  // The link-keeping command (AT+CMMS) before the first part of a run; the
  // modem's answer, empty when it was not sent.
  std::string KeepLinkForMessages();
  void ReportSentPart(const QueuedEntry& part, const std::string& buffer, const std::string& answer);
  void ReportTimeoutFailure(const QueuedEntry& part, const std::string& buffer, const Transmission& transmission);
  void ReportErrorFailure(const QueuedEntry& part, const std::string& buffer, const std::string& answer);
  // One more failure of the part; the second one restarts the modem quietly.
  void CountFailure(const QueuedEntry& part);
  void QuietRestart();
  // The part is reported as not sent, for `cause`, and removed; after its
  // third failure the connection is closed.
  void RejectPart(const QueuedEntry& part, const platform::AnsiString& cause, bool modemAnsweredError,
                  bool closeConnection);
  // OnPartReport and OnAfterSend.
  void ReportPart(const TPartReport& report);
  // QueueCount := parts left; OnSendProgress.
  void ReportQueueCount();

  // ---- Capabilities and initialisation (engine_capabilities.cpp) ----
  void ResetCapabilityTable(bool autoModemInit);
  // Runs the probes; `lastLogged` follows the text logged for each, so it
  // holds the last one's even when a probe is cut short.
  void ProbeCapabilities(std::string& lastLogged);
  void SendAutomaticInitList();
  void SendInitStrings(const std::vector<std::string>& lines);
  void QueueFollowUpCommands();
  void PublishCapabilities();

  // ---- Power, signal and status report lines (engine_status.cpp) ----
  void AnalyseStatusLines(const std::string& text);

  // ---- What the modem says on its own, storage answers (engine_analysis.cpp) ----
  // Text received while idle, and the answer of a queued command.
  void AnalyseReceivedText(const std::string& text);
  void AnalyseCommandAnswer(const std::string& command, const std::string& answer);
  // "+CMTI:" indications: the memory check; the caller queues the listings.
  void NoteStoredMessages(const std::string& text);
  // Every "+CMT:" line of the text with the PDU line after it; "AT" is
  // queued at the head (idle text) or the tail (a command's answer) for each.
  void DeliverDirectMessages(const std::string& text, bool queueAtHead);
  // The answer of "AT+CMGR=<index>" and of a "+CMGL" listing.
  void ReadStoredMessage(const std::string& command, const std::string& answer);
  void ReadListing(const std::string& answer);

  // ---- Received messages and status reports (engine_delivery.cpp) ----
  enum class Delivery { Delivered, Repeated, Refused };
  // A PDU line of a message, as received. A line that is not a whole PDU
  // is reported (naming `source`, the code it came with) and refused; a
  // message delivered before is reported and not raised again.
  Delivery DeliverMessage(const std::string& pduLine, int announcedLength, const char* source);
  Delivery DeliverStatusReport(const std::string& pduLine, const char* source);
  // Refusal of a line that is not a PDU, and the memory of delivered PDUs.
  bool RefuseBrokenPdu(const std::string& pduLine, int announcedLength, const char* source);
  bool DeliveredBefore(const std::string& pdu, const char* source);
  // Appends text to RxLines (the text split into lines).
  void AppendRxText(const std::string& text);

  // ---- Rings and call indicators (engine_calls.cpp) ----
  void HandleRing(const std::string& text);
  void HandleRingInAnswer(const std::string& answer);
  void HandleCallState(const std::string& text, bool inAnswer);

  // ---- Identification, storage and phonebooks (engine_identification.cpp) ----
  void IdentifyModem();
  void QueryPhonebooks();
  // "SIM"/"PHONE" markers and "+CPBR:" entries of a queued command's answer.
  void NotePhonebookSelection(const std::string& command);
  void CollectPhonebookEntries(const std::string& answer);

  // ---- Hand-over helpers ----
  // Runs `fn` with the component on the main thread.
  void OnOwner(const std::function<void(TZoGSM&)>& fn);
  // A copy of the component's settings, taken on the main thread.
  TZoGSMSettings Settings();
  // RxLines := text (split into lines); OnAfterComRx.
  void LogRx(std::string_view text);
  // ErrorText := text; OnQuietError.
  void QuietError(const std::string& text);
  void Dispatch(void (TZoGSM::*dispatcher)());

  std::shared_ptr<HandOver> owner_;
  std::shared_ptr<SharedCapabilities> sharedCapabilities_;
  CapabilityTable capabilities_;
  SerialLink link_;

  std::mutex portMutex_;
  std::string portName_;
  std::string portBaud_;

  // Low byte: the request; the bits above count the writes, so that the
  // engine never clears a request written while it carried out the last one.
  std::atomic<std::uint32_t> connectRequest_{kNoRequest};
  // Clears the request `seen` was read from, unless a newer one was written.
  void ClearConnectCommand(std::uint32_t seen);

  std::mutex stopMutex_;
  std::condition_variable stopChanged_;
  std::atomic<bool> stopRequest_{false};

  bool modemConnected_ = false;
  bool modemError_ = false;
  int errorStep_ = error_step::kConnecting;  // modem/error_steps.h
  // Loop state kept across passes for message submission.
  bool pendingRx_ = false;
  std::string pendingRxText_;
  bool cmmsSent_ = false;
  bool statusReportNoticeGiven_ = false;
  std::function<bool(const TQueuedPart&)> aboutToSubmit_;
  // Why the part at the head of the queue failed last: its report says so
  // when it is rejected.
  struct LastFailure {
    std::uint64_t partId = 0;
    platform::AnsiString cause;
    int cmsError = -1;
  };
  LastFailure lastFailure_;
  // The part reported uncertain last: a "+CMGS:" that still comes before the
  // next PDU goes out is its late answer.
  std::optional<PartQueue::Entry> unconfirmed_;
  // The rings of the current incoming call.
  struct RingState {
    std::string lastCaller;
    int count = 0;
    std::chrono::steady_clock::time_point lastRing{};
  };
  RingState ring_;
  // The PDUs most recently handed to the application, upper case: a modem
  // that repeats a message never makes it an event twice.
  std::deque<std::string> deliveredPdus_;
  // Scratch lines of a received text being taken apart; named in the
  // unexpected error report while it exists.
  std::optional<std::vector<std::string>> tempList_;
};

}  // namespace modem
