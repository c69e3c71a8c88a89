// Element names: their order in a storage and the names the format forbids.

#include "xls/cfb/format.h"

#include <gtest/gtest.h>

namespace xls::cfb::format {
namespace {

TEST(CompoundFileNames, OrderIsLengthFirstThenUpperCase) {
  struct Case {
    std::u16string a, b;
    int order;
  };
  const Case cases[] = {
      {u"Workbook", u"workbook", 0},
      {u"WORKBOOK", u"workbook", 0},
      {u"Book", u"Workbook", -1},     // shorter first, whatever the letters
      {u"zz", u"AAA", -1},
      {u"ab", u"AC", -1},
      {u"_a", u"AA", 1},              // '_' (0x5F) after 'A' (0x41)
      {u"a", u"\u00E9", -1},          // e acute: Latin-1, upper case U+00C9
      {u"\u00E9", u"\u00C9", 0},
      {u"\u0105", u"\u0104", 0},      // Polish a ogonek
      {u"\u017C\u0142", u"\u017B\u0141", 0},  // z dot, l stroke
      {u"\u0144", u"\u0143", 0},      // n acute (odd/even pairing)
      {u"\u017A", u"\u0179", 0},      // z acute
      {u"\u03B1", u"\u0391", 0},      // Greek alpha
      {u"\u0436", u"\u0416", 0},      // Cyrillic zhe
      {u"\u00DF", u"\u00DF", 0},      // sharp s has no single upper-case unit
      {u"\u00F7", u"\u00D7", 1},      // division and multiplication signs are no letters
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareNames(c.a, c.b), c.order) << static_cast<int>(c.a[0]) << " vs " << static_cast<int>(c.b[0]);
    EXPECT_EQ(CompareNames(c.b, c.a), -c.order);
  }
}

TEST(CompoundFileNames, ForbiddenNames) {
  for (const char16_t* bad : {u"", u"a/b", u"a\\b", u"a:b", u"a!b", u"1234567890123456789012345678901X"}) {
    EXPECT_FALSE(IsValidName(bad)) << std::u16string_view(bad).size();
  }
  EXPECT_FALSE(IsValidName(std::u16string_view(u"a\0b", 3)));
  for (const char16_t* good :
       {u"Workbook", u"\u0005SummaryInformation", u"_VBA_PROJECT_CUR", u"1234567890123456789012345678901"}) {
    EXPECT_TRUE(IsValidName(good));
  }
}

}  // namespace
}  // namespace xls::cfb::format
