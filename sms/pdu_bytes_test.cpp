#include "sms/pdu_bytes.h"

#include <gtest/gtest.h>

#include "sms/gsm_alphabet.h"
#include "sms/sms_encoder.h"

namespace sms {
namespace {

const std::string kHowAreYou = "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07";

// kHowAreYou with another service centre timestamp (seven octets as in the PDU).
std::string WithTimestamp(std::string_view stamp) {
  std::string pdu = kHowAreYou;
  return pdu.replace(38, 14, stamp);
}

// A status report for the message with reference 0x2A to +48123456789:
// SCTS 2002-08-26 19:37:41 +02:00, discharge one hour later, status `status`.
std::string StatusReport(std::string_view status) {
  return std::string("0006") + "2A" + "0B918421436587F9" + "20806291731480" + "20806202831480" + std::string(status);
}

TEST(PduBytes, DecodesADeliveredMessage) {
  const TSmsPdu pdu = DecodeBytes(true, WithTimestamp("20806291731480"));
  EXPECT_EQ(pdu.Kind, kMessageParsed);
  EXPECT_EQ(pdu.FirstOctet, 0x04);
  EXPECT_EQ(pdu.Smsc, "31624000000");
  EXPECT_EQ(pdu.Address, "31641600986");
  EXPECT_EQ(pdu.PID, 0);
  EXPECT_EQ(pdu.DCS, 0);
  EXPECT_EQ(pdu.Text, "How are you?");
  EXPECT_EQ(pdu.Time, (DateTime{2002, 8, 26, 18, 37, 41}));  // 19:37:41 at UTC+2 is 18:37:41 at UTC+1
}

TEST(PduBytes, TimestampsAreExpressedInUtcPlusOne) {
  struct Case {
    std::string stamp;
    DateTime time;
    int zone;  // as stated, minutes east of UTC
  } cases[] = {
      {"20806291731480", {2002, 8, 26, 18, 37, 41}, 120},  // +02:00 (8 quarters, units digit in the high half)
      {"20806291731440", {2002, 8, 26, 19, 37, 41}, 60},   // +01:00
      {"20806291731400", {2002, 8, 26, 20, 37, 41}, 0},    // UTC
      {"20806291731408", {2002, 8, 26, 20, 37, 41}, 0},    // the sign bit alone: -00:00
      {"20806291731488", {2002, 8, 26, 22, 37, 41}, -120}, // -02:00
      {"20806291731423", {2002, 8, 26, 12, 37, 41}, 480},  // +08:00 (32 quarters: tens 3, units 2)
      {"20211332030000", {2003, 1, 1, 0, 30, 0}, 0},       // 2002-12-31 23:30 UTC: over the year's end
      {"99101000000000", {1999, 1, 1, 1, 0, 0}, 0},        // years from 96 on are 19xx
      {"20316291731480", {}, 0},                           // month 13: no date, no zone
      {"2080629173A480", {}, 0},                           // a letter among the digits
  };
  for (const auto& c : cases) {
    const TSmsPdu pdu = DecodeBytes(true, WithTimestamp(c.stamp));
    EXPECT_EQ(pdu.Time, c.time) << c.stamp;
    EXPECT_EQ(pdu.TimeZone, c.zone) << c.stamp;
  }
}

TEST(PduBytes, DecodesAStatusReport) {
  const TSmsPdu pdu = DecodeBytes(true, StatusReport("00"));
  EXPECT_EQ(pdu.Kind, kStatusReportParsed);
  EXPECT_EQ(pdu.Reference, 0x2A);
  EXPECT_EQ(pdu.Address, "48123456789");
  EXPECT_EQ(pdu.Smsc, "");
  EXPECT_EQ(pdu.Status, 0);
  EXPECT_EQ(pdu.Text, "");
  EXPECT_EQ(pdu.Time, (DateTime{2002, 8, 26, 18, 37, 41}));
  EXPECT_EQ(pdu.DischargeTime, (DateTime{2002, 8, 26, 19, 38, 41}));
  EXPECT_EQ(pdu.TimeZone, 120);
  EXPECT_EQ(pdu.DischargeZone, 120);
  EXPECT_EQ(DecodeBytes(true, StatusReport("46")).Status, 0x46);
  EXPECT_TRUE(DecodeBytes(true, kHowAreYou).DischargeTime.IsZero());
}

TEST(PduBytes, AnAlphanumericOriginatorIsItsName) {
  // "Orange" in seven-bit characters, 11 semi-octets, type D0.
  const std::string name = PackSeptets(TextToSeptets(u"Orange"));
  const TSmsPdu pdu = DecodeBytes(true, "00040BD0" + name + "00002080629173148003C8F71D");
  EXPECT_EQ(pdu.Address, "Orange");
  EXPECT_EQ(pdu.Text, "How");
}

TEST(PduBytes, KindFollowsTheTypeAndTheParseFlag) {
  const std::string submit = EncodePart("+48123456789", "Test", "", false, false, false).pdu;
  std::string submitWithReference = submit;
  submitWithReference.replace(4, 2, "7F");
  std::string reserved = kHowAreYou;
  reserved.replace(16, 2, "07");  // message type 3: read on as a message
  struct Case {
    std::string pdu;
    bool parse;
    int kind;
    int reference;
    std::string address;
  } cases[] = {
      {kHowAreYou, true, kMessageParsed, 0, "31641600986"},
      {kHowAreYou, false, kMessageNotParsed, 0x0B, ""},  // the octet after the first octet
      {submitWithReference, true, kSubmitWithReference, 0x7F, ""},
      {submitWithReference, false, kSubmitNotParsed, 0, ""},
      {StatusReport("00"), true, kStatusReportParsed, 0x2A, "48123456789"},
      {StatusReport("00"), false, kStatusReportNotParsed, 0, ""},
      {reserved, true, kMessageParsed, 0, "31641600986"},
  };
  for (const auto& c : cases) {
    const TSmsPdu pdu = DecodeBytes(c.parse, c.pdu);
    EXPECT_EQ(pdu.Kind, c.kind) << c.pdu;
    EXPECT_EQ(pdu.Reference, c.reference) << c.pdu;
    EXPECT_EQ(pdu.Address, c.address) << c.pdu;
  }
}

TEST(PduBytes, TextIsCutToTheAnnouncedLength) {
  std::string pdu = kHowAreYou;
  pdu.replace(52, 2, "03");  // TP-UDL 3
  EXPECT_EQ(DecodeBytes(true, pdu).Text, "How");
}

TEST(PduBytes, DamagedInputNeverReadsOutside) {
  const std::string pdus[] = {kHowAreYou, StatusReport("00")};
  for (const std::string& whole : pdus) {
    for (size_t length = 0; length <= whole.size(); ++length) {
      const TSmsPdu pdu = DecodeBytes(true, whole.substr(0, length));
      EXPECT_LE(pdu.Address.size(), 11u);
    }
  }
  // Foreign characters read as meaningless octets, not errors.
  std::string foreign = kHowAreYou;
  foreign[19] = 'x';  // the address length "0B" becomes "0x"
  const TSmsPdu fromForeign = DecodeBytes(true, foreign);
  EXPECT_EQ(fromForeign.Kind, kMessageParsed);
  EXPECT_EQ(fromForeign.Smsc, "31624000000");
  EXPECT_EQ(fromForeign.Address, "");  // its length reads as 0
  // An SMSC length far beyond the text.
  EXPECT_EQ(DecodeBytes(true, "FF91").Smsc, "");
}

}  // namespace
}  // namespace sms
