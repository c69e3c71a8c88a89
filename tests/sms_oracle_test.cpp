// The SMS codec against an independent one: python3-gammu decodes the PDUs
// Talvane builds, and Talvane decodes the PDUs gammu builds.

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "modem/message_parts.h"
#include "modem/text_fields.h"
#include "platform/codepage.h"
#include "platform/no_boxes_fixture.h"
#include "platform/recording_dialogs.h"
#include "sms/hex_text.h"
#include "sms/pdu_bytes.h"
#include "sms/sms_decoder.h"
#include "sms/testdata/received_pdu_cases.h"
#include "tests/cli_programs.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> fields;
  std::stringstream stream(text);
  for (std::string field; std::getline(stream, field, separator);) fields.push_back(field);
  return fields;
}

std::string HexOf(std::string_view bytes) {
  std::string hex;
  for (char c : bytes) sms::AppendHexOctet(hex, static_cast<unsigned char>(c));
  return hex;
}

// Runs tests/testdata/gammu_oracle.py in `mode` with `input` on its standard
// input; fails the test (it does not skip) when the oracle cannot run.
std::vector<std::vector<std::string>> RunOracle(const std::string& mode, const std::string& input) {
  const e2e::Result run = e2e::RunProgram(
      {TALVANE_PYTHON, std::string(TALVANE_SOURCE_DIR) + "/tests/testdata/gammu_oracle.py", mode},
      e2e::Streams::Separate, input);
  EXPECT_EQ(run.status, 0) << "the gammu oracle failed: " << run.err;
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : Split(run.out, '\n')) rows.push_back(Split(line, '\t'));
  return rows;
}

std::string Utf8OfHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

struct OracleView {  // one decoded PDU as gammu sees it
  std::string type, number, coding;
  int messageClass, udhReference, udhPart, udhAll;
  std::string text;  // UTF-8
  int reference, status;
  std::string dateTime, smsc;

  explicit OracleView(const std::vector<std::string>& f)
      : type(f.at(0)), number(f.at(1)), coding(f.at(2)), messageClass(std::stoi(f.at(3))),
        udhReference(std::stoi(f.at(4))), udhPart(std::stoi(f.at(5))), udhAll(std::stoi(f.at(6))),
        text(Utf8OfHex(f.at(7))), reference(std::stoi(f.at(8))), status(std::stoi(f.at(9))), dateTime(f.at(10)),
        smsc(f.at(11)) {}
};

std::string Letters(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text.push_back(static_cast<char>('a' + i % 26));
  return text;
}

std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

using SmsOracle = platform::testing::NoBoxesTest;

// A part's coding in a case below: 7 bits or UCS-2, as its characters need.
const std::string kAnyText = "7-bit or UCS-2";

