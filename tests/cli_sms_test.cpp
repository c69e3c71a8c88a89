// talvane-cli parts and decode, run as a user runs them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli_programs.h"

namespace {

using e2e::Result;

// talvane-cli with its two outputs apart.
Result Cli(const std::vector<std::string>& args) { return e2e::RunCli(args, e2e::Streams::Separate); }

TEST(CliParts, PrintsThePartLinesOfASendRequest) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"parts", "600100200", "Zażółć gęślą jaźń"},
       "29,0011000B918406100002F00000AD11DAB0FECD1E83CEE5393B0C5287F56E,\"Zazolc gesla jazn\",\"\",1,1,+48600100200\n"
       "ref=0\n"},
      {{"parts", "--preview", "+48 600-100-200", "  Zażółć\r\n"},
       "26,0011000B918406100002F00008AD0C005A0061017C00F301420107,\"Zażółć\",\"\",1,1,+48600100200\nref=0\n"},
      {{"parts", "--ucs2", "--flash", "600100200", "Łza"},
       "20,0011000B918406100002F00018AD060141007A0061,\"Łza\",\"\",1,1,+48600100200\nref=0\n"},
      {{"parts", "--report", "600100200", "a\r\nb\"c"},
       "19,0031000B918406100002F00000AD056190583406,\"a b%~c\",\"\",1,1,+48600100200\nref=0\n"},
      {{"parts", "--keep-crlf", "600100200", "a\r\nb"},
       "18,0011000B918406100002F00000AD04E186420C,\"a%nb\",\"\",1,1,+48600100200\nref=0\n"},
  };
  for (const auto& c : cases) {
    const Result r = Cli(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.back();
  }
}

TEST(CliParts, LongTextsUseAndAdvanceTheReference) {
  const Result r = Cli({"parts", "--ref", "255", "--merge", "2", "600100200", std::string(400, 'a')});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = e2e::Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].find(",0051000B918406100002F00000ADA0050003FF0201"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(",0051000B918406100002F00000ADA0050003FF0202"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(",0011000B918406100002F0"), std::string::npos) << lines[2];  // alone: no header
  EXPECT_NE(lines[0].find(",\"<01z02>aaa"), std::string::npos) << lines[0];
  EXPECT_NE(lines[2].find(",\"<02z02>aaa"), std::string::npos) << lines[2];
  EXPECT_EQ(lines[3], "ref=0");  // one group with a header: 255 wraps to 0

  const Result preview = Cli({"parts", "--preview", "--ref", "7", "600100200", std::string(400, 'a')});
  EXPECT_NE(preview.out.find("0050003000301"), std::string::npos);  // scratch reference 0
  EXPECT_TRUE(preview.out.ends_with("ref=7\n"));
}

TEST(CliParts, RefusesWhatItCannotSend) {
  const Result blank = Cli({"parts", "--ref", "9", "600100200", " \r\n "});
  EXPECT_EQ(blank.status, 1);
  EXPECT_EQ(blank.out, "ref=9\n");
  EXPECT_EQ(blank.err, "talvane-cli parts: Brak wiadomości do wysłania!\n");
  EXPECT_EQ(Cli({"parts", "--merge", "300", "1", "x"}).status, 2);
  EXPECT_EQ(Cli({"parts", "--ref", "256", "1", "x"}).status, 2);
  EXPECT_EQ(Cli({"parts", "only-a-number"}).status, 2);
  // A number is refused before anything is prepared: letters, too short, too long.
  for (const std::string& number : std::vector<std::string>{"60010020O", "60010020", std::string(300, '1')}) {
    const Result refused = Cli({"parts", number, "x"});
    EXPECT_EQ(refused.status, 2) << number;
    EXPECT_TRUE(refused.out.empty()) << number;
    EXPECT_TRUE(refused.err.starts_with("talvane-cli parts: '" + number + "' is not a phone number: ")) << refused.err;
  }
  const Result international = Cli({"parts", "0049 170 1234567", "x"});
  EXPECT_EQ(international.status, 0) << international.err;
  EXPECT_NE(international.out.find(",+491701234567\n"), std::string::npos) << international.out;
}

