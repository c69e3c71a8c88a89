// Received messages and status reports against an independent SMS coder:
// python3-gammu makes the messages the simulated modem hands to the
// component, and reads the status reports the simulated modem makes; the
// component's events must say what gammu says.

#include <gtest/gtest.h>

#include <sstream>

#include "modem/incoming_test_fixture.h"
#include "platform/codepage.h"
#include "tests/cli_programs.h"
#include "tools/modemsim/at_interpreter.h"

namespace modem {
namespace {

struct GammuView {  // one PDU as gammu reads it
  std::string type, number, text;
  int udhReference = -1, udhPart = -1, udhAll = -1, reference = -1, status = -1;
  std::string dateTime;
};

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Reads PDUs with tests/testdata/gammu_oracle.py.
std::vector<GammuView> GammuRead(const std::vector<std::string>& pdus) {
  std::string input;
  for (const std::string& pdu : pdus) input += pdu + "\n";
  const e2e::Result read = e2e::RunProgram(
      {TALVANE_PYTHON, std::string(TALVANE_SOURCE_DIR) + "/tests/testdata/gammu_oracle.py", "decode"},
      e2e::Streams::Merged, input);
  EXPECT_EQ(read.status, 0) << read.out;
  std::istringstream out(read.out);
  std::vector<GammuView> views;
  for (std::string line; std::getline(out, line);) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() < 12) {
      ADD_FAILURE() << "gammu: " << line;
      continue;
    }
    views.push_back({f[0], f[1], FromHex(f[7]), std::stoi(f[4]), std::stoi(f[5]), std::stoi(f[6]), std::stoi(f[8]),
                     std::stoi(f[9]), f[10]});
  }
  return views;
}

// "2024-03-05 14:07:09" as the component shows a time stamp.
std::string AsShown(const std::string& dateTime) {
  platform::CalendarTime time;
  std::sscanf(dateTime.c_str(), "%d-%d-%d %d:%d:%d", &time.year, &time.month, &time.day, &time.hour, &time.minute,
              &time.second);
  return platform::FormatDateTime(time);
}

TEST_F(IncomingTest, TheComponentReadsTheMessagesGammuMakes) {
  const std::vector<GammuMessage> sent = {
      {"+48600100200", "How are you? @"},
      {"600100200", "Brackets [x] {y} ~|^\\ and 5€"},
      {"Bank", "From a name"},
      {"+48600100200", "Zażółć gęślą jaźń", true},
      {"+48600100300", std::string(300, 'a') + "end"},
      {"+48600100400", "Łódź " + std::string(150, 'x'), true},
  };
  const auto pdus = GammuDeliver(sent);
  std::vector<std::string> all;
  for (const auto& parts : pdus) all.insert(all.end(), parts.begin(), parts.end());
  ASSERT_GE(all.size(), sent.size() + 3);
  const std::vector<GammuView> gammu = GammuRead(all);
  ASSERT_EQ(gammu.size(), all.size());

  gsm.SetDisableAutoRxSMS(false);  // passed on with "+CMT:"
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  for (size_t i = 0; i < all.size(); ++i) {
    sim.ReceiveMessage(all[i]);
    ASSERT_TRUE(WaitForMessages(i + 1)) << Dump();
  }
  size_t i = 0;
  for (size_t m = 0; m < pdus.size(); ++m) {
    std::string joined;
    for (size_t p = 0; p < pdus[m].size(); ++p, ++i) {
      const NewSms& sms = messages[i];
      const GammuView& view = gammu[i];
      ASSERT_EQ(view.type, "Deliver");
      EXPECT_EQ(sms.pdu, all[i]);
      EXPECT_EQ(platform::AnsiToUtf8(sms.text), view.text) << all[i];
      EXPECT_EQ(sms.telNr, view.number) << all[i];
      EXPECT_EQ(sms.isUdh, view.udhPart != -1) << all[i];
      EXPECT_EQ(sms.info.aRef, view.udhReference) << all[i];
      EXPECT_EQ(sms.info.aTot, view.udhAll) << all[i];
      EXPECT_EQ(sms.info.aNum, view.udhPart) << all[i];
      EXPECT_EQ(sms.timeStamp, AsShown(view.dateTime)) << all[i];
      joined += platform::AnsiToUtf8(sms.text);
    }
    EXPECT_EQ(joined, sent[m].utf8Text);
  }
}

TEST_F(IncomingTest, GammuReadsTheStatusReportsTheModemMakes) {
  ASSERT_TRUE(SendWantingAReport(200)) << Dump();
  ASSERT_TRUE(sim.SendStatusReport(200, 0));
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  ASSERT_TRUE(sim.SendStatusReport(17, 0x46, "600100300"));  // national, given up
  ASSERT_TRUE(WaitForMessages(2)) << Dump();

  const std::vector<GammuView> gammu = GammuRead({messages[0].pdu, messages[1].pdu});
  ASSERT_EQ(gammu.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const NewSms& report = messages[i];
    EXPECT_EQ(gammu[i].type, "Status_Report");
    EXPECT_TRUE(report.statusReport);
    EXPECT_EQ(report.info.aRef, gammu[i].reference);
    EXPECT_EQ(report.info.Status, gammu[i].status);
    EXPECT_EQ(report.info.Delivered, gammu[i].status <= 2 ? 1 : 0);
  }
  EXPECT_EQ(gammu[0].number, "+48600100200");  // the number the message went to
  EXPECT_EQ(messages[0].telNr, "48600100200");
  EXPECT_EQ(gammu[1].number, "600100300");
  EXPECT_EQ(messages[1].telNr, "600100300");
  EXPECT_EQ(gammu[0].reference, 200);
  EXPECT_EQ(gammu[1].status, 0x46);
}

}  // namespace
}  // namespace modem
