#include "sms/sms_decoder.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/recording_dialogs.h"
#include "sms/gsm_alphabet.h"
#include "sms/sms_encoder.h"

namespace sms {
namespace {

// A delivered message from the network (SMSC +31624000000, sender +31641600986).
const std::string kHowAreYou = "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07";

// An SMS-DELIVER from +48123456789 carrying the user data (TP-UDL and TP-UD)
// of the submit PDU the encoder builds for the same text and header.
std::string Deliver(std::string_view utf8Text, std::string_view udh = "", bool ucs2 = false) {
  const EncodedPart submit = EncodePart("+48123456789", platform::Utf8ToAnsi(utf8Text), udh, false, ucs2, false);
  const std::string dcs = submit.pdu.substr(24, 2);
  const std::string userData = submit.pdu.substr(28);
  return std::string("00") + (udh.empty() ? "04" : "44") + "0B918421436587F9" + "00" + dcs + "20806291731480" +
         userData;
}

std::string Utf8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

class SmsDecoder : public ::testing::Test {
 protected:
  void SetUp() override { platform::InstallDialogs(&dialogs_); }
  void TearDown() override { platform::InstallDialogs(nullptr); }

  struct Decoded {
    std::string text;
    std::string sender;
    DateTime timestamp;
    std::vector<std::string> errors;
  };
  static Decoded Decode(std::string_view pdu) {
    TSMS decoder;
    decoder.ParsePDU(pdu);
    return {Utf8(decoder.GetText()), platform::AnsiToUtf8(decoder.GetSender()), decoder.GetTimeStamp(),
            decoder.Errors()};
  }

