#include "modem/text_lines.h"

#include <gtest/gtest.h>

namespace modem {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, LineEndsAsTheListsSeeThem) {
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("a"), Lines{"a"});
  EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
  EXPECT_EQ(SplitLines("\r\n"), Lines{""});
  EXPECT_EQ(SplitLines("\r\nOK\r\n"), (Lines{"", "OK"}));
  EXPECT_EQ(SplitLines("a\rb\nc\r\n\r\nd"), (Lines{"a", "b", "c", "", "d"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(JoinLines({"a", ""}), "a\r\n\r\n");
}

TEST(ParseInt, DecimalOnly) {
  EXPECT_EQ(ParseInt("42"), 42);
  EXPECT_EQ(ParseInt(" -7 "), -7);
  EXPECT_EQ(ParseInt("+3"), 3);
  EXPECT_FALSE(ParseInt(""));
  EXPECT_FALSE(ParseInt("4 2"));
  EXPECT_FALSE(ParseInt("12a"));
  EXPECT_FALSE(ParseInt("99999999999"));
  EXPECT_FALSE(ParseInt("+-1"));
  EXPECT_EQ(ToIntDef("x", -88), -88);
}

TEST(TrimControl, RemovesBlanksAndControlCharacters) {
  EXPECT_EQ(TrimControl("\r\n\t AT \r\n"), "AT");
  EXPECT_EQ(TrimRightControl("\r\nRev \r\n"), "\r\nRev");
}

}  // namespace
}  // namespace modem
