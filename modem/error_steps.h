#pragma once
// The engine's progress numbers (`ErrorStep`): the engine stores one before
// each risky step, and its error texts print the number, so a report names
// the step that failed. The numbers are part of those texts and never change;
// a new step gets a new number here.

namespace modem::error_step {

// Connection requests (the engine's pass).
inline constexpr int kConnecting = 0;
inline constexpr int kConnectHandled = 1;
inline constexpr int kDisconnecting = 2;
inline constexpr int kDisconnectHandled = 3;

// The queued AT commands.
inline constexpr int kQueuedCommand = 4;
inline constexpr int kQueuedCommandAnswered = 5;
inline constexpr int kQueuedCommandFailed = 6;
inline constexpr int kQueuedCommandFailureReported = 7;

// Message submission.
inline constexpr int kLinkKeptForMessages = 16;  // AT+CMMS sent
inline constexpr int kCollectingAnswer = 17;     // the part is out; its answer is awaited
inline constexpr int kPartTimedOut = 19;
inline constexpr int kPartRejected = 20;
inline constexpr int kPartSent = 21;
inline constexpr int kSentPartLogged = 22;
inline constexpr int kSentPartRead = 23;
inline constexpr int kSentPartReference = 24;
inline constexpr int kSubmissionDone = 25;
inline constexpr int kPartUncertain = 26;  // its PDU went out, its answer never came

// One AT exchange (SendSerialAT).
inline constexpr int kExchangingAt = 208;
inline constexpr int kAtAnswered = 209;
inline constexpr int kAtFailed = 210;
inline constexpr int kAtFailureClosing = 211;
inline constexpr int kAtFailureReported = 212;

// Reception.
inline constexpr int kReceiving = 700;
inline constexpr int kReceived = 702;
inline constexpr int kPendingReception = 703;  // an answer kept by the send step
inline constexpr int kAnalysingReception = 704;

// What the modem said on its own (idle text).
inline constexpr int kNewMessageIndication = 707;  // "+CMTI:"
inline constexpr int kNewMessageIndex = 708;
inline constexpr int kDeliveredMessageCheck = 709;  // "+CMT:"
inline constexpr int kDeliveredMessage = 710;
inline constexpr int kDeliveredMessageFound = 711;
inline constexpr int kSearchingDeliveredMessage = 7120;
inline constexpr int kDeliveredMessagesDone = 71100;

// A received message handed to the application.
inline constexpr int kDecodingMessage = 800;
inline constexpr int kNotingMessage = 801;
inline constexpr int kLoggingMessage = 802;
inline constexpr int kCheckingSecretMessage = 803;
inline constexpr int kRaisingSecretMessage = 804;
inline constexpr int kHandingOverMessageLog = 805;
inline constexpr int kRaisingMessage = 806;
inline constexpr int kMessageDelivered = 807;

// A status report handed to the application.
inline constexpr int kDecodingStatusReport = 901;
inline constexpr int kTimingStatusReport = 902;
inline constexpr int kNotingStatusReport = 903;
inline constexpr int kHandingOverReportLog = 904;
inline constexpr int kRaisingStatusReport = 905;
inline constexpr int kStatusReportDelivered = 907;

}  // namespace modem::error_step
