#include "platform/codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <string>
#include <unordered_map>

namespace platform {
namespace {

using HighHalf = std::array<char16_t, 128>;

// Bytes 0x80..0xFF of Windows-1250. 0x81, 0x83, 0x88, 0x90 and 0x98 have no
// character and map to the same code point.
constexpr HighHalf kWindows1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

// Bytes 0x80..0xFF of Windows-1252, unassigned bytes as above.
constexpr HighHalf kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // 0xB8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // 0xC0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // 0xC8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // 0xD0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // 0xD8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // 0xE8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // 0xF0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // 0xF8
};

const HighHalf* TableFor(int codePage) {
  switch (codePage) {
    case kCodePageAnsi: return &kWindows1250;
    case kCodePageWestern: return &kWindows1252;
    default: return nullptr;
  }
}

// Reverse of a table: code point -> byte, built once per table.
const std::unordered_map<char16_t, unsigned char>& ReverseOf(const HighHalf& table) {
  static const auto build = [](const HighHalf& t) {
    std::unordered_map<char16_t, unsigned char> reverse;
    for (size_t i = 0; i < t.size(); ++i) reverse.emplace(t[i], static_cast<unsigned char>(0x80 + i));
    return reverse;
  };
  static const auto reverse1250 = build(kWindows1250);
  static const auto reverse1252 = build(kWindows1252);
  return &table == &kWindows1250 ? reverse1250 : reverse1252;
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Walks UTF-16 text one code point at a time; lone surrogates come out as U+FFFD.
template <typename Fn>
void ForEachCodePoint(std::u16string_view text, Fn&& fn) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsSurrogate(c)) {
      c = 0xFFFD;
    }
    fn(c);
  }
}

// Other code pages through iconv ("CP<n>" names); nullopt-like empty result
// with ok=false when iconv does not know the code page.
bool DecodeWithIconv(std::string_view text, int codePage, std::u16string& out) {
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open("UTF-16LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(text.size() * 4 + 8, '\0');
  out.clear();
  size_t pos = 0;
  while (pos < text.size()) {
    char* in = const_cast<char*>(text.data() + pos);
    size_t inLeft = text.size() - pos;
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const size_t produced = buffer.size() - outLeft;
    for (size_t i = 0; i + 1 < produced; i += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buffer[i]) |
                                          (static_cast<unsigned char>(buffer[i + 1]) << 8)));
    }
    pos = text.size() - inLeft;
    if (rc == static_cast<size_t>(-1) && pos < text.size()) {
      out.push_back(u'\uFFFD');  // a byte iconv cannot take: skip it
      ++pos;
    }
  }
  iconv_close(cd);
  return true;
}

}  // namespace

std::u16string AnsiToUnicode(std::string_view text, int codePage) {
  const HighHalf* table = TableFor(codePage);
  if (table == nullptr) {
    std::u16string out;
    if (DecodeWithIconv(text, codePage, out)) return out;
    table = &kWindows1252;
  }
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char b : text) out.push_back(b < 0x80 ? char16_t(b) : (*table)[b - 0x80]);
  return out;
}

AnsiString UnicodeToAnsi(std::u16string_view text, int codePage, char fallback) {
  const HighHalf* table = TableFor(codePage);
  if (table == nullptr) table = &kWindows1252;
  const auto& reverse = ReverseOf(*table);
  AnsiString out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (auto it = c <= 0xFFFF ? reverse.find(static_cast<char16_t>(c)) : reverse.end(); it != reverse.end()) {
      out.push_back(static_cast<char>(it->second));
    } else {
      out.push_back(fallback);
    }
  });
  return out;
}

bool IsRepresentable(std::u16string_view text, int codePage) {
  const HighHalf* table = TableFor(codePage);
  if (table == nullptr) table = &kWindows1252;
  const auto& reverse = ReverseOf(*table);
  bool ok = true;
  ForEachCodePoint(text, [&](char32_t c) {
    if (c >= 0x80 && (c > 0xFFFF || !reverse.contains(static_cast<char16_t>(c)))) ok = false;
  });
  return ok;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < text.size()) {
    const unsigned char lead = byte(i);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = extra >= 0 && i + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      if ((byte(i + k) >> 6) != 0x2) valid = false;
      else c = (c << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (c < kMinimum[extra] || c > 0x10FFFF || IsSurrogate(c))) valid = false;
    if (!valid) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += extra + 1;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  });
  return out;
}

std::string AnsiToUtf8(std::string_view text) { return Utf16ToUtf8(AnsiToUnicode(text)); }

AnsiString Utf8ToAnsi(std::string_view text, char fallback) {
  return UnicodeToAnsi(Utf8ToUtf16(text), kCodePageAnsi, fallback);
}

}  // namespace platform