// A received message, and a status report with its outcome at the top.
// Each time is shown once, as the service centre stated it, with its zone.
TEST(CliDecode, PrintsOneJsonObject) {
  const struct {
    std::string pdu;
    std::string json;
  } cases[] = {
      {"07911326040000F0040B911346610089F60000208062917314800CC8F71D14969741F977FD07",
       "{\"text\": \"How are you?\", \"sender\": \"+31641600986\", \"timestamp\": \"2002-08-26 19:37:41+02:00\", "
       "\"udh\": {\"ref\": -1, \"total\": -1, \"seq\": -1}, \"pdu\": {\"kind\": 0, \"smsc\": \"31624000000\", "
       "\"address\": \"31641600986\", \"reference\": 0, \"status\": 0, \"pid\": 0, \"dcs\": 0, "
       "\"text\": \"How are you?\"}}\n"},
      // Reference 0x2A to +48123456789, delivered (status 0) an hour after the
      // service centre took it, at UTC+2; the delivery stated at UTC-01:30.
      {"0006" "2A" "0B918421436587F9" "20806291731480" "20806202831468" "00",
       "{\"recipient\": \"48123456789\", \"reference\": 42, \"status\": 0, "
       "\"discharge\": \"2002-08-26 20:38:41-01:30\", \"timestamp\": \"2002-08-26 19:37:41+02:00\", "
       "\"pdu\": {\"kind\": 2, \"smsc\": \"\", \"address\": \"48123456789\", \"reference\": 42, "
       "\"status\": 0, \"pid\": 0, \"dcs\": 0, \"text\": \"\"}}\n"},
      // A message stated in UTC.
      {"00040B918421436587F9000042305041709000" "0BC8F71D14969741F977FD07",
       "{\"text\": \"How are you\", \"sender\": \"+48123456789\", \"timestamp\": \"2024-03-05 14:07:09+00:00\", "
       "\"udh\": {\"ref\": -1, \"total\": -1, \"seq\": -1}, \"pdu\": {\"kind\": 0, \"smsc\": \"\", "
       "\"address\": \"48123456789\", \"reference\": 0, \"status\": 0, \"pid\": 0, \"dcs\": 0, "
       "\"text\": \"How are you\"}}\n"},
  };
  for (const auto& c : cases) {
    const Result r = Cli({"decode", c.pdu});
    EXPECT_EQ(r.status, 0) << c.pdu;
    EXPECT_EQ(r.err, "") << c.pdu;
    EXPECT_EQ(r.out, c.json);
  }
}

TEST(CliDecode, ReportsUnreadablePdusAndStillAnswers) {
  const Result r = Cli({"decode", "zz\"\\"});
  EXPECT_EQ(r.status, 1);
  // Said once, though every decoder trips over it.
  EXPECT_EQ(r.err, "talvane-cli decode: the PDU cannot be read: PDU ERROR (SMSCLen): zz\"\\\n");
  EXPECT_TRUE(r.out.starts_with("{\"text\": \"(Decoding Error)\", \"sender\": \"\", \"timestamp\": \"0000-00-00 00:00:00\""))
      << r.out;
  // A concatenated part with CR LF in its text.
  const Result part = Cli({"decode", "00440B918421436587F900002080629173148010050003" "2A0302" "C3303C0D0A0203"});
  EXPECT_NE(part.out.find("\"udh\": {\"ref\": 42, \"total\": 3, \"seq\": 2}"), std::string::npos) << part.out;
}

TEST(CliDecode, ReadsWhatModemsAndOperatorsSend) {
  struct Case {
    const char* name;
    std::string pdu;
    std::string expected;  // a piece of the output
  } cases[] = {
      // "Orange" as an alphanumeric originator, in both addresses.
      {"alphanumeric sender", "00040BD04F79D87D2E030000208062917314800CC8F71D14969741F977FD07",
       "\"sender\": \"Orange\""},
      {"alphanumeric address", "00040BD04F79D87D2E030000208062917314800CC8F71D14969741F977FD07",
       "\"address\": \"Orange\""},
      {"lower case", "07911326040000f0040b911346610089f60000208062917314800cc8f71d14969741f977fd07",
       "{\"text\": \"How are you?\", \"sender\": \"+31641600986\""},
      // An operator's notice: the F group with bit 2 clear is 7-bit.
      {"F group", "00040B918421436587F900FB42305041709000" "1DB15CEC868BC9663018080402816432DD0C060281A4412A159904",
       "{\"text\": \"1917812300     22:30   RATTHI\""},
      {"16-bit reference", "00440B918421436587F9000042305041709000" "0A060804ABCD0302C834",
       "\"udh\": {\"ref\": 43981, \"total\": 3, \"seq\": 2}"},
  };
  for (const auto& c : cases) {
    const Result r = Cli({"decode", c.pdu});
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_NE(r.out.find(c.expected), std::string::npos) << c.name << ": " << r.out;
  }
  // One PDU, no more and no less.
  EXPECT_EQ(Cli({"decode"}).status, 2);
  EXPECT_EQ(Cli({"decode", "00", "00"}).status, 2);
  const Result help = Cli({"decode", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: talvane-cli decode PDU")) << help.out;
}

}  // namespace
