// Received PDUs as phones, operators and modems really send them: every data
// coding group, lower-case hexadecimal, concatenation elements anywhere in
// the header, empty messages with a header.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "platform/codepage.h"
#include "platform/no_boxes_fixture.h"
#include "platform/recording_dialogs.h"
#include "sms/data_coding.h"
#include "sms/pdu_bytes.h"
#include "sms/sms_decoder.h"
#include "sms/testdata/received_pdu_cases.h"

namespace sms {
namespace {

namespace fs = std::filesystem;
using testing::ConcatenationCases;
using testing::DataCodingCases;
using testing::DeliverPdu;

// Every PDU of the decoders' fixtures: the fuzz seeds and the built cases.
std::vector<std::string> ReceivedFixtures() {
  std::vector<std::string> pdus;
  for (const auto& entry : fs::directory_iterator(std::string(TALVANE_SOURCE_DIR) + "/sms/testdata/pdu_decoder_fuzz_seeds")) {
    std::ifstream in(entry.path());
    std::string pdu;
    std::getline(in, pdu);
    pdus.push_back(pdu);
  }
  for (const auto& c : DataCodingCases()) pdus.push_back(c.pdu);
  for (const auto& c : ConcatenationCases()) pdus.push_back(c.pdu);
  return pdus;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Everything both decoders read from a PDU.
struct Reading {
  std::string text, sender, timestamp, udh;
  bool hasUdh = false;
  UDHValues values;
  TSmsPdu bytes;

  explicit Reading(std::string_view pdu) {
    TSMS decoder;
    decoder.ParsePDU(pdu);
    text = platform::Utf16ToUtf8(decoder.GetText());
    sender = platform::AnsiToUtf8(decoder.GetSender());
    timestamp = FormatDateTime(decoder.GetTimeStamp());
    udh = decoder.UDH();
    hasUdh = decoder.HasUDH();
    values = GetUDHValues(pdu);
    bytes = DecodeBytes(true, pdu);
  }
};

using ReceivedPdus = platform::testing::NoBoxesTest;

TEST_F(ReceivedPdus, TheDataCodingIsReadByItsGroup) {
  for (const auto& c : DataCodingCases()) {
    TSMS decoder;
    decoder.ParsePDU(c.pdu);
    EXPECT_EQ(platform::Utf16ToUtf8(decoder.GetText()), c.text) << c.name;
    EXPECT_EQ(decoder.Coding().messageClass, c.messageClass) << c.name;
    EXPECT_EQ(decoder.GetSender(), testing::kSender) << c.name;
    EXPECT_EQ(FormatDateTime(decoder.GetTimeStamp()), testing::kTimestamp) << c.name;
  }
}

TEST(DataCoding, GroupsMarkWaitingIndicationsAndCompression) {
  struct Case {
    unsigned dcs;
    Alphabet alphabet;
    bool waiting, active, compressed;
  } cases[] = {
      {0x00, kAlphabet7Bit, false, false, false}, {0x2C, kAlphabetUnknown, false, false, true},
      {0x64, kAlphabetUnknown, false, false, true}, {0x8C, kAlphabetUnknown, false, false, false},
      {0xC0, kAlphabet7Bit, true, false, false},  {0xCB, kAlphabet7Bit, true, true, false},
      {0xD2, kAlphabet7Bit, true, false, false},  {0xD8, kAlphabet7Bit, true, true, false},
      {0xE3, kAlphabetUcs2, true, false, false},  {0xEF, kAlphabetUcs2, true, true, false},
      {0xF8, kAlphabet7Bit, false, false, false}, {0xFF, kAlphabet8Bit, false, false, false},
  };
  for (const auto& c : cases) {
    const DataCoding coding = ReadDataCoding(c.dcs);
    EXPECT_EQ(coding.alphabet, c.alphabet) << std::hex << c.dcs;
    EXPECT_EQ(coding.messageWaiting, c.waiting) << std::hex << c.dcs;
    EXPECT_EQ(coding.indicationActive, c.active) << std::hex << c.dcs;
    EXPECT_EQ(coding.compressed, c.compressed) << std::hex << c.dcs;
  }
}

TEST_F(ReceivedPdus, LowerCaseHexadecimalReadsAsItsUpperCaseOriginal) {
  for (const std::string& pdu : ReceivedFixtures()) {
    // A status report is no message for the text decoder: it reports the
    // same unreadable fields in both cases.
    const Reading upper(pdu);
    const size_t upperBoxes = dialogs_.Texts().size();
    dialogs_.Clear();
    const Reading lower(Lower(pdu));
    EXPECT_EQ(dialogs_.Texts().size(), upperBoxes) << pdu;
    dialogs_.Clear();
    EXPECT_EQ(lower.text, upper.text) << pdu;
    EXPECT_EQ(lower.sender, upper.sender) << pdu;
    EXPECT_EQ(lower.timestamp, upper.timestamp) << pdu;
    EXPECT_EQ(lower.udh, upper.udh) << pdu;
    EXPECT_EQ(lower.hasUdh, upper.hasUdh) << pdu;
    EXPECT_EQ(lower.values, upper.values) << pdu;
    EXPECT_EQ(lower.bytes.Smsc, upper.bytes.Smsc) << pdu;
    EXPECT_EQ(lower.bytes.Address, upper.bytes.Address) << pdu;
    EXPECT_EQ(lower.bytes.Text, upper.bytes.Text) << pdu;
    EXPECT_EQ(lower.bytes.Kind, upper.bytes.Kind) << pdu;
    EXPECT_EQ(lower.bytes.Reference, upper.bytes.Reference) << pdu;
    EXPECT_EQ(lower.bytes.Status, upper.bytes.Status) << pdu;
    EXPECT_EQ(lower.bytes.DCS, upper.bytes.DCS) << pdu;
    EXPECT_EQ(lower.bytes.Time, upper.bytes.Time) << pdu;
    EXPECT_EQ(lower.bytes.DischargeTime, upper.bytes.DischargeTime) << pdu;
    // The originals decode: equality is not two failures alike.
    if (upper.bytes.Kind == kStatusReportParsed) {
      EXPECT_NE(upper.bytes.Address, "") << pdu;
    } else {
      EXPECT_NE(upper.text, "(Decoding Error)") << pdu;
    }
  }
  // Mixed case, and the PDU as passed in is what a report would show.
  const std::string mixed = "07911326040000f0040B911346610089f60000208062917314080cC8F71D14969741f977FD07";
  EXPECT_EQ(Reading(mixed).text, "How are you?");
  TSMS decoder;
  decoder.ParsePDU(mixed);
  EXPECT_EQ(decoder.PduText(), mixed);
}

TEST_F(ReceivedPdus, ConcatenationIsFoundWhereverItStands) {
  for (const auto& c : ConcatenationCases()) {
    const Reading reading(c.pdu);
    EXPECT_EQ(reading.values, c.values) << c.name;
    EXPECT_EQ(reading.text, c.text) << c.name;
    EXPECT_TRUE(reading.hasUdh) << c.name;
  }
}

TEST(Concatenation, HeadersThatEndEarlyOrLieStayInside) {
  struct Case {
    const char* udh;
    UDHValues values;
  } cases[] = {
      {"", {}},
      {"05", {}},
      {"050003", {}},                  // announced but cut
      {"0500032A03", {}},
      {"0500032A0302", {42, 3, 2}},
      {"0500032A0302FFFF", {42, 3, 2}},  // what follows the header is not read
      {"040003070302", {}},            // the header ends inside the element
      {"FF0003010201", {1, 2, 1}},     // a header longer than the text: read what is there
      {"080201FF0003010201", {1, 2, 1}},  // an unknown element is stepped over
      {"0500032a0302", {}},            // callers pass upper case (the decoder converts)
  };
  for (const auto& c : cases) EXPECT_EQ(ReadConcatenation(c.udh), c.values) << c.udh;
}

TEST_F(ReceivedPdus, AnEmptyMessageWithAHeaderIsEmpty) {
  const std::string prefix = "00440B918421436587F900";
  const std::string stamp = "42305041709000";
  struct Case {
    const char* name;
    std::string pdu;
    UDHValues values;
  } cases[] = {
      {"header flag, no user data", prefix + "00" + stamp + "00", {}},
      {"7-bit, the header alone", prefix + "00" + stamp + "070500032A0302", {42, 3, 2}},
      {"7-bit, the header and its fill", DeliverPdu(0x00, kCoding7Bit, "", "0500032A0302"), {42, 3, 2}},
      {"8-bit, the header alone", DeliverPdu(0x04, kCoding8Bit, "", "0500032A0302"), {42, 3, 2}},
      {"UCS-2, the header alone", DeliverPdu(0x08, kCodingUcs2, "", "060804ABCD0302"), {0xABCD, 3, 2}},
      {"no header flag, no user data", "00040B918421436587F9000042305041709000" "00", {}},
  };
  for (const auto& c : cases) {
    const Reading reading(c.pdu);
    EXPECT_EQ(reading.text, "") << c.name;
    EXPECT_EQ(reading.values, c.values) << c.name;
  }
}

}  // namespace
}  // namespace sms
