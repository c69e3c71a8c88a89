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

}  // namespace modem::error_step
