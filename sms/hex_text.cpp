#include "sms/hex_text.h"

namespace sms {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string UpperCaseHex(std::string_view hex) {
  std::string upper(hex);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

void AppendHexOctet(std::string& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  if (value > 0xFF) AppendHexOctet(out, value >> 8);
  out.push_back(kDigits[(value >> 4) & 0xF]);
  out.push_back(kDigits[value & 0xF]);
}

std::string HexOctet(unsigned value) {
  std::string out;
  AppendHexOctet(out, value);
  return out;
}

std::optional<int> ReadOctet(std::string_view hex, size_t position) {
  if (position < 1 || position + 1 > hex.size()) return std::nullopt;
  const int high = HexDigitValue(hex[position - 1]);
  const int low = HexDigitValue(hex[position]);
  if (high < 0 || low < 0) return std::nullopt;
  return high * 16 + low;
}

std::string SwapSemiOctets(std::string_view digits) {
  std::string out(digits);
  for (size_t i = 0; i + 1 < out.size(); i += 2) std::swap(out[i], out[i + 1]);
  return out;
}

bool AppendUcs2Hex(std::string_view hex, std::u16string& text) {
  std::string digits(hex);
  digits.append((4 - digits.size() % 4) % 4, '0');
  for (size_t k = 0; k < digits.size(); k += 4) {
    const auto high = ReadOctet(digits, k + 1);
    const auto low = ReadOctet(digits, k + 3);
    if (!high || !low) return false;
    text.push_back(static_cast<char16_t>(*high << 8 | *low));
  }
  return true;
}

std::string AddressDigits(std::string_view field) {
  std::string digits = SwapSemiOctets(field);
  if (!digits.empty() && digits.back() == 'F') digits.pop_back();
  return digits;
}

}  // namespace sms
