#include "sms/concatenation.h"

#include <algorithm>
#include <optional>

#include "sms/hex_text.h"

namespace sms {
namespace {

constexpr int kConcatenated8BitReference = 0x00;
constexpr int kConcatenated16BitReference = 0x08;

// The values of one concatenation element whose data start at the 1-based
// `position` of `udh`; nothing when the element is not one or is unusable.
std::optional<UDHValues> ConcatenationElement(std::string_view udh, size_t position, int identifier, int length) {
  int reference = 0;
  size_t at = position;
  if (identifier == kConcatenated8BitReference && length == 3) {
    reference = ReadOctet(udh, at).value_or(-1);
    at += 2;
  } else if (identifier == kConcatenated16BitReference && length == 4) {
    const auto high = ReadOctet(udh, at), low = ReadOctet(udh, at + 2);
    reference = high && low ? *high << 8 | *low : -1;
    at += 4;
  } else {
    return std::nullopt;
  }
  const int total = ReadOctet(udh, at).value_or(-1);
  const int sequence = ReadOctet(udh, at + 2).value_or(-1);
  if (reference < 0 || total < 1 || sequence < 1 || sequence > total) return std::nullopt;
  return UDHValues{reference, total, sequence};
}

}  // namespace

UDHValues ReadConcatenation(std::string_view udh) {
  const auto headerLength = ReadOctet(udh, 1);
  if (!headerLength) return {};
  // Positions of the element octets: from 3 up to the end of the header.
  const size_t end = std::min(udh.size(), 2 * static_cast<size_t>(*headerLength) + 2);
  UDHValues found;
  size_t position = 3;
  while (position + 3 <= end) {
    const auto identifier = ReadOctet(udh, position), length = ReadOctet(udh, position + 2);
    if (!identifier || !length) break;
    const size_t data = position + 4;
    const size_t next = data + 2 * static_cast<size_t>(*length);
    if (next - 1 > end) break;  // the element runs past the header
    if (const auto values = ConcatenationElement(udh, data, *identifier, *length)) found = *values;
    position = next;
  }
  return found;
}

}  // namespace sms
