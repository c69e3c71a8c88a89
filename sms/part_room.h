#pragma once
// Room per message part. A part fits one SMS-SUBMIT when its TPDU is at most
// 154 octets and its user data, header included, at most 140 octets; a part
// never takes more than 160 characters of the text. Whether a part fits is
// decided by its encoding, so PartRoom predicts exactly what EncodePart would
// measure, without building the PDUs (the composer recounts a text on every
// pause of typing).
//
// Threads: a PartRoom belongs to one thread at a time (the composer's count
// runs on the main thread); FitsOnePart is pure.

#include <cstddef>
#include <string_view>

#include "sms/sms_encoder.h"

namespace sms {

inline constexpr int kMaxTpduOctets = 154;
inline constexpr int kMaxUserDataOctets = 140;
inline constexpr size_t kMaxPartCharacters = 160;

bool FitsOnePart(const EncodedPart& part);

class PartRoom {
 public:
  // `number` as it goes to EncodePart; `forceUcs2` as there.
  PartRoom(std::string_view number, bool forceUcs2);

  // Of the first `candidate` characters of `text` (Windows-1250), the most
  // that fit one part when they follow `prefix` and the header has
  // `headerOctets` octets (0 for none, length octet included). This is the
  // length at which encoding the candidate and dropping its last character
  // until the part fits would stop; 0 when not even one character fits.
  size_t LongestFit(std::string_view prefix, std::string_view text, size_t candidate, size_t headerOctets) const;

 private:
  int fixedOctets_;  // the TPDU without user data
  bool forceUcs2_;
};

}  // namespace sms
