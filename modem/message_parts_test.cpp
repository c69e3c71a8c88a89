#include "modem/message_parts.h"

#include <gtest/gtest.h>

#include "modem/text_fields.h"
#include "sms/sms_decoder.h"
#include "sms/sms_encoder.h"

namespace modem {
namespace {

const std::string kNumber = "+48123456789";

// A recipient known only by its destination.
TRecipient To(const std::string& destination) { return {0, "", "", destination}; }

struct SplitPart {
  int tpduLength;
  std::string pdu;
  std::string text;
  std::string marker;
  int partNumber;
  int totalParts;
  std::string number;

  // The concatenation header of the PDU (destination +48123456789), or "".
  std::string Header() const { return (pdu.substr(2, 2) == "51" || pdu.substr(2, 2) == "71") ? pdu.substr(30, 12) : ""; }
};

SplitPart ReadSplitPart(const std::string& line) {
  const std::vector<std::string> f = CsvFields(line);
  EXPECT_EQ(f.size(), 7u) << line;
  if (f.size() != 7) return {};
  return {std::stoi(f[0]), f[1], f[2], f[3], std::stoi(f[4]), std::stoi(f[5]), f[6]};
}

struct Split {
  std::vector<SplitPart> parts;
  std::vector<std::string> lines;
  std::uint8_t reference;