TEST_F(SmsOracle, GammuReadsThePartsTalvaneSends) {
  struct Case {
    const char* name;
    std::string utf8Text;
    bool ucs2, flash, report;
    int mergeMax;
    std::string coding;
    size_t parts;
  } cases[] = {
      {"7-bit", "Hello world @ 5€ [x] {y} ~|^\\", false, false, false, 3, "Default_No_Compression", 1},
      // Text is never sent as 8-bit data: what the GSM alphabet lacks goes out in UCS-2.
      {"guillemets", "«quoted» text", false, false, false, 3, "Unicode_No_Compression", 1},
      {"degrees and signs", "Dzis 25°C, ±1 ×2 «ok»", false, false, false, 3, "Unicode_No_Compression", 1},
      {"extension characters", "Cena 5€ [x] {y} ~|^\\ ok", false, false, false, 3, "Default_No_Compression", 1},
      {"UCS-2 letters", "Zażółć gęślą jaźń", false, false, false, 3, "Unicode_No_Compression", 1},
      {"forced UCS-2", "plain text", true, false, false, 3, "Unicode_No_Compression", 1},
      {"flash", "Flash!", false, true, false, 3, "Default_No_Compression", 1},
      {"flash UCS-2", "Błysk", false, true, false, 3, "Unicode_No_Compression", 1},
      {"status report", "Report me", false, false, true, 3, "Default_No_Compression", 1},
      {"concatenated 7-bit", Letters(400), false, false, false, 3, "Default_No_Compression", 3},
      {"concatenated UCS-2", Repeat("żółw ", 30), false, false, false, 3, "Unicode_No_Compression", 3},
      {"concatenated guillemets", Repeat("«ab» ", 60), false, false, true, 5, "Unicode_No_Compression", 5},
      {"concatenated degrees", Repeat("25°C ", 40), false, false, false, 3, "Unicode_No_Compression", 3},
      // Each part chooses its own coding: letters in 7 bits, the part with ± in UCS-2.
      {"signs in the last part", Letters(200) + " ±1", false, false, false, 3, kAnyText, 2},
      {"two groups", Letters(700), false, false, false, 2, "Default_No_Compression", 5},
  };
  for (const auto& c : cases) {
    std::uint8_t reference = 0xFE;
    const std::vector<std::string> lines = modem::FormatPartLines(modem::SplitIntoParts(
        {{0, "", "", "+48600100200"}, platform::Utf8ToAnsi(c.utf8Text), "m", c.mergeMax, c.flash, c.ucs2, c.report},
        reference));
    ASSERT_EQ(lines.size(), c.parts) << c.name;
    std::string pdus;
    for (const std::string& line : lines) pdus += modem::CsvField(line, 1) + "\n";
    const auto rows = RunOracle("decode", pdus);
    ASSERT_EQ(rows.size(), lines.size()) << c.name;
    for (size_t i = 0; i < lines.size(); ++i) {
      const OracleView gammu(rows[i]);
      const std::string pdu = modem::CsvField(lines[i], 1);
      const bool hasHeader = (sms::ReadOctet(pdu, 3).value_or(0) & 0x40) != 0;
      EXPECT_EQ(gammu.type, "Submit") << c.name;
      EXPECT_EQ(gammu.number, "+48600100200") << c.name;
      if (c.coding == kAnyText) {
        EXPECT_TRUE(gammu.coding == "Default_No_Compression" || gammu.coding == "Unicode_No_Compression")
            << c.name << " part " << i + 1 << ": " << gammu.coding;
      } else {
        EXPECT_EQ(gammu.coding, c.coding) << c.name;
      }
      EXPECT_EQ(gammu.messageClass, c.flash ? 0 : -1) << c.name;
      EXPECT_EQ(gammu.text, platform::AnsiToUtf8(modem::CsvField(lines[i], 2))) << c.name << " part " << i + 1;
      // gammu does not show TP-SRR; the first octet carries it.
      EXPECT_EQ((sms::ReadOctet(pdu, 3).value_or(0) & 0x20) != 0, c.report) << c.name;
      if (c.parts == 1) {
        EXPECT_FALSE(hasHeader) << c.name;
        EXPECT_EQ(gammu.udhPart, -1) << c.name;
      } else if (hasHeader) {
        EXPECT_EQ(gammu.udhReference, sms::ReadOctet(pdu, 37).value()) << c.name;
        EXPECT_EQ(gammu.udhAll, sms::ReadOctet(pdu, 39).value()) << c.name;
        EXPECT_EQ(gammu.udhPart, sms::ReadOctet(pdu, 41).value()) << c.name;
      }
    }
  }
}

TEST_F(SmsOracle, TalvaneReadsTheMessagesGammuDelivers) {
  struct Case {
    const char* coding;
    int messageClass;
    std::string utf8Text;
  } cases[] = {
      {"7bit", -1, "How are you? @"},
      {"7bit", -1, "abcdefg@"},  // a final '@' on an octet boundary
      {"7bit", -1, "Brackets [x] {y} ~|^\\ and 5€"},
      {"ucs2", -1, "Zażółć gęślą jaźń"},
      {"7bit", 0, "Flash message"},
      {"ucs2", 0, "Błysk"},
      {"7bit", -1, Letters(300)},
      {"ucs2", -1, Repeat("Łódź ", 30)},
  };
  std::string input;
  for (const auto& c : cases) {
    input += std::string(c.coding) + "\t" + std::to_string(c.messageClass) + "\t" + HexOf(c.utf8Text) + "\n";
  }
  const auto delivered = RunOracle("deliver", input);
  std::string pdus;
  for (const auto& row : delivered) pdus += row.at(1) + "\n";
  const auto decoded = RunOracle("decode", pdus);
  ASSERT_EQ(decoded.size(), delivered.size());

  std::vector<std::string> joined(std::size(cases));
  for (size_t i = 0; i < delivered.size(); ++i) {
    const size_t index = std::stoul(delivered[i].at(0));
    const std::string& pdu = delivered[i].at(1);
    const OracleView gammu(decoded[i]);
    sms::TSMS decoder;
    decoder.ParsePDU(pdu);
    const std::string text = platform::Utf16ToUtf8(decoder.GetText());
    EXPECT_EQ(text, gammu.text) << pdu;
    EXPECT_EQ(decoder.GetSender(), gammu.number) << pdu;
    EXPECT_EQ(sms::FormatDateTime(decoder.GetTimeStamp()), gammu.dateTime) << pdu;
    const sms::UDHValues udh = sms::GetUDHValues(pdu);
    EXPECT_EQ(udh, (sms::UDHValues{gammu.udhReference, gammu.udhAll, gammu.udhPart})) << pdu;
    EXPECT_EQ(decoder.HasUDH(), gammu.udhPart != -1) << pdu;

    const sms::TSmsPdu bytes = sms::DecodeBytes(true, pdu);
    EXPECT_EQ(bytes.Kind, sms::kMessageParsed) << pdu;
    EXPECT_EQ("+" + bytes.Address, gammu.number) << pdu;
    EXPECT_EQ("+" + bytes.Smsc, gammu.smsc) << pdu;
    EXPECT_EQ(sms::FormatDateTime(bytes.Time), "2024-03-05 15:07:09") << pdu;  // sent at UTC, shown in UTC+1
    if (!decoder.HasUDH() && decoder.Alphabet() == 0) {
      EXPECT_EQ(platform::AnsiToUtf8(bytes.Text), gammu.text) << pdu;
    }
    // A modem that answers in lower-case hexadecimal gives the same.
    std::string lower = pdu;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    sms::TSMS lowerDecoder;
    lowerDecoder.ParsePDU(lower);
    EXPECT_EQ(platform::Utf16ToUtf8(lowerDecoder.GetText()), text) << lower;
    EXPECT_EQ(lowerDecoder.GetSender(), decoder.GetSender()) << lower;
    EXPECT_EQ(sms::GetUDHValues(lower), udh) << lower;
    joined[index] += text;
  }
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(joined[i], cases[i].utf8Text);
}

