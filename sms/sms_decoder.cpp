#include "sms/sms_decoder.h"

#include <algorithm>
#include <optional>

#include "sms/address_text.h"
#include "sms/gsm_alphabet.h"
#include "sms/hex_text.h"

namespace sms {
namespace {

constexpr char16_t kDecodingError[] = u"(Decoding Error)";
constexpr char16_t kUnknownAlphabet[] = u"(Uwaga: Nieznany schemat kodowania)";

// Reads the octet at `position` of `hex`; an unreadable one is noted in
// `errors` with the PDU as it came and read as 0.
int ReadOrNote(std::string_view hex, std::string_view pdu, size_t position, const char* field,
               std::vector<std::string>& errors) {
  if (const auto octet = ReadOctet(hex, position)) return *octet;
  errors.push_back(std::string("PDU ERROR (") + field + "): " + std::string(pdu));
  return 0;
}

// The `length` characters starting at 1-based `position`, or nothing when
// the text ends before them.
std::optional<std::string_view> Slice(std::string_view text, size_t position, size_t length) {
  if (position < 1 || position - 1 > text.size() || length > text.size() - (position - 1)) return std::nullopt;
  return text.substr(position - 1, length);
}

// The text from 1-based `position` to the end (empty past the end).
std::string_view Rest(std::string_view text, size_t position) {
  return position - 1 < text.size() ? text.substr(position - 1) : std::string_view();
}

// Each CR LF or LF CR pair, and each lone CR or LF, becomes CR LF.
platform::AnsiString NormaliseLineBreaks(std::string_view text) {
  platform::AnsiString out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out.push_back(c);
      continue;
    }
    const char partner = c == '\r' ? '\n' : '\r';
    if (i + 1 < text.size() && text[i + 1] == partner) ++i;
    out += "\r\n";
  }
  return out;
}

bool DecodeOctets(std::string_view hex, size_t octets, std::u16string& text) {
  for (size_t k = 0; k < octets; ++k) {
    const auto octet = ReadOctet(hex, 2 * k + 1);
    if (!octet) return false;
    text.push_back(static_cast<char16_t>(*octet));
  }
  return true;
}

}  // namespace

void TSMS::ParsePDU(std::string_view pdu) {
  *this = TSMS();
  pduText_ = std::string(pdu);
  hex_ = UpperCaseHex(pdu);
  smscLen_ = 2 * ReadOrNote(hex_, pdu, 1, "SMSCLen", errors_);
  typePos_ = 3 + smscLen_;
  const int firstOctet = ReadOrNote(hex_, pdu, typePos_, "PDUType", errors_);
  isSubmit_ = (firstOctet & 3) == 1;
  hasUdh_ = (firstOctet & 0x40) != 0;
  if (isSubmit_) {
    static constexpr int kValidityLength[] = {0, 14, 2, 14};  // by TP-VPF
    vpLen_ = kValidityLength[(firstOctet >> 3) & 3];
  }
  addrTypePos_ = typePos_ + 4 + (isSubmit_ ? 2 : 0);
  const int addressLength = ReadOrNote(hex_, pdu, addrTypePos_ - 2, "SenderLen", errors_);
  addrDigits_ = addressLength + addressLength % 2;
  const int dcs = ReadOrNote(hex_, pdu, addrTypePos_ + addrDigits_ + 4, "TPDCS", errors_);
  coding_ = ReadDataCoding(static_cast<unsigned>(dcs));
}

bool TSMS::DecodeUserData(std::u16string& text) {
  const size_t udlPos = typePos_ + addrDigits_ + vpLen_ + (isSubmit_ ? 12 : 24);
  const auto udl = ReadOctet(hex_, udlPos);
  if (!udl) return false;
  udl_ = *udl;
  // No user data, so no header either, whatever the first octet says.
  if (udl_ == 0) return true;
  const size_t udStart = udlPos + 2;

  // The header is kept in UDH and blanked in a working copy, so that it
  // decodes as zero septets or octets that are then skipped.
  std::string work = hex_;
  size_t headerOctets = 0;
  if (hasUdh_) {
    const auto headerLength = ReadOctet(work, udStart);
    if (!headerLength) return false;
    headerOctets = static_cast<size_t>(*headerLength) + 1;
    const auto header = Slice(work, udStart, 2 * headerOctets);
    if (!header) return false;
    udh_ = std::string(*header);
    work.replace(udStart - 1, 2 * headerOctets, 2 * headerOctets, '0');
  }
  const std::string_view userData = Rest(work, udStart);
  const size_t length = static_cast<size_t>(udl_);

  switch (coding_.alphabet) {
    case kAlphabet7Bit: {
      // Exactly UDL septets: a zero septet at the end is text, not fill.
      const std::string septets = UnpackSeptetCount(userData, length);
      const size_t headerSeptets = hasUdh_ ? (headerOctets * 8 + 6) / 7 : 0;
      text = SeptetsToUnicode(std::string_view(septets).substr(std::min(headerSeptets, septets.size())));
      return true;
    }
    case kAlphabet8Bit: {
      const size_t octets = std::min(length, userData.size() / 2);
      if (octets <= headerOctets) return true;
      return DecodeOctets(userData.substr(2 * headerOctets), octets - headerOctets, text);
    }
    case kAlphabetUcs2: {
      const std::string_view digits = userData.substr(0, std::min(2 * length, userData.size()));
      if (digits.size() <= 2 * headerOctets) return true;
      return AppendUcs2Hex(digits.substr(2 * headerOctets), text);
    }
    default:
      text = kUnknownAlphabet;
      return true;
  }
}

std::u16string TSMS::GetText() {
  udh_.clear();
  udl_ = 0;
  std::u16string text;
  if (!DecodeUserData(text)) return kDecodingError;
  return platform::AnsiToUnicode(NormaliseLineBreaks(platform::UnicodeToAnsi(text)));
}

platform::AnsiString TSMS::GetSender() const {
  const auto type = ReadOctet(hex_, addrTypePos_);
  const auto digits = Slice(hex_, addrTypePos_ + 2, addrDigits_);
  if (!type || !digits) return {};
  if (IsAlphanumericAddress(*type)) return AlphanumericAddress(*digits);
  if (!std::all_of(digits->begin(), digits->end(), [](char c) { return HexDigitValue(c) >= 0; })) return {};
  const std::string number = AddressDigits(*digits);
  const bool international = ((*type >> 4) & 7) == 1;
  return !number.empty() && international ? "+" + number : number;
}

DateTime TSMS::GetTimeStamp() const {
  if (isSubmit_) return {};
  const auto stamp = Slice(hex_, typePos_ + addrDigits_ + 10, 12);
  const auto fields = stamp ? ReadTimestampFields(*stamp) : std::nullopt;
  if (!fields) return {};
  const auto [year, month, day, hour, minute, second] = *fields;
  const DateTime value{2000 + year, month, day, hour, minute, second};
  return IsValidDateTime(value) ? value : DateTime{};
}

UDHValues GetUDHValues(std::string_view pdu) {
  TSMS decoder;
  decoder.ParsePDU(pdu);
  decoder.GetText();
  return ReadConcatenation(decoder.UDH());
}

}  // namespace sms
