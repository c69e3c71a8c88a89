// The scramble of secret messages: reversible, carried unchanged by any phone,
// and refusing what it did not make.

#include "modem/secret_text.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/codepage.h"
#include "sms/gsm_alphabet.h"

namespace modem {
namespace {

TEST(SecretText, EveryTextComesBackAndTravelsInTheBasicGsmAlphabet) {
  std::mt19937 random(7);
  std::vector<std::string> texts = {"", "a", "ab", "abc", "    Tajne", std::string(329, 'x')};
  std::string allBytes;
  for (int b = 0; b < 256; ++b) allBytes.push_back(static_cast<char>(b));
  texts.push_back(allBytes);
  for (int i = 0; i < 200; ++i) {
    std::string text(random() % 340, '\0');
    for (char& c : text) c = static_cast<char>(random());
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    const std::string scrambled = ScrambleText(text);
    EXPECT_EQ(UnscrambleText(scrambled), text);
    for (char c : scrambled) {
      const bool basic = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                         c == '/' || c == '=';
      ASSERT_TRUE(basic) << scrambled;
    }
    // One part of a secret message: no extension character takes two septets.
    EXPECT_EQ(sms::TextToSeptets(platform::AnsiToUnicode(scrambled)).size(), scrambled.size());
  }
}

TEST(SecretText, RepeatedLettersDoNotShow) {
  const std::string scrambled = ScrambleText(std::string(60, 'a'));
  EXPECT_EQ(scrambled.find("AAAA"), std::string::npos);
  EXPECT_NE(scrambled.substr(0, 8), scrambled.substr(8, 8));
}

TEST(SecretText, TextsItDidNotMakeAreRefused) {
  const std::string scrambled = ScrambleText("    Hello");
  std::string damaged = scrambled;
  damaged[3] = damaged[3] == 'A' ? 'B' : 'A';
  for (const std::string& text : {damaged, scrambled.substr(0, scrambled.size() - 4), std::string("Hello there"),
                                  std::string(""), std::string("AB=C"), std::string("A==="), scrambled + "!"}) {
    EXPECT_FALSE(UnscrambleText(text)) << text;
  }
}

TEST(SecretText, MessageFramingAndPin) {
  EXPECT_EQ(SecretPin("1234"), "1234");
  EXPECT_EQ(SecretPin("123456"), "1234");
  EXPECT_EQ(SecretPin("7"), "7   ");
  EXPECT_EQ(SecretPin("\t \r\n"), "    ");
  const std::string message = SecretMessageText(std::string(400, 'z'), "42");
  ASSERT_TRUE(message.starts_with("66") && message.ends_with("BB"));
  EXPECT_EQ(UnscrambleText(message.substr(2, message.size() - 4)), "42  " + std::string(325, 'z'));
}

}  // namespace
}  // namespace modem
