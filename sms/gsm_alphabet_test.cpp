#include "sms/gsm_alphabet.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace sms {
namespace {

std::string Septets(std::u16string_view text) { return TextToSeptets(text); }

TEST(GsmAlphabet, PacksTextsToKnownOctets) {
  struct Case {
    std::u16string text;
    std::string packed;
  } cases[] = {
      {u"Test", "D4F29C0E"},
      {u"hello", "E8329BFD06"},
      {u"How are you?", "C8F71D14969741F977FD07"},
      {u"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PackSeptets(Septets(c.text)), c.packed);
}

TEST(GsmAlphabet, SevenAndEightSeptetsBothTakeSevenOctets) {
  const std::string seven = PackSeptets(Septets(u"abcdefg"));
  const std::string eight = PackSeptets(Septets(u"abcdefgh"));
  EXPECT_EQ(seven.size(), 14u);
  EXPECT_EQ(eight.size(), 14u);
  // The seventh octet of seven septets carries only the top bit of 'g' (0x67).
  EXPECT_EQ(seven.substr(12), "01");
  EXPECT_EQ(UnpackSeptets(seven), Septets(u"abcdefg"));  // last carry 0: fill, seven septets
  EXPECT_EQ(UnpackSeptets(eight), Septets(u"abcdefgh"));  // last carry not 0: eight
}

TEST(GsmAlphabet, UnpackingStopsAtTheFirstNonHexadecimalDigit) {
  const std::string hello = PackSeptets(Septets(u"hello"));  // E8329BFD06
  struct Case {
    std::string hex;
    std::string septets;
  } cases[] = {
      {hello, Septets(u"hello")},
      {"E832b9FD06", Septets(u"he")},                   // lower-case first digit of the 3rd octet: stop
      {"e8329BFD06", ""},                               // lower-case from the start
      {"E8 29BFD06", Septets(u"h")},                    // a blank as first digit
      {"E8329BFD0", Septets(u"hell")},                  // 9 digits round to 4 octets
      {"E8329BFD06E", UnpackSeptets("E8329BFD060E")},   // 11 digits round to 6; lone digit alone
      {"E8329BFD0Z", UnpackSeptets("E8329BFD00")},      // invalid second digit: the first alone
      {"E8329b", UnpackSeptets("E83209")},              // lower-case second digit likewise
  };
  for (const auto& c : cases) EXPECT_EQ(UnpackSeptets(c.hex), c.septets) << c.hex;
}

TEST(GsmAlphabet, CountedUnpackingKeepsAZeroSeptetAtTheEnd) {
  const std::string packed = PackSeptets(Septets(u"abcdefg@"));
  EXPECT_EQ(UnpackSeptets(packed), Septets(u"abcdefg"));  // the guess takes it for fill
  EXPECT_EQ(UnpackSeptetCount(packed, 8), Septets(u"abcdefg@"));
  EXPECT_EQ(UnpackSeptetCount(packed, 3), Septets(u"abc"));
  EXPECT_EQ(UnpackSeptetCount("", 5), "");
}

TEST(GsmAlphabet, SeptetCostsOfCharacters) {
  struct Case {
    char16_t c;
    int cost;
  } cases[] = {
      {u'a', 1}, {u'@', 1},  {u'é', 1},  {u'Ä', 1},  {u'Δ', 1},  {u'\n', 1}, {u'\r', 1}, {0x1B, 1},
      {u'€', 2}, {u'[', 2},  {u']', 2},  {u'{', 2},  {u'}', 2},  {u'\\', 2}, {u'^', 2},  {u'~', 2},
      {u'|', 2}, {u'\f', 2}, {u'ą', 0},  {u'«', 0},  {u'`', 0},  {u'\t', 0}, {u'„', 0},  {u'Ł', 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GsmSeptetCost(c.c), c.cost) << int(c.c);
    EXPECT_EQ(IsGsmChar(c.c), c.cost > 0) << int(c.c);
    EXPECT_EQ(SeptetCount(std::u16string(1, c.c)), size_t(c.cost)) << int(c.c);
  }
  EXPECT_EQ(Septets(u"€"), std::string("\x1B\x65"));
  EXPECT_EQ(Septets(u"["), std::string("\x1B\x3C"));
  EXPECT_EQ(Septets(std::u16string(1, char16_t(0x1B))), std::string("\x1B"));
}

TEST(GsmAlphabet, EveryCharacterSurvivesARoundTrip) {
  std::u16string all;
  for (unsigned s = 0; s < 128; ++s) {
    if (s != 0 && s != 0x1B) all.push_back(DefaultAlphabetChar(s));  // '@' and escape get their own cases
  }
  all += u"\f^{}\\[~]|€@x";
  EXPECT_EQ(SeptetsToText(PackSeptets(Septets(all))), all);
  EXPECT_EQ(SeptetsToUnicode(Septets(all)), all);
}

TEST(GsmAlphabet, MapsEscapesAndZeroRuns) {
  struct Case {
    std::string septets;
    std::u16string text;
  } cases[] = {
      {std::string("ab\0\0", 4), std::u16string(u"ab\0", 3)},                    // fill run at the end
      {std::string("ab\0", 3), u"ab@"},                                            // a single zero is '@'
      {std::string("a\0\0b", 4), u"a@@b"},                                         // a run inside the text
      {std::string("a\0\0\x1B\x0A", 5), std::u16string(u"a\0\f", 3)},             // a run before a form feed
      {"a\x1B\x1B" "b", u"a b"},                                                    // escape escape
      {"a\x1B\x41", u"a?"},                                                         // unknown extension
      {"ab\x1B", u"ab"},                                                            // escape at the end
  };
  for (const auto& c : cases) EXPECT_EQ(SeptetsToText(PackSeptets(c.septets)), c.text);
  // Without the fill guess, zeros stay characters.
  EXPECT_EQ(SeptetsToUnicode(std::string("ab\0\0", 4)), u"ab@@");
}

TEST(GsmAlphabet, SeptetsToBytesGivesWindows1250Text) {
  struct Case {
    std::u16string text;   // through TextToSeptets
    std::string utf8;      // the expected bytes, shown as UTF-8
  } cases[] = {
      {u"Hello @_$", "Hello @_$"},
      {u"éÄÖÜäöüßÇÉ§¤", "éÄÖÜäöüßÇÉ§¤"},  // letters Windows-1250 holds
      {u"£¥èùìòØøÅåÑñàÆæ¡¿", "?????????????????"},  // letters it does not hold
      {u"ΔΦΓΛΩΠΨΣΘΞ", "??????????"},
      {u"\f^{}\\[~]|€", "\f^{}\\[~]|€"},
      {u"a\r\nb", "a\r\nb"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SeptetsToBytes(Septets(c.text)), platform::Utf8ToAnsi(c.utf8)) << platform::Utf16ToUtf8(c.text);
  }
  EXPECT_EQ(SeptetsToBytes("a\x1B\x1B"), "a?");
  EXPECT_EQ(SeptetsToBytes("a\x1B"), "a\x1B");
}

}  // namespace
}  // namespace sms
