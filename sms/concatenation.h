#pragma once
// The concatenation values of a received part, read from its user data
// header (3GPP TS 23.040, 9.2.3.24): the header is a list of information
// elements (identifier, length, data), and a part of a long message carries
// one of
//   00 03 rr tt ss      concatenated short messages, 8-bit reference
//   08 04 rrrr tt ss    concatenated short messages, 16-bit reference
// wherever it stands among the other elements (ports, national language
// shifts, ...).
//
// Threads: pure functions, no shared state; safe from any thread.

#include <string_view>

namespace sms {

// Reference (0 to 65,535), total and sequence number of a part, each -1 when
// the header carries no usable concatenation element.
struct UDHValues {
  int reference = -1;
  int total = -1;
  int sequence = -1;
  bool operator==(const UDHValues&) const = default;
};

// Scans the elements of `udh` (hexadecimal, its length octet first, as
// TSMS::UDH() gives it) and returns the values of the last well-formed
// concatenation element. As the standard asks, an element with a total or a
// sequence number of 0, or a sequence number above the total, is ignored.
// The scan stays inside the header: an element running past its end ends it.
UDHValues ReadConcatenation(std::string_view udh);

}  // namespace sms
