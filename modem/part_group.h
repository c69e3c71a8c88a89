#pragma once
// Which concatenated message a queued part belongs to, read from its PDU: the
// reference, the number of parts and the part's position that the user data
// header of an SMS-SUBMIT carries. The engine uses it to stop the rest of a
// message once one of its parts was rejected.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <optional>
#include <string_view>

#include "modem/outgoing_message.h"

namespace modem {

struct PartGroup {
  int reference = 0;  // 8-bit or 16-bit concatenation reference
  int parts = 0;      // parts in the concatenated message
  int position = 0;   // this part's place in it, from 1
};

// The concatenation element of an SMS-SUBMIT PDU in hexadecimal (with its
// leading SMSC octets); nothing for a single message or a PDU that is not an
// SMS-SUBMIT with a whole header.
std::optional<PartGroup> GroupOfPdu(std::string_view pduHex);

// The queued part `later` is a later part of the same concatenated message
// as `rejected`: same marker, recipient and group, a higher position.
bool IsLaterPartOfSameMessage(const TQueuedPart& rejected, const TQueuedPart& later);

}  // namespace modem
