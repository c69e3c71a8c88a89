#include "modem/part_group.h"

#include <cstdint>
#include <vector>

namespace modem {
namespace {

constexpr int kUserDataHeaderIndicator = 0x40;
constexpr int kConcatenation8Bit = 0x00;
constexpr int kConcatenation16Bit = 0x08;

std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = nibble(hex[i]);
    const int low = nibble(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return bytes;
}

// Offset of the user data length octet of an SMS-SUBMIT, or nothing.
std::optional<size_t> UserDataLengthOffset(const std::vector<std::uint8_t>& pdu) {
  if (pdu.empty()) return std::nullopt;
  size_t at = 1 + pdu[0];  // past the SMSC information
  if (at + 3 > pdu.size()) return std::nullopt;
  const int firstOctet = pdu[at];
  if ((firstOctet & 0x03) != 0x01) return std::nullopt;  // not an SMS-SUBMIT
  const int validityFormat = (firstOctet >> 3) & 0x03;
  at += 2;                            // first octet, message reference
  const size_t digits = pdu[at];      // destination length in digits
  at += 2 + (digits + 1) / 2;         // length, type, digits
  at += 2;                            // protocol identifier, data coding scheme
  at += validityFormat == 2 ? 1 : validityFormat == 0 ? 0 : 7;
  return at < pdu.size() ? std::optional<size_t>(at) : std::nullopt;
}

}  // namespace

std::optional<PartGroup> GroupOfPdu(std::string_view pduHex) {
  const std::optional<std::vector<std::uint8_t>> pdu = HexBytes(pduHex);
  if (!pdu) return std::nullopt;
  const std::optional<size_t> udl = UserDataLengthOffset(*pdu);
  if (!udl || ((*pdu)[1 + (*pdu)[0]] & kUserDataHeaderIndicator) == 0) return std::nullopt;
  const size_t headerStart = *udl + 2;
  if (headerStart > pdu->size()) return std::nullopt;
  const size_t headerEnd = headerStart + (*pdu)[*udl + 1];
  if (headerEnd > pdu->size()) return std::nullopt;
  for (size_t at = headerStart; at + 2 <= headerEnd;) {
    const int element = (*pdu)[at];
    const size_t length = (*pdu)[at + 1];
    const size_t data = at + 2;
    if (data + length > headerEnd) break;
    if (element == kConcatenation8Bit && length == 3) {
      return PartGroup{(*pdu)[data], (*pdu)[data + 1], (*pdu)[data + 2]};
    }
    if (element == kConcatenation16Bit && length == 4) {
      return PartGroup{(*pdu)[data] << 8 | (*pdu)[data + 1], (*pdu)[data + 2], (*pdu)[data + 3]};
    }
    at = data + length;
  }
  return std::nullopt;
}

bool IsLaterPartOfSameMessage(const TQueuedPart& rejected, const TQueuedPart& later) {
  const std::optional<PartGroup> group = GroupOfPdu(rejected.pdu);
  const std::optional<PartGroup> other = GroupOfPdu(later.pdu);
  return group && other && rejected.marker == later.marker && rejected.recipient == later.recipient &&
         group->reference == other->reference && group->parts == other->parts && other->position > group->position;
}

}  // namespace modem
