#pragma once
// Octets as PDUs carry them: uppercase hexadecimal text, two digits per octet,
// positions counted in hexadecimal characters from 1.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <optional>
#include <string>
#include <string_view>

namespace sms {

// Value of an uppercase hexadecimal digit, or -1 (lower-case letters included):
// the engine's own PDUs are upper case. Text from the modem goes through
// UpperCaseHex first.
int HexDigitValue(char c);

// A copy of `hex` with the lower-case digits a-f in upper case and every
// other character as it was. Some modems answer with lower-case PDUs; the
// decoders read them through this copy, so both cases decode alike.
std::string UpperCaseHex(std::string_view hex);

// Appends `value` as two uppercase hexadecimal digits; a value above 0xFF
// comes out as as many octets as it needs (it then no longer fits its field).
void AppendHexOctet(std::string& out, unsigned value);
std::string HexOctet(unsigned value);

// The octet whose two digits start at the 1-based `position`; nothing when a
// digit is missing (the text ends) or is not an uppercase hexadecimal digit.
std::optional<int> ReadOctet(std::string_view hex, size_t position);

// Swaps the two characters of every pair ("8421" -> "4812"); a last single
// character stays where it is. Addresses and timestamps use this order.
std::string SwapSemiOctets(std::string_view digits);

// The digits of an address field: pairs swapped and a final "F" filler dropped.
std::string AddressDigits(std::string_view field);

// Appends the characters of hexadecimal UCS-2 (four digits each, big-endian;
// the digits padded with "0" to whole characters) to `text`. Stops at the
// first character with a digit that is not uppercase hexadecimal and returns
// false then; the characters before it stay appended.
bool AppendUcs2Hex(std::string_view hex, std::u16string& text);

}  // namespace sms
