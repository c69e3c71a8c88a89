#include "sms/text_preparation.h"

#include <gtest/gtest.h>

namespace sms {
namespace {

std::string Ansi(std::string_view utf8) { return platform::Utf8ToAnsi(utf8); }

TEST(TextPreparation, TransliteratesPolishLettersOnly) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"Zażółć gęślą jaźń", "Zazolc gesla jazn"},
      {"ĄĆĘŁŃÓŚŻŹąćęłńóśżź", "ACELNOSZZacelnoszz"},
      {"Čeština, «quotes», € 5, é, „Łódź”", "Čeština, «quotes», € 5, é, „Lodz”"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Transliterate(Ansi(c.text)), Ansi(c.expected)) << c.text;
}

TEST(TextPreparation, ReplacesOnlyCrLfPairs) {
  struct Case {
    std::string text;
    std::string expected;
  } cases[] = {
      {"a\r\nb", "a b"},
      {"a\r\n\r\nb", "a  b"},
      {"a\nb", "a\nb"},  // a lone LF stays
      {"a\rb", "a\rb"},
      {"a\n\rb", "a\n\rb"},
      {"a\r\r\nb", "a\r b"},
      {"\r\n", " "},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplaceLineBreaks(c.text), c.expected);
}

}  // namespace
}  // namespace sms
