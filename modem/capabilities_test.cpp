#include "modem/capabilities.h"

#include <gtest/gtest.h>

namespace modem {
namespace {

TEST(OneDigitMode, ReadsTheFirstGroup) {
  struct Case {
    const char* response;
    const char* mode;
  } cases[] = {
      {"\r\n+CLIP: (0-1)\r\n\r\nOK\r\n", "1"},
      {"\r\n+CLIP: (0,1,2)\r\n\r\nOK\r\n", "1"},   // the last item of a list, capped at 1
      {"\r\n+CLIP: (0)\r\n\r\nOK\r\n", "0"},
      {"\r\n+CLIP: (0-2),(0,1)\r\n\r\nOK\r\n", "1"},
      {"\r\n+CLIP: (0,1,2,3)\r\n\r\nOK\r\n", ""},  // two commas removed leave "2,3"
      {"\r\n+CLIP: (x)\r\n\r\nOK\r\n", "0"},       // not a digit
      {"\r\nOK\r\n", ""},                          // no "+CLIP:" line: the last line is used
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(OneDigitMode(c.response, "+CLIP:"), c.mode) << c.response;
  EXPECT_EQ(OneDigitMode("\r\n+CMMS: (0-2)\r\n\r\nOK\r\n", "+CMMS:"), "1");
}

TEST(IndicationCapability, ChoosesFromTheGroups) {
  const char* answer = "\r\n+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)\r\n\r\nOK\r\n";
  const auto automatic = IndicationCapability(answer, false);
  ASSERT_TRUE(automatic);
  EXPECT_TRUE(automatic->Available);
  EXPECT_EQ(automatic->Command, "AT+CNMI=2,2,0,1,1");
  const auto disabled = IndicationCapability(answer, true);
  ASSERT_TRUE(disabled);
  EXPECT_EQ(disabled->Command, "AT+CNMI=2,1,0,1,1");
  EXPECT_EQ(disabled->Mode, "2");
  EXPECT_EQ(disabled->Mt, "1");
  EXPECT_EQ(disabled->Bm, "0");
  EXPECT_EQ(disabled->Ds, "1");
  EXPECT_EQ(disabled->Bfr, "1");
}

TEST(IndicationCapability, OtherAnswers) {
  struct Case {
    const char* response;
    bool disableAutoRx;
    const char* command;  // nullptr: not available
  } cases[] = {
      {"+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1", false, nullptr},  // unmatched parenthesis
      {"+CNMI: (0,1),(0,1),(0),(0),(0)", false, "AT+CNMI=1,1,0,0,0"},
      {"+CNMI: (1),(1),(0),(0),(0)", true, "AT+CNMI=1,0,0,0,0"},  // "1" only as the first character
      {"+CNMI: (0-1)", false, "AT+CNMI=1,0,0,0,0"},              // missing groups choose "0"
      {"OK", false, "AT+CNMI=0,0,0,0,0"},
      {"+CNMI: (2-0),(0),(0),(0),(0)", false, "AT+CNMI=0,0,0,0,0"},  // a reversed range is empty
      {"+CNMI: (0-2000000000),(0),(0),(0),(0)", false, "AT+CNMI=2,0,0,0,0"},
  };
  for (const Case& c : cases) {
    const auto record = IndicationCapability(c.response, c.disableAutoRx);
    if (c.command == nullptr) {
      EXPECT_FALSE(record) << c.response;
    } else {
      ASSERT_TRUE(record) << c.response;
      EXPECT_EQ(record->Command, c.command) << c.response;
    }
  }
}

TEST(ResetCapabilities, DependsOnTheInitialisationMode) {
  CapabilityTable table;
  table.ATCLIP = {true, "AT+CLIP=1", "1"};
  table.ATCBC = {true, "AT+CBC"};
  ResetCapabilities(table, true);
  EXPECT_FALSE(table.ATCLIP.Available);
  EXPECT_FALSE(table.ATCBC.Available);
  EXPECT_EQ(table.ATCLIP.Command, "AT");
  EXPECT_EQ(table.ATCBC.Command, "AT");
  EXPECT_EQ(table.ATCSQ.Command, "AT");
  EXPECT_EQ(table.ATCMGF.Command, "AT");

  table.ATCLIP = {true, "AT+CLIP=1", "1"};
  ResetCapabilities(table, false);
  EXPECT_FALSE(table.ATCLIP.Available);
  EXPECT_EQ(table.ATCLIP.Command, "AT+CLIP=1");  // only an init line can make it available again
  EXPECT_EQ(table.ATCBC.Command, "AT+CBC");
  EXPECT_EQ(table.ATCSQ.Command, "AT+CSQ");
}

}  // namespace
}  // namespace modem
