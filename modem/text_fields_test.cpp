#include "modem/text_fields.h"

#include <gtest/gtest.h>

namespace modem {
namespace {

TEST(CsvFields, ReadsQuotedAndUnquotedFields) {
  struct Case {
    std::string line;
    std::vector<std::string> fields;
  } cases[] = {
      {"0,85", {"0", "85"}},
      {" 1 , 2 ,3 ", {"1", "2", "3"}},
      {R"(23,"0011A0",",x, y","mark""er",1,3,+48600)", {"23", "0011A0", ",x, y", "mark\"er", "1", "3", "+48600"}},
      {R"(1,"",,3)", {"1", "", "", "3"}},
      {R"("unterminated, still one)", {"unterminated, still one"}},
      {"a,", {"a", ""}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvFields(c.line), c.fields) << c.line;
}

TEST(CsvFields, FieldByIndexIsEmptyPastTheEnd) {
  EXPECT_EQ(CsvField(R"(5,"+48600100200",145)", 1), "+48600100200");
  EXPECT_EQ(CsvField("5,6", 2), "");
  EXPECT_EQ(CsvField("", 0), "");
}

TEST(CsvFields, QuotingRoundTripsAnyText) {
  for (std::string text : {"", "plain", "a,b", "\"", "say \"hi\", then go", " padded ", ",\",\""}) {
    EXPECT_EQ(CsvField(CsvQuote(text), 0), text);
    EXPECT_EQ(CsvField("x," + CsvQuote(text) + ",y", 1), text);
    EXPECT_EQ(CsvField("x," + CsvQuote(text) + ",y", 2), "y");
  }
}

TEST(SplitAt, ReturnsTheHeadAndKeepsTheTail) {
  struct Case {
    std::string text, delimiter, head, rest;
  } cases[] = {
      {"+CMGS: 17\r\nOK", "\r", "+CMGS: 17", "\nOK"},
      {"  a : b  ", ":", "a", "b"},
      {"no delimiter ", ",", "no delimiter", ""},
      {"a,b,c", ",", "a", "b,c"},
      {"\r a \r", "x", "\r a \r", ""},  // CR stays: only blanks are trimmed
      {"\t1 ,\t2\t", ",", "1", "2"},
  };
  for (auto c : cases) {
    std::string text = c.text;
    EXPECT_EQ(SplitAt(text, c.delimiter), c.head) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

}  // namespace
}  // namespace modem
