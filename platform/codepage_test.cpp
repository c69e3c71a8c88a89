#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(CodePage, PolishLettersRoundTripThroughWindows1250) {
  // "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ" in Windows-1250 bytes.
  const std::string ansi = "Za\xBF\xF3\xB3\xE6 g\xEA\x9C" "l\xB9 ja\x9F\xF1 \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF";
  const std::string utf8 = "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ";
  EXPECT_EQ(AnsiToUtf8(ansi), utf8);
  EXPECT_EQ(Utf8ToAnsi(utf8), ansi);
}

TEST(CodePage, EveryByteOfBothTablesRoundTrips) {
  for (int codePage : {kCodePageAnsi, kCodePageWestern}) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(all, codePage), codePage), all) << codePage;
  }
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeTheFallback) {
  EXPECT_EQ(UnicodeToAnsi(u"a\u0416b", kCodePageAnsi), "a?b");       // Cyrillic Zhe
  EXPECT_EQ(UnicodeToAnsi(u"\U0001F600", kCodePageAnsi, '#'), "#");  // one pair, one character
  EXPECT_EQ(UnicodeToAnsi(u"\u00E0", kCodePageAnsi), "?");           // à is in 1252, not 1250
  EXPECT_EQ(UnicodeToAnsi(u"\u00E0", kCodePageWestern), "\xE0");
  EXPECT_FALSE(IsRepresentable(u"\u0416"));
  EXPECT_TRUE(IsRepresentable(u"\u20AC\u0105"));
}

TEST(CodePage, OtherCodePagesGoThroughIconv) {
  EXPECT_EQ(AnsiToUnicode("\xC0", 1251), u"\u0410");  // Cyrillic A
  EXPECT_EQ(AnsiToUnicode("\xE0", 12345), u"\u00E0");  // unknown: Windows-1252
}

TEST(CodePage, MalformedUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"\xC3", u"\uFFFD"},                  // cut short
      {"\xC3(", u"\uFFFD("},                // bad continuation
      {"\xC0\xAF", u"\uFFFD\uFFFD"},        // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out);
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace platform
