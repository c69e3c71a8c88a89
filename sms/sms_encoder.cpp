#include "sms/sms_encoder.h"

#include <algorithm>

#include "platform/codepage.h"
#include "sms/gsm_alphabet.h"
#include "sms/hex_text.h"

namespace sms {
namespace {

constexpr unsigned kSubmitRelativeValidity = 0x11;  // TP-MTI SMS-SUBMIT, TP-VPF relative
constexpr unsigned kStatusReportRequest = 0x20;
constexpr unsigned kUserDataHeaderIndicator = 0x40;
constexpr unsigned kClass0 = 0x10;
constexpr unsigned kValiditySevenDays = 0xAD;

// TP-DA: digit count, type of address, digits as swapped semi-octets.
std::string EncodeAddress(std::string_view number) {
  unsigned type = 0x81;
  if (!number.empty() && number.front() == '+') {
    type = 0x91;
    number.remove_prefix(1);
  }
  std::string digits(number);
  std::string out;
  AppendHexOctet(out, static_cast<unsigned>(digits.size()));
  AppendHexOctet(out, type);
  if (digits.size() % 2 == 1) digits.push_back('F');
  return out + SwapSemiOctets(digits);
}

// A text goes out in 7 bits when the GSM alphabet holds all of it, else in
// UCS-2. Never as 8-bit data: handsets do not reliably show 8-bit data as
// text (it is meant for binary content), so a caller that wants it sets the
// coding itself.
std::uint8_t ChooseCoding(std::u16string_view text) {
  const bool allGsm = std::all_of(text.begin(), text.end(), IsGsmChar);
  return allGsm ? kCoding7Bit : kCodingUcs2;
}

struct UserData {
  unsigned length = 0;  // TP-UDL
  std::string hex;      // header and text
};

// The header takes whole septets: its octets plus fill bits up to the next
// septet boundary, so the text starts on a septet boundary.
UserData Encode7Bit(std::u16string_view text, const std::string& udh) {
  const std::string septets = TextToSeptets(text);
  if (udh.empty()) return {static_cast<unsigned>(septets.size()), PackSeptets(septets)};
  const size_t headerOctets = udh.size() / 2;
  const size_t fillSeptets = (headerOctets * 8 + 6) / 7;
  std::string packed = PackSeptets(std::string(fillSeptets, '\0') + septets);
  packed.replace(0, headerOctets * 2, udh.substr(0, headerOctets * 2));
  return {static_cast<unsigned>(fillSeptets + septets.size()), packed};
}

UserData Encode8Bit(std::u16string_view text, const std::string& udh) {
  UserData data{static_cast<unsigned>(udh.size() / 2 + text.size()), udh};
  for (char16_t c : text) {
    if (c > 0xFF) throw EncodeError("Unable to use 8bit encoding!");
    AppendHexOctet(data.hex, c);
  }
  return data;
}

UserData EncodeUcs2(std::u16string_view text, const std::string& udh) {
  UserData data{static_cast<unsigned>(udh.size() / 2 + 2 * text.size()), udh};
  for (char16_t c : text) {
    AppendHexOctet(data.hex, c >> 8);
    AppendHexOctet(data.hex, c & 0xFF);
  }
  return data;
}

}  // namespace

EncodeError::EncodeError(const std::string& cause) : std::runtime_error("Error encoding PDU: " + cause) {}

void TSMSD::SetText(std::u16string text) {
  text_ = std::move(text);
  coding_ = kCodingAutomatic;
}

void TSMSD::SetUDH(std::string udh) {
  udh_ = std::move(udh);
  hasUdh_ = !udh_.empty();
}

std::string TSMSD::EncodePDU() {
  const std::uint8_t coding = coding_ == kCodingAutomatic ? ChooseCoding(text_) : coding_;
  UserData data;
  unsigned dcs = 0;
  switch (coding) {
    case kCoding7Bit: data = Encode7Bit(text_, udh_); dcs = 0x00; break;
    case kCoding8Bit: data = Encode8Bit(text_, udh_); dcs = 0x04; break;
    case kCodingUcs2: data = EncodeUcs2(text_, udh_); dcs = 0x08; break;
    default: throw EncodeError("Unknown coding " + std::to_string(coding));
  }
  if (flash_) dcs |= kClass0;

  unsigned firstOctet = kSubmitRelativeValidity;
  if (statusRequest_) firstOctet |= kStatusReportRequest;
  if (hasUdh_) firstOctet |= kUserDataHeaderIndicator;

  std::string tpdu;
  tpdu.reserve(40 + data.hex.size());
  AppendHexOctet(tpdu, firstOctet);
  AppendHexOctet(tpdu, 0x00);  // TP-MR: the modem assigns the reference
  tpdu += EncodeAddress(number_);
  AppendHexOctet(tpdu, 0x00);  // TP-PID
  AppendHexOctet(tpdu, dcs);
  AppendHexOctet(tpdu, kValiditySevenDays);
  AppendHexOctet(tpdu, data.length);
  tpdu += data.hex;

  tpduLength_ = static_cast<int>(tpdu.size() / 2);
  userDataLength_ = static_cast<int>(data.hex.size() / 2);
  return "00" + tpdu;
}

EncodedPart EncodePart(std::string_view number, std::string_view partText, std::string_view udh, bool flash,
                       bool forceUcs2, bool statusReport) {
  TSMSD encoder;
  encoder.SetNumber(std::string(number));
  encoder.SetText(platform::AnsiToUnicode(partText));
  if (forceUcs2) encoder.SetCoding(kCodingUcs2);
  encoder.SetUDH(std::string(udh));
  encoder.SetFlash(flash);
  encoder.SetStatusRequest(statusReport);
  std::string pdu = encoder.EncodePDU();
  return {encoder.TPDULength(), std::move(pdu), encoder.UserDataLength()};
}

}  // namespace sms
