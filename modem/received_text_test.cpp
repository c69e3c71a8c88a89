// What the engine reads out of received texts: indexes, callers, the text
// prefix of concatenated parts, recipient tags, questions and indicators.

#include "modem/received_text.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace modem {
namespace {

TEST(ReceivedText, IndicationIndexAndCaller) {
  EXPECT_EQ(IndicationIndex("+CMTI: \"SM\",3"), 3);
  EXPECT_EQ(IndicationIndex("+CMTI: \"ME\", 12 "), 12);
  EXPECT_EQ(IndicationIndex("+CMTI: \"SM\",x"), 1);
  EXPECT_EQ(IndicationIndex("+CMTI:"), 1);

  EXPECT_EQ(CallerNumber("+CLIP: \"+48600100200\",145,,,,0", "+48"), "+48600100200");
  EXPECT_EQ(CallerNumber("+CLIP: \"600100200\",129", "+48"), "+48600100200");
  EXPECT_EQ(CallerNumber("+CLIP: \" 600100200 \",129", "+420"), "+420600100200");
  EXPECT_EQ(CallerNumber("+CLIP: \"\",128,,,,1", "+48"), "unknown");
  EXPECT_EQ(CallerNumber("+CLIP: ", "+48"), "unknown");
  EXPECT_EQ(CallerNumber("+CLIP: \"12345", "+48"), "12345");  // a line cut short
}

TEST(ReceivedText, TextPrefixAndItsReference) {
  const struct {
    std::string text;
    bool prefixed;
    int part, total;
  } cases[] = {
      {"(01z03)Hello", true, 1, 3},
      {"(02z03) ", true, 2, 3},
      {"(01z03)", false, 0, 0},  // nothing after it
      {"(ABzCD)text", true, 1, 1},
      {"(01Z03)text", false, 0, 0},
      {"[01z03]text", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    const std::optional<TextPrefix> prefix = ReadTextPrefix(c.text);
    ASSERT_EQ(prefix.has_value(), c.prefixed) << c.text;
    if (prefix) {
      EXPECT_EQ(prefix->part, c.part) << c.text;
      EXPECT_EQ(prefix->total, c.total) << c.text;
    }
  }
  // 4860 + 57 (the digits' codes combined) + 100 + 200 + 3 parts
  EXPECT_EQ(PrefixReference("+48600100200", 3), 5220);
  EXPECT_EQ(PrefixReference("48600100200", 3), 5220);
  EXPECT_EQ(PrefixReference("+48600100200", 2), 5219);
  // Pieces that are not numbers count 27000 each: a name, a short number.
  EXPECT_EQ(PrefixReference("Bank", 1), 27000 + ('B' ^ 'a' ^ 'n' ^ 'k') + 27000 + 27000 + 1);
  EXPECT_EQ(PrefixReference("", 1), 3 * 27000 + 1);
}

TEST(ReceivedText, LowerCaseOfWindows1250) {
  EXPECT_EQ(LowerAnsi(platform::Utf8ToAnsi("ZAŻÓŁĆ GĘŚLĄ JAŹŃ ŠŤŽĽŔ ×")),
            platform::Utf8ToAnsi("zażółć gęślą jaźń šťžľŕ ×"));
  EXPECT_EQ(LowerAnsi("Quiz 123 ?!"), "quiz 123 ?!");
}

TEST(ReceivedText, RecipientTags) {
  const std::vector<std::string> table = {"Sales", "Support", "Desk"};
  const std::vector<std::string> groups = {"Team", "Sales"};
  const RecipientRules rules{'=', '.', &table, &groups};
  const struct {
    std::string text, recipient, rest;
  } cases[] = {
      {"=@Desk?.Hello", "email#desk##?", "Hello"},
      {"=!Room7.Hi", "virtual#room7", "Hi"},
      {"=Sales.Order 5", "system#sales", "Order 5"},
      {"=sales?.Order 5", "system#sales#?", "Order 5"},
      {"Sales.Order", "system#sales", "Order"},
      {"=Sales,Support,Team.x", "system#sales;support#team", "x"},
      {"=Sales,Support.x", "system#sales;support#", "x"},
      {"=Team,Nobody.x", "system##team", "x"},
      {"Hi =Desk.there", "system#desk", "thereHi "},  // the text before the tag goes to the end
      {"=Nobody.x", "", "=Nobody.x"},
      {"=Sales Dept.x", "", "=Sales Dept.x"},  // a space: not a tag
      {"No tag here", "", "No tag here"},
      {"End.", "", "End."},
      {"=Desk", "", "=Desk"},  // no stop
  };
  for (const auto& c : cases) {
    const RecipientTag tag = ExtractRecipient(c.text, rules);
    EXPECT_EQ(tag.recipient, c.recipient) << c.text;
    EXPECT_EQ(tag.text, c.rest) << c.text;
  }
  const RecipientRules none{'\0', '\0', &table, &groups};
  EXPECT_EQ(ExtractRecipient("=Desk.x", none).recipient, "");
  EXPECT_EQ(ResolveRecipients("SALES,x,TEAM?", rules), "sales#team#?");
  EXPECT_EQ(ResolveRecipients("a,b", rules), std::nullopt);
}

TEST(ReceivedText, Questions) {
  const std::vector<std::string> questions = {"QUIZ", "Lotto", "QUIZ2"};
  EXPECT_EQ(MatchingQuestion("quiz: B", questions), &questions[0]);
  EXPECT_EQ(MatchingQuestion("QUIZ2 A", questions), &questions[0]);  // the first that matches
  EXPECT_EQ(MatchingQuestion("LOTTO 5", questions), &questions[1]);
  EXPECT_EQ(MatchingQuestion("Qui", questions), nullptr);
  EXPECT_EQ(MatchingQuestion("Hello", questions), nullptr);
  const std::vector<std::string> withEmpty = {"X", ""};
  EXPECT_EQ(MatchingQuestion("anything", withEmpty), &withEmpty[1]);
}

TEST(ReceivedText, Indicators) {
  using Kind = IndicatorEvent::Kind;
  const struct {
    std::string text;
    bool sendOneSignal;
    Kind kind;
    TCallStatus status;
    bool busy;
  } cases[] = {
      {"+CIEV: 1,1", false, Kind::CallState, TCallStatus::inCall, true},
      {"+CIEV: 1,0", false, Kind::CallState, TCallStatus::noCall, false},
      {"+CIEV: 3,0", false, Kind::CallState, TCallStatus::noCall, false},
      {"+CIEV: 3,1", false, Kind::CallState, TCallStatus::inCall, true},
      {"+CIEV: 3,2", false, Kind::CallState, TCallStatus::outCall, true},
      {"+CIEV: 3,3", true, Kind::OneRingHangUp, TCallStatus::noCall, false},
      {"+CIEV: 3,3", false, Kind::None, TCallStatus::noCall, false},
      {"+CIEV: 3,2\r\n+CIEV: 1,1", false, Kind::CallState, TCallStatus::inCall, true},  // the first row wins
      {"+CIEV: 7,1", false, Kind::None, TCallStatus::noCall, false},
  };
  for (const auto& c : cases) {
    const IndicatorEvent event = ReadIndicators(c.text, c.sendOneSignal);
    EXPECT_EQ(event.kind, c.kind) << c.text;
    if (c.kind == Kind::CallState) {
      EXPECT_EQ(event.status, c.status) << c.text;
      EXPECT_EQ(event.busy, c.busy) << c.text;
    }
  }
}

}  // namespace
}  // namespace modem
