// The one number rule of the import and the manual entry: what a value as
// people write it stands for, and what it must never be made into.

#include "app/core/phone_number.h"

#include <gtest/gtest.h>

#include "app/core/view_types.h"

namespace app {
namespace {

TEST(PhoneNumber, WrittenFormsGiveTheirNumberAndNothingElseIsMadeIntoOne) {
  struct Case {
    const char* text;    // UTF-8
    const char* number;  // nullptr: no number
  };
  const Case cases[] = {
      {"600123456", "600123456"},
      {"600 100 204", "600100204"},          // blanks between the groups
      {"600-100-204", "600100204"},
      {"600.100.204", "600100204"},
      {"(600) 100/204", "600100204"},
      {"600\xC2\xA0" "100\xC2\xA0" "204", "600100204"},  // no-break spaces from a spreadsheet
      {"+48600100777", "600100777"},
      {"+48 600 100 777", "600100777"},
      {"0048600100777", "600100777"},
      {"0048 (600) 100-777", "600100777"},
      {"48600123456", "600123456"},          // a number cell with the country code
      {"48 600 123 461", "600123461"},
      // Never corrected into another customer's number.
      {"6001002111", nullptr},               // ten digits
      {"1200246912", nullptr},
      {"97200246912", nullptr},
      {"0600123458", nullptr},
      {"4860012345", nullptr},               // 48 before eight digits
      {"00486001234567", nullptr},
      {"+4960012345", nullptr},              // another country
      {"+48 600 123 45", nullptr},
      {"060012345", nullptr},                // nine digits, but a leading zero
      {"60012345", nullptr},
      {"60010020A", nullptr},
      {"abcdefghi", nullptr},
      {"6001234a5", nullptr},
      {"-60012345", nullptr},
      {"1.5", nullptr},
      {"02/29/20", nullptr},
      {"", nullptr},
      {"   ", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<std::string> number = NationalNumberOf(Ansi(c.text));
    if (c.number == nullptr) {
      EXPECT_FALSE(number.has_value()) << *number;
    } else {
      ASSERT_TRUE(number.has_value());
      EXPECT_EQ(*number, c.number);
    }
  }
}

}  // namespace
}  // namespace app
