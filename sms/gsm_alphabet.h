#pragma once
// The GSM default alphabet (3GPP TS 23.038): the character tables, the test
// whether a text can travel in 7 bits, and septet packing.
//
// Septet strings are std::string whose bytes are septet values 0..127.
// Packed data is uppercase hexadecimal text, two digits per octet.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <cstddef>
#include <string>
#include <string_view>

namespace sms {

inline constexpr char kEscapeSeptet = 0x1B;

// The default table: septet value -> character.
char16_t DefaultAlphabetChar(unsigned septet);

// True when `c` is in the default table or is one of the ten extension
// characters (form feed ^ { } \ [ ~ ] | and the euro sign).
bool IsGsmChar(char16_t c);

// Septet cost of one character: 1 in the default table, 2 in the extension
// table, 0 when it has no place in the alphabet.
int GsmSeptetCost(char16_t c);

// Septets of a text whose characters all pass IsGsmChar; extension
// characters become the escape 0x1B and their second septet. A character
// outside the alphabet (callers never pass one) is left out.
std::string TextToSeptets(std::u16string_view text);
size_t SeptetCount(std::u16string_view text);

// Packs septets, least significant bit first: n septets give ceil(7n/8)
// octets, the unused high bits of the last octet are 0.
std::string PackSeptets(std::string_view septets);

// Unpacks hexadecimal text. Stops at the first octet whose first digit is not
// an uppercase hexadecimal digit; a missing or invalid second digit leaves the
// octet with the value of its first digit. A zero eighth septet in the last
// octet is fill and is dropped.
std::string UnpackSeptets(std::string_view hex);

// Unpacks exactly as the user data length announces: at most `count`
// septets, every 7 octets giving 8 (no guessing about fill). Stops at a
// non-hexadecimal digit like UnpackSeptets.
std::string UnpackSeptetCount(std::string_view hex, size_t count);

// Characters of septets through the default and extension tables: an escape
// and the next septet give the extension character (escape escape gives a
// space, an unknown second septet "?"); an escape at the end is dropped.
std::u16string SeptetsToUnicode(std::string_view septets);

// Unpacks hexadecimal text and maps it to characters like SeptetsToUnicode;
// in addition a run of two or more zero septets that reaches the end (or is
// followed by escape + 0x0A) is fill and becomes a single U+0000, which the
// caller cuts off by length.
std::u16string SeptetsToText(std::string_view hex);

// Septets as 8-bit text of the program's code page (Windows-1250): each
// character of the alphabet that the code page holds becomes its byte, any
// other becomes "?"; escape pairs become their extension character.
std::string SeptetsToBytes(std::string_view septets);

}  // namespace sms
