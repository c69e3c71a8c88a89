#include "sms/pdu_bytes.h"

#include <algorithm>

#include "sms/address_text.h"
#include "sms/gsm_alphabet.h"
#include "sms/hex_text.h"

namespace sms {
namespace {

constexpr int kUtcPlusOneMinutes = 60;

// Reads octets at 1-based positions; a missing or non-hexadecimal digit
// counts as 0.
class OctetReader {
 public:
  explicit OctetReader(std::string_view hex) : hex_(hex) {}

  std::uint8_t At(size_t position) const { return static_cast<std::uint8_t>(Digit(position) * 16 + Digit(position + 1)); }

  // The characters from `position` on, at most `length` of them.
  std::string_view Text(size_t position, size_t length) const {
    if (position < 1 || position - 1 >= hex_.size()) return {};
    return hex_.substr(position - 1, length);
  }

 private:
  int Digit(size_t position) const {
    if (position < 1 || position > hex_.size()) return 0;
    return std::max(0, HexDigitValue(hex_[position - 1]));
  }

  std::string_view hex_;
};

// Seven-octet timestamp (3GPP TS 23.040): six octets of swapped decimal
// digits, then the zone in quarter hours (bit 3 the sign, bits 2..0 the tens
// digit, bits 7..4 the units digit). Expressed in UTC+1, the stated zone
// in `zoneMinutes`; zero (and zone 0) when the digits do not form a date.
DateTime DecodeTimestamp(const OctetReader& octets, size_t position, int& zoneMinutes) {
  zoneMinutes = 0;
  const auto fields = ReadTimestampFields(octets.Text(position, 12));
  if (!fields) return {};
  const auto [yy, month, day, hour, minute, second] = *fields;
  const DateTime local{yy < 96 ? 2000 + yy : 1900 + yy, month, day, hour, minute, second};
  if (!IsValidDateTime(local)) return {};
  const std::uint8_t zone = octets.At(position + 12);
  const int quarters = (zone & 0x07) * 10 + (zone >> 4);
  zoneMinutes = (zone & 0x08) ? -15 * quarters : 15 * quarters;
  return AddMinutes(local, kUtcPlusOneMinutes - zoneMinutes);
}

}  // namespace

TSmsPdu DecodeBytes(bool parse, std::string_view pdu) {
  const std::string hex = UpperCaseHex(pdu);
  const OctetReader octets(hex);
  TSmsPdu result;
  size_t p = 1;
  const size_t smscOctets = octets.At(p);
  if (smscOctets > 0) result.Smsc = AddressDigits(octets.Text(p + 4, 2 * smscOctets - 2));
  p += 2 + 2 * smscOctets;

  result.FirstOctet = octets.At(p);
  p += 2;
  switch (result.FirstOctet & 3) {
    case 0:  // SMS-DELIVER
      if (!parse) {
        result.Kind = kMessageNotParsed;
        result.Reference = octets.At(p);
        return result;
      }
      result.Kind = kMessageParsed;
      break;
    case 1:  // SMS-SUBMIT
      result.Kind = parse ? kSubmitWithReference : kSubmitNotParsed;
      if (parse) result.Reference = octets.At(p);
      return result;
    case 2:  // SMS-STATUS-REPORT
      if (!parse) {
        result.Kind = kStatusReportNotParsed;
        return result;
      }
      result.Kind = kStatusReportParsed;
      result.Reference = octets.At(p);
      p += 2;
      break;
    default:  // reserved: read on as a message
      break;
  }

  const size_t addressLength = octets.At(p);
  const size_t addressDigits = addressLength + addressLength % 2;
  const std::string_view addressField = octets.Text(p + 4, addressDigits);
  result.Address = IsAlphanumericAddress(octets.At(p + 2)) ? AlphanumericAddress(addressField)
                                                           : AddressDigits(addressField);
  p += addressDigits + 4;

  const bool isMessage = result.Kind == kMessageParsed;
  if (isMessage) {
    result.PID = octets.At(p);
    result.DCS = octets.At(p + 2);
    p += 4;
  }
  result.Time = DecodeTimestamp(octets, p, result.TimeZone);
  p += 14;

  if (isMessage) {
    const size_t length = octets.At(p);
    // At most two septets make one character, so 2 * length septets suffice.
    const std::string septets = UnpackSeptetCount(octets.Text(p + 2, std::string_view::npos), 2 * length);
    result.Text = SeptetsToBytes(septets);
    if (result.Text.size() > length) result.Text.resize(length);
  } else {
    result.DischargeTime = DecodeTimestamp(octets, p, result.DischargeZone);
    result.Status = octets.At(p + 14);
  }
  return result;
}

}  // namespace sms
