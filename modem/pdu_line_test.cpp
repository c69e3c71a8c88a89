// Lines of a modem's text that are whole received PDUs, and lines that are not.

#include "modem/pdu_line.h"

#include <gtest/gtest.h>

namespace modem {
namespace {

// SMS-DELIVER "How are you?" (7-bit, 12 septets in 11 octets).
const std::string kDeliver = "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07";
// SMS-STATUS-REPORT for reference 0x2A, status 0.
const std::string kReport = "0006" "2A" "0B918421436587F9" "42305041709000" "42305041809000" "00";
// SMS-SUBMIT kept in the modem's store ("hello", no validity period).
const std::string kSubmit = "0011000B918406010203F40000AA05E8329BFD06";

TEST(PduLine, WholePdusOfEveryKind) {
  for (const std::string& pdu : {kDeliver, kReport, kSubmit}) EXPECT_EQ(PduLineFault(pdu), "") << pdu;
  std::string lower = kDeliver;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(PduLineFault(lower), "");
  EXPECT_EQ(NormalisedPdu(" " + lower + "\r"), kDeliver);
  EXPECT_EQ(PduLineFault(kDeliver, 30), "");  // as announced ("+CMT: ,30")
  EXPECT_EQ(PduLineFault(kDeliver + "00", 30), "");  // trailing octets are tolerated
}

TEST(PduLine, GarbageAndPdusCutShort) {
  const struct {
    std::string line;
    int announced;
    std::string fault;
  } cases[] = {
      {"", -1, "empty line"},
      {"   ", -1, "empty line"},
      {"OK", -1, "not hexadecimal"},
      {"+CMT: ,24", -1, "not hexadecimal"},
      {"0791GARBAGE", -1, "not hexadecimal"},
      {kDeliver.substr(1), -1, "odd number of digits"},
      {"07911326040000F0", -1, "no message after the service centre information"},
      {"FF00", -1, "no message after the service centre information"},
      {kDeliver.substr(0, kDeliver.size() - 2), -1, "cut short"},  // user data short of UDL
      {kDeliver.substr(0, 40), -1, "cut short"},                    // inside the time stamp
      {kDeliver, 31, "cut short (30 of 31 octets)"},
      {kReport.substr(0, kReport.size() - 2), -1, "cut short"},     // without its status
      {kSubmit.substr(0, kSubmit.size() - 4), -1, "cut short"},
      {"0003", -1, "reserved message type"},
  };
  for (const auto& c : cases) EXPECT_EQ(PduLineFault(c.line, c.announced), c.fault) << c.line;
}

TEST(PduLine, UserDataLengthFollowsTheAlphabet) {
  // UCS-2 (DCS 08): UDL counts octets. "Hi" is 4 octets.
  const std::string ucs2 = "00040B911346610089F60008208062917314080400480069";
  EXPECT_EQ(PduLineFault(ucs2), "");
  EXPECT_EQ(PduLineFault(ucs2.substr(0, ucs2.size() - 2)), "cut short");
  // 8-bit data in the data coding / message class group (DCS F4).
  const std::string data = "00040B911346610089F600F42080629173140803010203";
  EXPECT_EQ(PduLineFault(data), "");
  EXPECT_EQ(PduLineFault(data.substr(0, data.size() - 2)), "cut short");
}

TEST(PduLine, AnnouncedLengths) {
  EXPECT_EQ(AnnouncedPduLength("+CMT: ,24"), 24);
  EXPECT_EQ(AnnouncedPduLength("+CMT: \"Bank\",24"), 24);
  EXPECT_EQ(AnnouncedPduLength("+CMGL: 1,0,,24"), 24);
  EXPECT_EQ(AnnouncedPduLength("+CMGR: 0,,24"), 24);
  EXPECT_EQ(AnnouncedPduLength("+CDS: 25"), 25);
  EXPECT_EQ(AnnouncedPduLength("+CMT: ,"), -1);
  EXPECT_EQ(AnnouncedPduLength("garbage"), -1);
}

}  // namespace
}  // namespace modem
