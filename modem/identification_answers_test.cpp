#include "modem/identification_answers.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace modem {
namespace {

TEST(AnswerLine, CountsFromOne) {
  EXPECT_EQ(AnswerLine("\r\nSIMCOM_Ltd\r\n\r\nOK\r\n", 2), "SIMCOM_Ltd");
  EXPECT_EQ(AnswerLine("\r\nOK\r\n", 2), "OK");
  EXPECT_EQ(AnswerLine("\r\n", 2), "");
  EXPECT_EQ(AnswerLine("", 2), "");
}

TEST(RevisionText, DropsTheFinalOk) {
  EXPECT_EQ(RevisionText("\r\nRevision:1418B04\r\nBuild 7\r\n\r\nOK\r\n"), "\r\nRevision:1418B04\r\nBuild 7");
  EXPECT_EQ(RevisionText("\r\nERROR\r\n"), "\r\nERROR");
  EXPECT_EQ(RevisionText(""), "");
}

TEST(IdentityNumber, TheNumberOfAnAnswerThatEndsInOk) {
  const std::pair<const char*, const char*> cases[] = {
      {"\r\n351234567890125\r\n\r\nOK\r\n", "351234567890125"},
      {"\r\n+CGSN: \"351234567890125\"\r\n\r\nOK\r\n", "351234567890125"},
      {"\r\n+CIMI: 260011234567890\r\n\r\nOK\r\n", "260011234567890"},
      {"\r\nERROR\r\n", ""},
      {"\r\n+CME ERROR: 10\r\n", ""},
      {"\r\nOK\r\n", ""},
      {"\r\n2600112345\r\n", ""},  // cut short: no final result code
      {"\r\nSIM not inserted\r\n\r\nOK\r\n", ""},
      {"", ""},
  };
  for (const auto& [answer, number] : cases) EXPECT_EQ(IdentityNumber(answer), number) << answer;
}

TEST(ModemIdentityText, ImeiAndImsiWhereThereAreSuch) {
  EXPECT_EQ(ModemIdentityText("351234567890125", "260011234567890"), "351234567890125/260011234567890");
  EXPECT_EQ(ModemIdentityText("351234567890125", ""), "351234567890125");
  EXPECT_EQ(ModemIdentityText("", "260011234567890"), "");
}

TEST(ReadStorageCount, StoredAndCapacity) {
  const auto count = ReadStorageCount("\r\n+CPMS: 3,20,3,20,3,20\r\n\r\nOK\r\n", -88);
  ASSERT_TRUE(count);
  EXPECT_EQ(count->stored, 3);
  EXPECT_EQ(count->capacity, 20);
  const auto odd = ReadStorageCount("\r\n+CPMS: x\r\n", -77);
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->stored, -77);
  EXPECT_EQ(odd->capacity, -77);
  EXPECT_FALSE(ReadStorageCount("\r\nERROR\r\n", -77));
}

TEST(ReadPhonebookRange, SizeAndLengths) {
  const auto range = ReadPhonebookRange("\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n", -55);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->upperIndex, "250");
  EXPECT_EQ(range->size, 250);
  EXPECT_EQ(range->longestNumber, 40);
  EXPECT_EQ(range->longestName, 18);
  const auto odd = ReadPhonebookRange("+CPBR: (1-x)", -44);
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->size, 1);
  EXPECT_EQ(odd->longestNumber, -44);
  EXPECT_EQ(odd->longestName, -44);
  EXPECT_FALSE(ReadPhonebookRange("\r\nOK\r\n", -55));
}

TEST(ReadPhonebookUsed, EntriesInUse) {
  EXPECT_EQ(ReadPhonebookUsed("\r\n+CPBS: \"SM\",5,250\r\n\r\nOK\r\n"), 5);
  EXPECT_EQ(ReadPhonebookUsed("\r\n+CPBS: \"SM\"\r\n"), 1);
  EXPECT_FALSE(ReadPhonebookUsed("\r\nOK\r\n"));
}

TEST(ReadPhonebookEntries, IndexNumberAndName) {
  const auto entries = ReadPhonebookEntries(
      "\r\n+CPBR: 1,\"+48600100200\",145,\"004A0061006E\"\r\n"
      "+CPBR: 2,\"600300400\",129,\"0141006F0064007A\"\r\n\r\nOK\r\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], "1;+48600100200;Jan");
  EXPECT_EQ(entries[1], "2;600300400;" + platform::Utf8ToAnsi("Łodz"));
}

TEST(Ucs2HexToText, PadsAndStopsAtNonHex) {
  EXPECT_EQ(Ucs2HexToText("0041004"), "A@");  // "0040" after padding
  EXPECT_EQ(Ucs2HexToText("0041ZZ410042"), "A");
  EXPECT_EQ(Ucs2HexToText("4E2D"), "?");  // no Windows-1250 equivalent
  EXPECT_EQ(Ucs2HexToText(""), "");
}

}  // namespace
}  // namespace modem
