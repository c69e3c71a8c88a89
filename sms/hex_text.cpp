#include "sms/hex_text.h"

namespace sms {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
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

std::string AddressDigits(std::string_view field) {
  std::string digits = SwapSemiOctets(field);
  if (!digits.empty() && digits.back() == 'F') digits.pop_back();
  return digits;
}

}  // namespace sms
