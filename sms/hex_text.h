#pragma once
// Octets as PDUs carry them: uppercase hexadecimal text, two digits per octet,
// positions counted in hexadecimal characters from 1.

#include <optional>
#include <string>
#include <string_view>

namespace sms {

// Value of an uppercase hexadecimal digit, or -1 (lower-case letters included).
int HexDigitValue(char c);

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

}  // namespace sms
