#include "app/cli/json_text.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(JsonText, StringsAreEscapedAsJsonReadersExpect) {
  const struct {
    const char* what;
    std::string text;
    std::string json;
  } cases[] = {
      {"plain", "600100200", R"("600100200")"},
      {"empty", "", R"("")"},
      {"quote", "say \"hi\"", R"("say \"hi\"")"},
      {"backslash", R"(C:\dane\lista.xls)", R"("C:\\dane\\lista.xls")"},
      {"named controls", "a\nb\rc\td", R"("a\nb\rc\td")"},
      {"other controls", std::string("\x01\x0b\x1b\x1f", 4), R"("\u0001\u000b\u001b\u001f")"},
      {"NUL", std::string("a\0b", 3), R"("a\u0000b")"},
      {"space and DEL", " \x7f", "\" \x7f\""},
      {"non-ASCII UTF-8", "Zażółć gęślą jaźń €", "\"Zażółć gęślą jaźń €\""},
      {"invalid UTF-8 passes through", "\xff\xc5", "\"\xff\xc5\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.what;
}

TEST(JsonText, TheProgramsTextIsWindows1250) {
  EXPECT_EQ(JsonAnsiString("\xA3\xB9ka \"1\""), "\"Łąka \\\"1\\\"\"");
}

}  // namespace
}  // namespace cli
