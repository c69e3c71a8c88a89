#pragma once
// A message on its way out, as values: what a caller asks to send, the
// parts the component queues for the engine, and what the engine reports of
// each part. The recipient travels unchanged from the request through every
// part to its report, so a caller can tell whose part was sent without
// reading anything back out of text.
//
// Threads: plain values; the component builds them on the main thread, the
// engine copies them across its hand-over.

#include <optional>
#include <string>
#include <vector>

#include "modem/recipient.h"
#include "platform/codepage.h"

namespace modem {

// One send request.
struct TOutgoingMessage {
  TRecipient recipient;       // the PDU is addressed to recipient.destination
  platform::AnsiString text;  // Windows-1250, as typed
  std::string marker;         // the caller's tag; comes back with every part
  int mergeMax = 3;           // most parts joined into one concatenated message (2..255)
  bool flash = false;         // class 0
  bool statusReport = false;  // ask the network for a status report per part
  // The text goes out in UCS-2 with its Polish letters; otherwise they are
  // transliterated and the text uses the GSM alphabet where it can.
  bool ucs2 = false;
  bool cutCrLf = true;  // every CR LF pair becomes one space before splitting
  // A message resumed after its first parts went out: the concatenation
  // reference those parts carried (the component's own reference counter is
  // neither used nor advanced), and the part numbers that are not queued
  // again because the network already answered them.
  std::optional<int> concatReference;
  std::vector<int> partsDone;
};

// One message part in the engine's send queue.
struct TQueuedPart {
  TRecipient recipient;
  std::string marker;
  int partNumber = 1;  // within the whole text, from 1
  int totalParts = 1;
  int tpduLength = 0;         // the number written after "AT+CMGS="
  std::string pdu;            // hexadecimal, with its leading SMSC octet
  platform::AnsiString text;  // as encoded, group prefix included, unescaped

  bool operator==(const TQueuedPart&) const = default;
};

// What became of a part that left the send queue.
struct TPartReport {
  TQueuedPart part;
  bool sent = false;
  int reference = -1;  // the message reference the network gave it; -1 unknown
  // Why it was not sent, in words (program text, Windows-1250); empty when sent.
  platform::AnsiString cause;
  int cmsError = -1;  // the modem's "+CMS ERROR" code; -1 none
  // Not sent as far as anyone knows, yet the PDU went out and no answer came
  // (the answer was lost, the modem vanished during the network's wait): the
  // network may have accepted it. Never retried by the component.
  bool uncertain = false;
};

}  // namespace modem
