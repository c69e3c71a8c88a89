#include "xls/cfb/format.h"

namespace xls::cfb::format {

namespace {

// Latin Extended-A pairs letters as upper, lower: even/odd in most of the
// block, odd/even from U+0139 to U+0148 and from U+0179 to U+017E.
char16_t UpperLatinExtendedA(char16_t c) {
  if (c == 0x0131) return u'I';  // dotless i
  if (c == 0x017F) return u'S';  // long s
  const bool oddUpper = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
  const bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
  if (c == 0x0138 || c == 0x0149) return c;  // kra, n preceded by apostrophe: no upper case
  return isLower ? static_cast<char16_t>(c - 1) : c;
}

char16_t UpperGreek(char16_t c) {
  if (c == 0x03C2) return 0x03A3;  // final sigma
  if (c >= 0x03B1 && c <= 0x03CB) return static_cast<char16_t>(c - 0x20);
  if (c == 0x03AC) return 0x0386;
  if (c >= 0x03AD && c <= 0x03AF) return static_cast<char16_t>(c - 0x25);
  if (c == 0x03CC) return 0x038C;
  if (c == 0x03CD || c == 0x03CE) return static_cast<char16_t>(c - 0x3F);
  return c;
}

}  // namespace

char16_t UpperCase(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c < 0x100) {
    if (c == 0xB5) return 0x039C;  // micro sign
    if (c == 0xFF) return 0x0178;  // y with diaeresis
    if (c >= 0xE0 && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    return c;
  }
  if (c < 0x180) return UpperLatinExtendedA(c);
  if (c >= 0x0380 && c < 0x0400) return UpperGreek(c);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);  // Cyrillic
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);  // full-width a-z
  return c;
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char16_t ua = UpperCase(a[i]);
    const char16_t ub = UpperCase(b[i]);
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  return 0;
}

bool IsValidName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  for (char16_t c : name) {
    if (c == 0 || c == u'/' || c == u'\\' || c == u':' || c == u'!') return false;
  }
  return true;
}

}  // namespace xls::cfb::format
