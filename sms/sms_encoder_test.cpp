#include "sms/sms_encoder.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace sms {
namespace {

const std::string kNumber = "+48123456789";

EncodedPart Encode(std::string_view utf8Text, std::string_view udh = "", bool flash = false, bool ucs2 = false,
                   bool report = false, std::string_view number = kNumber) {
  return EncodePart(number, platform::Utf8ToAnsi(utf8Text), udh, flash, ucs2, report);
}

TEST(SmsEncoder, BuildsKnownPdus) {
  struct Case {
    const char* name;
    EncodedPart part;
    std::string pdu;
    int tpduLength;
  } cases[] = {
      {"plain", Encode("Test"), "0011000B918421436587F90000AD04D4F29C0E", 18},
      {"flash", Encode("Test", "", true), "0011000B918421436587F90010AD04D4F29C0E", 18},
      {"report", Encode("Test", "", false, false, true), "0031000B918421436587F90000AD04D4F29C0E", 18},
      {"header", Encode("Test", "050003070201"), "0051000B918421436587F90000AD0B050003070201A8E5391D", 24},
      {"national", Encode("Test", "", false, false, false, "600100200"),
       "0011000981" "06100002F0" "0000AD04D4F29C0E", 17},
      {"latin-1", Encode("«»"), "0011000B918421436587F90008AD0400AB00BB", 18},
      {"forced ucs-2", Encode("Hi", "", false, true), "0011000B918421436587F90008AD0400480069", 18},
      {"ucs-2 header", Encode("Ą", "050003070201", false, true),
       "0051000B918421436587F90008AD080500030702010104", 22},
      {"latin-1 header", Encode("«", "050003070201"), "0051000B918421436587F90008AD0805000307020100AB", 22},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.part.pdu, c.pdu) << c.name;
    EXPECT_EQ(c.part.tpduLength, c.tpduLength) << c.name;
    EXPECT_EQ(c.part.tpduLength * 2 + 2, static_cast<int>(c.part.pdu.size())) << c.name;
  }
}

TEST(SmsEncoder, ChoosesTheCodingFromTheCharacters) {
  struct Case {
    const char* utf8;
    std::string dcs;
    std::string udl;
  } cases[] = {
      {"abc", "00", "03"},
      {"a€", "00", "03"},                 // euro: still 7-bit, two septets
      {"a[b]", "00", "06"},
      {"«x»", "08", "06"},                // Latin-1 outside the alphabet: UCS-2, never 8-bit data
      {"25°C ±1 ×2", "08", "14"},
      {"Hello {x} ~ €", "00", "11"},      // extension characters stay 7-bit, two septets each
      {"ĄĆĘŁŃÓŚŻŹąćęłńóśżź", "08", "24"},  // Polish letters: UCS-2, 18 characters
      {"a„b", "08", "06"},                // a typographic quote forces UCS-2
  };
  for (const auto& c : cases) {
    const std::string pdu = Encode(c.utf8).pdu;
    // 00 11 00 0B91 8421436587F9 00 | DCS | AD | UDL
    EXPECT_EQ(pdu.substr(24, 2), c.dcs) << c.utf8;
    EXPECT_EQ(pdu.substr(28, 2), c.udl) << c.utf8;
  }
  EXPECT_EQ(Encode("ĄĆĘŁŃÓŚŻŹąćęłńóśżź").pdu.substr(30, 8), "01040106");
}

TEST(SmsEncoder, OneHundredSixtyLettersFillTheLargestTpdu) {
  const EncodedPart part = Encode(std::string(160, 'x'));
  EXPECT_EQ(part.tpduLength, 154);
  EXPECT_EQ(part.userDataLength, 140);
  EXPECT_EQ(Encode(std::string(161, 'x')).userDataLength, 141);
}

TEST(SmsEncoder, EightBitDataOnlyWhenAskedFor) {
  TSMSD encoder;
  encoder.SetNumber(kNumber);
  encoder.SetText(u"«");
  encoder.SetUDH("050003070201");
  encoder.SetCoding(kCoding8Bit);
  EXPECT_EQ(encoder.EncodePDU(), "0051000B918421436587F90004AD07050003070201AB");
  EXPECT_EQ(encoder.TPDULength(), 21);
}

TEST(SmsEncoder, EightBitCodingRefusesCharactersAboveLatin1) {
  TSMSD encoder;
  encoder.SetNumber(kNumber);
  encoder.SetText(u"zażółć");
  encoder.SetCoding(kCoding8Bit);
  try {
    encoder.EncodePDU();
    FAIL() << "no error";
  } catch (const EncodeError& e) {
    EXPECT_STREQ(e.what(), "Error encoding PDU: Unable to use 8bit encoding!");
  }
}

TEST(SmsEncoder, AssigningTextOrHeaderResetsCodingAndHeaderFlag) {
  TSMSD encoder;
  encoder.SetCoding(kCodingUcs2);
  encoder.SetText(u"x");
  EXPECT_EQ(encoder.Coding(), kCodingAutomatic);
  encoder.SetUDH("050003010201");
  EXPECT_TRUE(encoder.HasUDH());
  encoder.SetUDH("");
  EXPECT_FALSE(encoder.HasUDH());
}

}  // namespace
}  // namespace sms
