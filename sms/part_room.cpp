#include "sms/part_room.h"

#include <array>

#include "platform/codepage.h"
#include "sms/gsm_alphabet.h"

namespace sms {
namespace {

// Septets one Windows-1250 byte costs in 7-bit coding; 0 when the GSM
// alphabet lacks it (the part then goes out in UCS-2).
const std::array<unsigned char, 256>& SeptetCosts() {
  static const auto costs = [] {
    std::array<unsigned char, 256> table;
    for (size_t b = 0; b < table.size(); ++b) {
      const char byte = static_cast<char>(b);
      const char16_t c = platform::AnsiToUnicode(std::string_view(&byte, 1))[0];
      table[b] = static_cast<unsigned char>(GsmSeptetCost(c));
    }
    return table;
  }();
  return costs;
}

// Running totals over the characters of a candidate part.
struct Tally {
  size_t characters = 0;
  size_t septets = 0;
  size_t nonGsm = 0;

  void Add(char c) {
    const unsigned char cost = SeptetCosts()[static_cast<unsigned char>(c)];
    ++characters;
    septets += cost;
    if (cost == 0) ++nonGsm;
  }
};

// User data octets the encoder produces for the tallied text (see TSMSD).
size_t UserDataOctets(const Tally& t, size_t headerOctets, bool forceUcs2) {
  if (forceUcs2 || t.nonGsm > 0) return headerOctets + 2 * t.characters;
  const size_t fillSeptets = (headerOctets * 8 + 6) / 7;
  return ((fillSeptets + t.septets) * 7 + 7) / 8;
}

}  // namespace

bool FitsOnePart(const EncodedPart& part) {
  return part.tpduLength <= kMaxTpduOctets && part.userDataLength <= kMaxUserDataOctets;
}

PartRoom::PartRoom(std::string_view number, bool forceUcs2)
    : fixedOctets_(EncodePart(number, "", "", false, false, false).tpduLength), forceUcs2_(forceUcs2) {}

size_t PartRoom::LongestFit(std::string_view prefix, std::string_view text, size_t candidate,
                            size_t headerOctets) const {
  Tally tally;
  for (char c : prefix) tally.Add(c);
  size_t longest = 0;
  for (size_t length = 1; length <= candidate && length <= text.size(); ++length) {
    tally.Add(text[length - 1]);
    const size_t userData = UserDataOctets(tally, headerOctets, forceUcs2_);
    const bool fits = fixedOctets_ + userData <= static_cast<size_t>(kMaxTpduOctets) &&
                      userData <= static_cast<size_t>(kMaxUserDataOctets);
    if (fits) longest = length;
  }
  return longest;
}

}  // namespace sms
