#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Text, TrimsByTheirMeaning) {
  EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
  EXPECT_EQ(TrimBlanks("\r\na\r\n"), "\r\na\r\n");  // blanks only
  EXPECT_EQ(TrimLine(" a \r\n"), "a");
  EXPECT_EQ(TrimControl("\x01\r\n a \x1f\t"), "a");
  EXPECT_EQ(TrimRightControl(" a \r\n"), " a");
  EXPECT_EQ(TrimControl(" \r\n "), "");
}

TEST(Text, IntegerReadersFollowTheirRules) {
  const struct {
    const char* text;
    std::optional<int> parsed, setting, strict;
    std::optional<long long> leading;
  } cases[] = {
      {"42", 42, 42, 42, 42},
      {"-7", -7, -7, -7, -7},
      {"+3", 3, 3, std::nullopt, 3},
      {"  15", 15, 15, std::nullopt, std::nullopt},
      {" 5\t", 5, std::nullopt, std::nullopt, std::nullopt},
      {"12abc", std::nullopt, std::nullopt, std::nullopt, 12},
      {"+-1", std::nullopt, -1, std::nullopt, -1},  // the sign is skipped, then "-1" read
      {"", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {"99999999999", std::nullopt, std::nullopt, std::nullopt, 99999999999LL},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseInt(c.text), c.parsed) << c.text;
    EXPECT_EQ(ParseSettingInt(c.text), c.setting) << c.text;
    EXPECT_EQ(ParseStrictInt(c.text), c.strict) << c.text;
    EXPECT_EQ(ParseLeadingInteger(c.text), c.leading) << c.text;
  }
  EXPECT_EQ(ToIntDef("x", -88), -88);
}

}  // namespace
}  // namespace platform