  std::vector<size_t> Lengths() const {
    std::vector<size_t> lengths;
    for (const SplitPart& p : parts) lengths.push_back(p.text.size());
    return lengths;
  }
};

Split SplitText(const std::string& text, int mergeMax = 10, std::uint8_t reference = 0, bool ucs2 = false,
                const std::string& number = kNumber, const std::string& marker = "600100200") {
  SplitRequest request{To(number), text, marker, mergeMax, false, ucs2, false};
  Split result{{}, FormatPartLines(SplitIntoParts(request, reference)), 0};
  result.reference = reference;
  for (const std::string& line : result.lines) result.parts.push_back(ReadSplitPart(line));
  return result;
}

std::string Letters(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text.push_back(static_cast<char>('a' + i % 26));
  return text;
}

TEST(MessageParts, SplitsAtTheRoomOfEachCoding) {
  struct Case {
    const char* name;
    std::string text;
    bool ucs2;
    std::vector<size_t> lengths;
    std::vector<std::string> headers;
    int reference;
  } cases[] = {
      {"160 letters", Letters(160), false, {160}, {""}, 0},
      {"161 letters", Letters(161), false, {153, 8}, {"050003000201", "050003000202"}, 1},
      {"306 letters", Letters(306), false, {153, 153}, {"050003000201", "050003000202"}, 1},
      {"307 letters", Letters(307), false, {153, 153, 1}, {"050003000301", "050003000302", "050003000303"}, 1},
      {"70 in UCS-2", Letters(70), true, {70}, {""}, 0},
      {"71 in UCS-2", Letters(71), true, {67, 4}, {"050003000201", "050003000202"}, 1},
      {"euro after 159 letters", Letters(159) + "\x80", false, {153, 7}, {"050003000201", "050003000202"}, 1},
      {"euro across the boundary", Letters(152) + "\x80" + Letters(10), false, {152, 11}, {"050003000201", "050003000202"}, 1},
      {"guillemets: UCS-2", std::string(141, '\xAB'), false, {67, 67, 7},
       {"050003000301", "050003000302", "050003000303"}, 1},
  };
  for (const auto& c : cases) {
    const Split split = SplitText(c.text, 10, 0, c.ucs2);
    EXPECT_EQ(split.Lengths(), c.lengths) << c.name;
    std::vector<std::string> headers;
    for (const SplitPart& p : split.parts) headers.push_back(p.Header());
    EXPECT_EQ(headers, c.headers) << c.name;
    EXPECT_EQ(split.reference, c.reference) << c.name;
    for (const SplitPart& p : split.parts) {
      EXPECT_LE(p.tpduLength, 154) << c.name;
      EXPECT_EQ(p.totalParts, static_cast<int>(c.lengths.size())) << c.name;
    }
  }
  EXPECT_EQ(SplitText(Letters(160)).parts[0].tpduLength, 154);
  EXPECT_EQ(SplitText(Letters(159) + "\x80").parts[1].text, Letters(159).substr(153) + "\x80");
}

TEST(MessageParts, LongTextsGoOutInGroupsWithPrefixes) {
  struct Case {
    const char* name;
    size_t letters;
    std::uint8_t reference;
    int parts;
    std::vector<std::pair<int, std::string>> prefixed;  // part number, prefix
    std::vector<std::string> headers;                  // of the first part of each group
    int lastHeaderless;                                // 1 when the last part stands alone
    std::uint8_t referenceAfter;
  } cases[] = {
      {"1683 letters", 1683, 0, 12, {{1, "<01z02>"}, {11, "<02z02>"}}, {"050003000A01", "050003010201"}, 0, 2},
      {"eleven parts", 1623, 0, 11, {{1, "<01z02>"}, {11, "<02z02>"}}, {"050003000A01", ""}, 1, 1},
      {"reference wraps", 1683, 255, 12, {{1, "<01z02>"}, {11, "<02z02>"}}, {"050003FF0A01", "050003000201"}, 0, 1},
  };
  for (const auto& c : cases) {
    const Split split = SplitText(Letters(c.letters), 10, c.reference);
    ASSERT_EQ(split.parts.size(), size_t(c.parts)) << c.name;
    for (const auto& [number, prefix] : c.prefixed) {
      EXPECT_EQ(split.parts[number - 1].text.substr(0, 7), prefix) << c.name;
    }
    EXPECT_EQ(split.parts[0].Header(), c.headers[0]) << c.name;
    EXPECT_EQ(split.parts[10].Header(), c.headers[1]) << c.name;
    EXPECT_EQ(split.parts.back().Header().empty(), c.lastHeaderless == 1) << c.name;
    EXPECT_EQ(split.reference, c.referenceAfter) << c.name;
    // Without the prefixes, the parts give back the text.
    std::string joined;
    for (const SplitPart& p : split.parts) joined += p.text.substr(p.text[0] == '<' ? 7 : 0);
    EXPECT_EQ(joined, Letters(c.letters)) << c.name;
  }
}

TEST(MessageParts, HundredsOfGroupsStayConsistent) {
  // With two parts per message, 4000 septets of text need more than 99
  // groups: prefixes such as <100z101> are wider, and the counted total must
  // still be the number of parts produced.
  const Split split = SplitText(Letters(30000), 2);
  const int total = static_cast<int>(split.parts.size());
  ASSERT_GT(total, 200);
  for (int i = 0; i < total; ++i) {
    EXPECT_EQ(split.parts[i].partNumber, i + 1);
    EXPECT_EQ(split.parts[i].totalParts, total);
  }
  EXPECT_EQ(split.parts.back().text.substr(0, 1) == "<", total % 2 == 1);
  EXPECT_EQ(split.parts[198].text.substr(0, 9), "<100z" + std::to_string((total + 1) / 2) + ">");
}

TEST(MessageParts, BlankTextsGiveNoParts) {
  for (const std::string text : {"", "   ", " \r\n\t "}) {
    const Split split = SplitText(text, 10, 7);
    EXPECT_TRUE(split.lines.empty());
    EXPECT_EQ(split.reference, 7);
  }
}

TEST(MessageParts, GroupSizeBelowTwoCountsAsTwo) {
  const Split one = SplitText(Letters(500), 1);
  const Split two = SplitText(Letters(500), 2);
  EXPECT_EQ(one.lines, two.lines);
}

TEST(MessageParts, OptionsReachEveryPart) {
  uint8_t reference = 0;
  const auto parts = SplitIntoParts({To(kNumber), Letters(200), "m", 3, true, false, true}, reference);
  ASSERT_EQ(parts.size(), 2u);
  for (const TQueuedPart& p : parts) {
    EXPECT_EQ(p.pdu.substr(2, 2), "71");   // SMS-SUBMIT, status report, header
    EXPECT_EQ(p.pdu.substr(24, 2), "10");  // class 0
  }
}

TEST(MessageParts, PartTextIsEscapedAndThePduCarriesTheCharacters) {
  const Split split = SplitText("say \"hi\"\r\nbye", 10);
  ASSERT_EQ(split.parts.size(), 1u);
  EXPECT_EQ(split.lines[0], split.lines[0].substr(0, split.lines[0].find(',') + 1) + split.parts[0].pdu +
                                ",\"say %~hi%~%nbye\",\"600100200\",1,1,+48123456789");
  sms::TSMS decoder;
  decoder.ParsePDU(split.parts[0].pdu);
  EXPECT_EQ(decoder.GetText(), u"say \"hi\"\r\nbye");
  EXPECT_EQ(RestoreLineBreaks(split.parts[0].text), "say %~hi%~\r\nbye");
}

TEST(MessageParts, EveryFieldReadsBackAsQueued) {
  struct Case {
    std::string marker;
    std::string number;
    std::string numberField;  // as written in the line
  } cases[] = {
      {"600100200", "+48600100200", "+48600100200"},
      {"say \"hi\", ok", "+48600100200", "+48600100200"},
      {"", "600,100", "\"600,100\""},
      {"\"", "6\"00", "\"6\"\"00\""},
      {",", " 600100200", "\" 600100200\""},
      {"  padded  ", "600100200\t", "\"600100200\t\""},
  };
  for (const auto& c : cases) {
    const TQueuedPart part{To(c.number), c.marker, 2, 3, 18, "00110000", "text, \"quoted\"\r\nnext"};
    const std::string line = FormatPartLine(part);
    EXPECT_TRUE(line.ends_with("," + c.numberField)) << line;
    EXPECT_EQ(CsvField(line, 0), "18");
    EXPECT_EQ(CsvField(line, 1), "00110000");
    EXPECT_EQ(CsvField(line, 2), "text, %~quoted%~%nnext");
    EXPECT_EQ(CsvField(line, 3), c.marker) << line;
    EXPECT_EQ(CsvField(line, 4), "2");
    EXPECT_EQ(CsvField(line, 5), "3");
    EXPECT_EQ(CsvField(line, 6), c.number) << line;
    EXPECT_EQ(CsvFields(line).size(), 7u) << line;
  }
}

TEST(MessageParts, ADestinationThatIsNoNumberShiftsNoField) {
  // Its characters go into the PDU as they are; every field still reads back.
  for (const std::string number : {"600,100\"200", " +48600100200", "+48600\r\n\x1A" "ATD1;"}) {
    std::uint8_t reference = 0;
    const std::vector<TQueuedPart> parts = SplitIntoParts({To(number), "Hi", "m,\"", 3}, reference);
    ASSERT_EQ(parts.size(), 1u) << number;
    const std::string line = FormatPartLine(parts[0]);
    const sms::EncodedPart encoded = sms::EncodePart(number, "Hi", "", false, false, false);
    EXPECT_EQ(CsvField(line, 0), std::to_string(encoded.tpduLength)) << line;
    EXPECT_EQ(CsvField(line, 1), encoded.pdu) << line;
    EXPECT_EQ(CsvField(line, 2), "Hi");
    EXPECT_EQ(CsvField(line, 3), "m,\"");
    EXPECT_EQ(CsvField(line, 6), number) << line;
    EXPECT_EQ(CsvFields(line).size(), 7u) << line;
    EXPECT_FALSE(IsSendablePart(parts[0])) << line;
  }
  std::uint8_t reference = 0;
  const TQueuedPart good = SplitIntoParts({To("+48600100200"), "Hi", "m,\"", 3}, reference)[0];
  EXPECT_TRUE(IsSendablePart(good));
  const auto changed = [&](auto change) {
    TQueuedPart part = good;
    change(part);
    return part;
  };
  EXPECT_FALSE(IsSendablePart(changed([](TQueuedPart& p) { p.tpduLength = 0; })));
  EXPECT_FALSE(IsSendablePart(changed([](TQueuedPart& p) { p.pdu.clear(); })));
  EXPECT_FALSE(IsSendablePart(changed([](TQueuedPart& p) { p.pdu.pop_back(); })));
  EXPECT_FALSE(IsSendablePart(changed([](TQueuedPart& p) { p.pdu[4] = 'X'; })));
  EXPECT_FALSE(IsSendablePart(TQueuedPart{}));
}

TEST(MessageParts, ReferenceOfASubmissionAnswer) {
  struct Case {
    const char* answer;
    int reference;
  } cases[] = {
      {"\r\n+CMGS: 12\r\n\r\nOK\r\n", 12}, {" \r\n+CMGS: 255\r\nOK\r\n", 255}, {"+CMGS: 7", 7},
      {"\r\nOK\r\n", -1},                    {"+CMGS:12\r\n", -1},                 {"+CMGS: x1\r\n", -1},
      {"+CMGS: \r\n", -1},                     {"", -1},                            {"+CMGS: 3\r\n+CMGS: 4\r\n", 3},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageReference(c.answer), c.reference) << c.answer;
}

TEST(MessageParts, NumbersAreNormalisedWithTheCountryPrefix) {
  struct Case {
    std::string value;
    bool check;
    std::string number;
  } cases[] = {
      {"123456789", true, "+48123456789"},      {"0123456789", true, "+48123456789"},
      {"+48123456789", true, "+48123456789"},   {"48123456789", true, "+4848123456789"},
      {" \t600100200\r\n", true, "+48600100200"}, {"+480600100200", true, "+48600100200"},
      {" 600100200", false, " 600100200"},      {"", true, "+48"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseNumber(c.value, "+48", c.check), c.number) << c.value;
}

TEST(MessageParts, TextIsPreparedForSending) {
  const std::string text = platform::Utf8ToAnsi("Zażółć\r\ngęślą\njaźń");
  EXPECT_EQ(PrepareTextForSending(text, false, true), "Zazolc gesla\njazn");
  EXPECT_EQ(PrepareTextForSending(text, false, false), "Zazolc\r\ngesla\njazn");
  EXPECT_EQ(PrepareTextForSending(text, true, true), platform::Utf8ToAnsi("Zażółć gęślą\njaźń"));
}

TEST(MessageParts, PreparedTextsCostWhatTheyWillBeSentAs) {
  std::string polish71;
  for (int i = 0; i < 71; ++i) polish71 += "ż";
  struct Case {
    const char* name;
    std::string utf8;
    bool specialSymbols;
    bool cutCrLf;
    size_t parts;
    std::string dcs;
  } cases[] = {
      {"transliterated", "Zażółć gęślą jaźń", false, true, 1, "00"},
      {"kept, in UCS-2", "Zażółć gęślą jaźń", true, true, 1, "08"},
      {"71 Polish letters kept", polish71, true, true, 2, "08"},  // 67 + 4
      {"71 Polish letters transliterated", polish71, false, true, 1, "00"},
      {"lone LF kept, one septet", Letters(80) + "\n" + Letters(79), false, true, 1, "00"},
      {"CR LF cut to one space", Letters(80) + "\r\n" + Letters(79), false, true, 1, "00"},
      {"CR LF kept, two septets", Letters(80) + "\r\n" + Letters(79), false, false, 2, "00"},
  };
  for (const auto& c : cases) {
    const std::string text = PrepareTextForSending(platform::Utf8ToAnsi(c.utf8), c.specialSymbols, c.cutCrLf);
    const Split split = SplitText(text, 10, 0, c.specialSymbols);
    ASSERT_EQ(split.parts.size(), c.parts) << c.name;
    EXPECT_EQ(split.parts[0].pdu.substr(24, 2), c.dcs) << c.name;
  }
  EXPECT_EQ(SplitText(PrepareTextForSending(platform::Utf8ToAnsi(polish71), true, true), 10, 0, true).Lengths(),
            (std::vector<size_t>{67, 4}));
}

TEST(MessageParts, ANumberWithNoRoomLeftIsAnEncodingError) {
  uint8_t reference = 0;
  EXPECT_THROW(SplitIntoParts({To("+" + std::string(290, '1')), "abc", "", 3}, reference), sms::EncodeError);
}

TEST(MessageParts, EveryPartDecodesToItsText) {
  // Mixed texts: Polish letters and guillemets force UCS-2, the rest is 7-bit.
  const std::string texts[] = {
      platform::Utf8ToAnsi("Zażółć gęślą jaźń. " + Letters(300)),
      platform::Utf8ToAnsi("«quoted» " + Letters(280)),
      platform::Utf8ToAnsi("[€] {x} ~|^ " + Letters(500)),
  };
  for (const std::string& text : texts) {
    const Split split = SplitText(text, 3);
    std::string joined;
    for (const SplitPart& p : split.parts) {
      sms::TSMS decoder;
      decoder.ParsePDU(p.pdu);
      EXPECT_EQ(platform::UnicodeToAnsi(decoder.GetText()), p.text);
      joined += p.text.substr(p.text[0] == '<' ? 7 : 0);
    }
    EXPECT_EQ(joined, text);
  }
}

}  // namespace
}  // namespace modem
