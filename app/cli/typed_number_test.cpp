#include "app/cli/typed_number.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

struct Case {
  const char* typed;
  const char* number;  // empty: refused
};

TEST(TypedNumber, PeopleWriteNumbersInManyWays) {
  const Case cases[] = {
      {"600100200", "+48600100200"},
      {"600 100 200", "+48600100200"},
      {"600-100-200", "+48600100200"},
      {"(600) 100.200", "+48600100200"},
      {"+48600100200", "+48600100200"},
      {"+48 600 100 200", "+48600100200"},
      {"0048600100200", "+48600100200"},  // not "+48048600100200"
      {"(0048) 600-100-200", "+48600100200"},
      {"+491701234567", "+491701234567"},  // a foreign number keeps its country
      {"00441632960961", "+441632960961"},
      {"", ""},
      {"  ", ""},
      {"60010020O", ""},      // a letter O for a zero
      {"600100200a", ""},
      {"60010020", ""},       // eight digits
      {"6001002000", ""},     // ten digits
      {"48600100200", ""},    // country code without + or 00: ambiguous
      {"+48", ""},
      {"+1234567890123456", ""},  // sixteen digits
      {"++48600100200", ""},
      {"00", ""},
  };
  for (const Case& c : cases) {
    const TypedNumber read = ReadTypedNumber(c.typed, "+48");
    EXPECT_EQ(read.number, c.number) << "typed: '" << c.typed << "'";
    EXPECT_EQ(read.error.empty(), std::string(c.number) != "") << "typed: '" << c.typed << "'";
  }
}

TEST(TypedNumber, TheReasonSaysWhatIsWrong) {
  EXPECT_EQ(ReadTypedNumber("", "+48").error, "no number given");
  EXPECT_EQ(ReadTypedNumber("6001OO200", "+48").error, "it holds characters that are not digits");
  EXPECT_EQ(ReadTypedNumber("60010020", "+48").error,
            "a national number has 9 digits, this one 8 digits; write an international number with + or 00 in front");
}

}  // namespace
}  // namespace cli