  // The decoder reports to its caller and shows no box itself.
  platform::RecordingDialogs dialogs_;
};

TEST_F(SmsDecoder, DecodesADeliveredMessage) {
  const Decoded d = Decode(kHowAreYou);
  EXPECT_EQ(d.text, "How are you?");
  EXPECT_EQ(d.sender, "+31641600986");
  EXPECT_EQ(d.timestamp, (DateTime{2002, 8, 26, 19, 37, 41}));
  EXPECT_TRUE(d.errors.empty());
  EXPECT_TRUE(dialogs_.Texts().empty());
}

TEST_F(SmsDecoder, TextsOfEveryCodingComeBackWhole) {
  struct Case {
    const char* text;
    bool ucs2;
    const char* expected;
  } cases[] = {
      {"Hello [world] 5€", false, "Hello [world] 5€"},
      {"abcdefg@", false, "abcdefg@"},  // a final '@' on an octet boundary is text, not fill
      {"ab@@", false, "ab@@"},
      {"@", false, "@"},
      {"«8-bit»", false, "«8-bit»"},
      {"Zażółć gęślą jaźń", false, "Zażółć gęślą jaźń"},
      {"plain in UCS-2", true, "plain in UCS-2"},
      {"a\nb", false, "a\r\nb"},  // line breaks come back as CR LF
      {"a\rb", false, "a\r\nb"},
      {"a\n\rb", false, "a\r\nb"},
      {"a\r\nb", false, "a\r\nb"},
      {"a\n\nb", false, "a\r\n\r\nb"},
      {"Жук", true, "???"},       // what Windows-1250 cannot hold
      {"", false, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(Deliver(c.text, "", c.ucs2)).text, c.expected) << c.text;
}

TEST_F(SmsDecoder, ConcatenatedPartsStartAfterTheirHeader) {
  for (bool ucs2 : {false, true}) {
    const std::string pdu = Deliver("Hello there", "0500032A0302", ucs2);
    TSMS decoder;
    decoder.ParsePDU(pdu);
    EXPECT_TRUE(decoder.HasUDH());
    EXPECT_EQ(Utf8(decoder.GetText()), "Hello there") << ucs2;
    EXPECT_EQ(decoder.UDH(), "0500032A0302");
    EXPECT_EQ(GetUDHValues(pdu), (UDHValues{42, 3, 2})) << ucs2;
  }
  // A part whose text begins with a form feed (escape + 0x0A) right after the header.
  EXPECT_EQ(Decode(Deliver("\fpage", "0500032A0302")).text, "\fpage");
  // A header of another length (5 octets) in UCS-2 loses no character either.
  EXPECT_EQ(Decode(Deliver("Ćma", "0470020102", true)).text, "Ćma");
}

TEST_F(SmsDecoder, ConcatenationValuesNeedAConcatenationElement) {
  EXPECT_EQ(GetUDHValues(kHowAreYou), UDHValues{});                                // no header
  EXPECT_EQ(GetUDHValues(Deliver("x", "060804002A0302")), (UDHValues{42, 3, 2}));  // 16-bit reference
  EXPECT_EQ(GetUDHValues(Deliver("x", "050003FF0101")), (UDHValues{255, 1, 1}));
}

TEST_F(SmsDecoder, ReservedAlphabetGivesTheNotice) {
  std::string pdu = kHowAreYou;
  pdu.replace(36, 2, "0C");  // TP-DCS with alphabet bits 11
  EXPECT_EQ(Decode(pdu).text, "(Uwaga: Nieznany schemat kodowania)");
}

TEST_F(SmsDecoder, AlphanumericSenderIsDecodedFromSeptets) {
  const std::string name = PackSeptets(TextToSeptets(u"Orange"));
  const std::string pdu = "00040BD0" + name + "0000208062917314800CC8F71D14969741F977FD07";
  const Decoded d = Decode(pdu);
  EXPECT_EQ(d.sender, "Orange");
  EXPECT_EQ(d.text, "How are you?");
}

TEST_F(SmsDecoder, SubmitTypeHasNoTimestamp) {
  const std::string pdu = EncodePart("600100200", "Test", "", false, false, false).pdu;
  const Decoded d = Decode(pdu);
  EXPECT_EQ(d.text, "Test");
  EXPECT_EQ(d.sender, "600100200");
  EXPECT_TRUE(d.timestamp.IsZero());
}

TEST_F(SmsDecoder, UnreadableSmscLengthIsReportedAndTakenAsZero) {
  const std::string pdu = "ZZ" + kHowAreYou.substr(16);
  const Decoded d = Decode(pdu);
  EXPECT_EQ(d.errors, std::vector<std::string>{"PDU ERROR (SMSCLen): " + pdu});
  EXPECT_TRUE(dialogs_.Texts().empty());
  EXPECT_EQ(d.text, "How are you?");
  EXPECT_EQ(d.sender, "+31641600986");
}

TEST_F(SmsDecoder, EachUnreadableFieldHasItsReport) {
  struct Case {
    std::string pdu;
    std::vector<std::string> fields;
  } cases[] = {
      {"", {"SMSCLen", "PDUType", "SenderLen", "TPDCS"}},
      {"00", {"PDUType", "SenderLen", "TPDCS"}},
      {"0004", {"SenderLen", "TPDCS"}},
      {"00040B918421436587F900", {"TPDCS"}},
      {"00040x918421436587F90000", {"SenderLen"}},  // a character that is no hexadecimal digit
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(c.pdu);
    std::vector<std::string> expected;
    for (const auto& field : c.fields) expected.push_back("PDU ERROR (" + field + "): " + c.pdu);
    EXPECT_EQ(d.errors, expected) << c.pdu;
    EXPECT_TRUE(dialogs_.Texts().empty()) << c.pdu;
    EXPECT_EQ(d.text, "(Decoding Error)") << c.pdu;
    EXPECT_TRUE(d.timestamp.IsZero()) << c.pdu;
  }
}

TEST_F(SmsDecoder, CutAndDamagedPdusFallBackWithoutReadingOutside) {
  const std::string pdus[] = {kHowAreYou, Deliver("Hello there", "0500032A0302"),
                              Deliver("Zażółć", "0500032A0302", true), Deliver("«8-bit»")};
  for (const std::string& whole : pdus) {
    TSMS reference;
    reference.ParsePDU(whole);
    const std::string fullText = Utf8(reference.GetText());
    // The text needs TP-UDL and the whole header.
    const size_t needed = reference.TypePos() + reference.AddrDigits() + 25 + reference.UDH().size();
    for (size_t length = 0; length <= whole.size(); ++length) {
      const std::string cut = whole.substr(0, length);
      const Decoded d = Decode(cut);
      if (length < needed) {
        EXPECT_EQ(d.text, "(Decoding Error)") << cut;
        EXPECT_EQ(GetUDHValues(cut), UDHValues{}) << cut;
      } else {
        EXPECT_LE(d.text.size(), fullText.size()) << cut;
      }
    }
    EXPECT_EQ(Decode(whole).text, fullText);
  }
  // The timestamp digits are checked: an impossible date or a letter gives zero.
  std::string badDate = kHowAreYou;
  badDate.replace(40, 2, "31");  // month 13
  EXPECT_TRUE(Decode(badDate).timestamp.IsZero());
  badDate.replace(40, 2, "A0");
  EXPECT_TRUE(Decode(badDate).timestamp.IsZero());
  // A header that claims more octets than the PDU has.
  std::string longHeader = Deliver("Hello", "0500032A0302");
  longHeader.replace(40, 2, "FF");
  EXPECT_EQ(Decode(longHeader).text, "(Decoding Error)");
  EXPECT_EQ(GetUDHValues(longHeader), UDHValues{});
  // A non-hexadecimal octet in 8-bit user data.
  std::string eightBit = Deliver("«8-bit»");
  eightBit[eightBit.size() - 2] = 'x';
  EXPECT_EQ(Decode(eightBit).text, "(Decoding Error)");
}

TEST_F(SmsDecoder, CutUserDataGivesTheCharactersThatArrived) {
  const std::string whole = Deliver("Hello there");
  EXPECT_EQ(Decode(whole.substr(0, whole.size() - 6)).text, "Hello th");
  const std::string wide = Deliver("Zażółć", "", true);
  EXPECT_EQ(Decode(wide.substr(0, wide.size() - 8)).text, "Zażó");
}

}  // namespace
}  // namespace sms