TEST_F(SmsOracle, StatusReportsAgree) {
  const std::string reports[] = {
      "0006" "2A" "0B918421436587F9" "42305041709000" "42305041809000" "00",
      "07918406010013F0" "06" "FF" "0B918421436587F9" "42305041709000" "42305041809000" "46",
      "0006" "01" "098106000002F0" "99211332959500" "00101010000000" "20",
  };
  std::string pdus;
  for (const std::string& report : reports) pdus += report + "\n";
  const auto rows = RunOracle("decode", pdus);
  ASSERT_EQ(rows.size(), std::size(reports));
  const char* expectedTimes[] = {"2024-03-05 15:07:09", "2024-03-05 15:07:09", "2000-01-01 00:59:59"};
  for (size_t i = 0; i < rows.size(); ++i) {
    const OracleView gammu(rows[i]);
    const sms::TSmsPdu report = sms::DecodeBytes(true, reports[i]);
    EXPECT_EQ(gammu.type, "Status_Report");
    EXPECT_EQ(report.Kind, sms::kStatusReportParsed);
    EXPECT_EQ(report.Reference, gammu.reference);
    EXPECT_EQ(report.Status, gammu.status);
    EXPECT_EQ(report.Address, gammu.number.substr(gammu.number.starts_with('+') ? 1 : 0));
    EXPECT_EQ(report.Smsc.empty() ? "-" : "+" + report.Smsc, gammu.smsc);
    EXPECT_EQ(sms::FormatDateTime(report.Time), expectedTimes[i]);
  }
}

TEST_F(SmsOracle, GammuReadsTheDataCodingGroupsAlike) {
  const auto cases = sms::testing::DataCodingCases();
  std::string pdus;
  for (const auto& c : cases) pdus += c.pdu + "\n";
  const auto rows = RunOracle("decode", pdus);
  ASSERT_EQ(rows.size(), cases.size());
  size_t agreeing = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& c = cases[i];
    const OracleView gammu(rows[i]);
    sms::TSMS decoder;
    decoder.ParsePDU(c.pdu);
    const std::string text = platform::Utf16ToUtf8(decoder.GetText());
    if (c.gammuAgrees) {
      ++agreeing;
      EXPECT_EQ(text, gammu.text) << c.name;
      EXPECT_EQ(decoder.Coding().messageClass, gammu.messageClass) << c.name;
      EXPECT_EQ(decoder.GetSender(), gammu.number) << c.name;
      EXPECT_EQ(sms::FormatDateTime(decoder.GetTimeStamp()), gammu.dateTime) << c.name;
    } else {
      // gammu reads this octet otherwise (a reserved group or alphabet as
      // 8-bit data, the F group by bit 3, no class in the automatic
      // deletion group, some octets refused): it must really differ, or the
      // case belongs with the agreeing ones.
      EXPECT_TRUE(text != gammu.text || decoder.Coding().messageClass != gammu.messageClass) << c.name;
    }
  }
  EXPECT_GE(agreeing, 20u);
}

TEST_F(SmsOracle, GammuFindsTheConcatenationItKnows) {
  const auto cases = sms::testing::ConcatenationCases();
  std::string pdus;
  for (const auto& c : cases) pdus += c.pdu + "\n";
  const auto rows = RunOracle("decode", pdus);
  ASSERT_EQ(rows.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& c = cases[i];
    const OracleView gammu(rows[i]);
    sms::TSMS decoder;
    decoder.ParsePDU(c.pdu);
    // gammu takes every header's length into account, known or not.
    EXPECT_EQ(platform::Utf16ToUtf8(decoder.GetText()), gammu.text) << c.name;
    // It knows the concatenation element only as the header's sole element.
    // (and it keeps the values of an element the standard says to ignore).
    if (c.gammuReads) {
      EXPECT_EQ(sms::GetUDHValues(c.pdu), (sms::UDHValues{gammu.udhReference, gammu.udhAll, gammu.udhPart})) << c.name;
    } else if (c.values != sms::UDHValues{}) {
      EXPECT_EQ(gammu.udhPart, -1) << c.name;
    }
  }
}

}  // namespace
