#include "sms/gsm_alphabet.h"

#include <array>

#include "platform/codepage.h"
#include "sms/hex_text.h"

namespace sms {
namespace {

// 3GPP TS 23.038 default alphabet, septet value -> character.
constexpr std::array<char16_t, 128> kDefaultTable = {
    u'@',  u'£',  u'$',  u'¥',  u'è',  u'é',  u'ù',  u'ì',  u'ò',  u'Ç',  u'\n', u'Ø',  u'ø',  u'\r', u'Å',  u'å',
    u'Δ',  u'_',  u'Φ',  u'Γ',  u'Λ',  u'Ω',  u'Π',  u'Ψ',  u'Σ',  u'Θ',  u'Ξ',  0x1B,  u'Æ',  u'æ',  u'ß',  u'É',
    u' ',  u'!',  u'"',  u'#',  u'¤',  u'%',  u'&',  u'\'', u'(',  u')',  u'*',  u'+',  u',',  u'-',  u'.',  u'/',
    u'0',  u'1',  u'2',  u'3',  u'4',  u'5',  u'6',  u'7',  u'8',  u'9',  u':',  u';',  u'<',  u'=',  u'>',  u'?',
    u'¡',  u'A',  u'B',  u'C',  u'D',  u'E',  u'F',  u'G',  u'H',  u'I',  u'J',  u'K',  u'L',  u'M',  u'N',  u'O',
    u'P',  u'Q',  u'R',  u'S',  u'T',  u'U',  u'V',  u'W',  u'X',  u'Y',  u'Z',  u'Ä',  u'Ö',  u'Ñ',  u'Ü',  u'§',
    u'¿',  u'a',  u'b',  u'c',  u'd',  u'e',  u'f',  u'g',  u'h',  u'i',  u'j',  u'k',  u'l',  u'm',  u'n',  u'o',
    u'p',  u'q',  u'r',  u's',  u't',  u'u',  u'v',  u'w',  u'x',  u'y',  u'z',  u'ä',  u'ö',  u'ñ',  u'ü',  u'à',
};

struct Extension {
  char16_t character;
  char septet;  // the septet after the escape
};

constexpr std::array<Extension, 10> kExtensions = {{
    {u'\f', 0x0A}, {u'^', 0x14}, {u'{', 0x28}, {u'}', 0x29}, {u'\\', 0x2F},
    {u'[', 0x3C}, {u'~', 0x3D}, {u']', 0x3E}, {u'|', 0x40}, {u'€', 0x65},
}};

// Septet of a character in the default table, or -1. The table has no
// repeated characters, so this is the first (and only) match.
int DefaultSeptetOf(char16_t c) {
  static const auto latin = [] {
    std::array<signed char, 256> table;
    table.fill(-1);
    for (size_t i = 0; i < kDefaultTable.size(); ++i) {
      if (kDefaultTable[i] < 256) table[kDefaultTable[i]] = static_cast<signed char>(i);
    }
    return table;
  }();
  if (c < 256) return latin[c];
  for (size_t i = 0; i < kDefaultTable.size(); ++i) {
    if (kDefaultTable[i] == c) return static_cast<int>(i);
  }
  return -1;
}

int ExtensionSeptetOf(char16_t c) {
  for (const Extension& e : kExtensions) {
    if (e.character == c) return e.septet;
  }
  return -1;
}

// Character of an escape pair's second septet; escape escape reads as a space.
char16_t ExtensionChar(char septet) {
  if (septet == kEscapeSeptet) return u' ';
  for (const Extension& e : kExtensions) {
    if (e.septet == septet) return e.character;
  }
  return u'?';
}

// Reads octet `index` (from 0) the way unpacking does: -1 when its first digit
// is not an uppercase hexadecimal digit; the first digit alone when the second
// is missing or invalid.
int UnpackOctet(std::string_view hex, size_t index) {
  const size_t at = 2 * index;
  const int high = at < hex.size() ? HexDigitValue(hex[at]) : -1;
  if (high < 0) return -1;
  const int low = at + 1 < hex.size() ? HexDigitValue(hex[at + 1]) : -1;
  return low < 0 ? high : high * 16 + low;
}

// Unpacks `octets` octets; `keepFinalZero` decides whether a zero eighth
// septet carried out of the last octet is kept. Stops after `limit` septets.
std::string Unpack(std::string_view hex, size_t octets, bool keepFinalZero, size_t limit) {
  std::string septets;
  septets.reserve(octets * 8 / 7 + 1);
  int shift = 1;
  int carry = 0;
  for (size_t k = 0; k < octets && septets.size() < limit; ++k) {
    const int octet = UnpackOctet(hex, k);
    if (octet < 0) break;
    septets.push_back(static_cast<char>(((octet & (0xFF >> shift)) << (shift - 1)) | carry));
    carry = (octet & ~(0xFF >> shift) & 0xFF) >> (8 - shift);
    if (shift == 7) {
      const bool isFill = k + 1 == octets && carry == 0 && !keepFinalZero;
      if (!isFill && septets.size() < limit) septets.push_back(static_cast<char>(carry));
      shift = 1;
      carry = 0;
    } else {
      ++shift;
    }
  }
  return septets;
}

// Shared by SeptetsToUnicode and SeptetsToText; `fillRuns` turns a trailing
// run of zero septets into one U+0000.
std::u16string MapSeptets(std::string_view septets, bool fillRuns) {
  std::u16string text;
  text.reserve(septets.size());
  const size_t n = septets.size();
  size_t i = 0;
  while (i < n) {
    const char s = septets[i];
    if (s == kEscapeSeptet) {
      if (i + 1 < n) text.push_back(ExtensionChar(septets[i + 1]));
      i += 2;
      continue;
    }
    if (s == 0 && fillRuns) {
      size_t end = i;
      while (end < n && septets[end] == 0) ++end;
      const bool reachesEnd = end == n;
      const bool beforeFormFeed = end + 1 < n && septets[end] == kEscapeSeptet && septets[end + 1] == 0x0A;
      if (end - i >= 2 && (reachesEnd || beforeFormFeed)) {
        text.push_back(u'\0');
      } else {
        text.append(end - i, kDefaultTable[0]);
      }
      i = end;
      continue;
    }
    text.push_back(kDefaultTable[static_cast<unsigned char>(s) & 0x7F]);
    ++i;
  }
  return text;
}

}  // namespace

char16_t DefaultAlphabetChar(unsigned septet) { return kDefaultTable[septet & 0x7F]; }

bool IsGsmChar(char16_t c) { return DefaultSeptetOf(c) >= 0 || ExtensionSeptetOf(c) >= 0; }

int GsmSeptetCost(char16_t c) {
  if (DefaultSeptetOf(c) >= 0) return 1;
  return ExtensionSeptetOf(c) >= 0 ? 2 : 0;
}

std::string TextToSeptets(std::u16string_view text) {
  std::string septets;
  septets.reserve(text.size());
  for (char16_t c : text) {
    if (const int s = DefaultSeptetOf(c); s >= 0) {
      septets.push_back(static_cast<char>(s));
    } else if (const int e = ExtensionSeptetOf(c); e >= 0) {
      septets.push_back(kEscapeSeptet);
      septets.push_back(static_cast<char>(e));
    }
  }
  return septets;
}

size_t SeptetCount(std::u16string_view text) {
  size_t count = 0;
  for (char16_t c : text) count += GsmSeptetCost(c);
  return count;
}

std::string PackSeptets(std::string_view septets) {
  std::string hex;
  hex.reserve(septets.size() * 7 / 4 + 2);
  int shift = 0;
  for (size_t i = 0; i < septets.size(); ++i) {
    if (shift == 7) {  // this septet went out entirely with the previous octet
      shift = 0;
      continue;
    }
    const unsigned current = static_cast<unsigned char>(septets[i]) & 0x7F;
    const unsigned next = i + 1 < septets.size() ? static_cast<unsigned char>(septets[i + 1]) & 0x7F : 0;
    const unsigned octet = (current >> shift) | ((next & ((1u << (shift + 1)) - 1)) << (7 - shift));
    AppendHexOctet(hex, octet & 0xFF);
    ++shift;
  }
  return hex;
}

std::string UnpackSeptets(std::string_view hex) {
  // Half the digit count, a half rounded to the even neighbour.
  size_t octets = hex.size() / 2;
  if (hex.size() % 2 == 1 && octets % 2 == 1) ++octets;
  return Unpack(hex, octets, false, std::string::npos);
}

std::string UnpackSeptetCount(std::string_view hex, size_t count) {
  return Unpack(hex, (hex.size() + 1) / 2, true, count);
}

std::u16string SeptetsToUnicode(std::string_view septets) { return MapSeptets(septets, false); }

std::u16string SeptetsToText(std::string_view hex) { return MapSeptets(UnpackSeptets(hex), true); }

std::string SeptetsToBytes(std::string_view septets) {
  static const auto byteOf = [] {
    std::array<char, 128> table;
    for (size_t i = 0; i < table.size(); ++i) {
      const char16_t c = kDefaultTable[i];
      const bool representable = c < 0x80 || platform::IsRepresentable(std::u16string_view(&c, 1));
      table[i] = representable ? platform::UnicodeToAnsi(std::u16string_view(&c, 1))[0] : '?';
    }
    return table;
  }();
  std::string bytes;
  bytes.reserve(septets.size());
  for (size_t i = 0; i < septets.size(); ++i) {
    const unsigned s = static_cast<unsigned char>(septets[i]) & 0x7F;
    if (s == static_cast<unsigned>(kEscapeSeptet) && i + 1 < septets.size()) {
      const char16_t c = ExtensionChar(septets[++i]);
      const bool known = c != u' ' && c != u'?';
      bytes += known ? platform::UnicodeToAnsi(std::u16string_view(&c, 1)) : std::string("?");
      continue;
    }
    bytes.push_back(byteOf[s]);
  }
  return bytes;
}

}  // namespace sms
