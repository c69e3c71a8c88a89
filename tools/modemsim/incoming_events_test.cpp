// The network's side of the simulated modem: what it says, and when it says
// nothing, for status reports, rings and indicators.

#include <gtest/gtest.h>

#include "tools/modemsim/at_interpreter.h"
#include "tools/modemsim/incoming_pdus.h"

namespace modemsim {
namespace {

using Lines = std::vector<std::string>;

// SMS-SUBMIT to +48600100200 ("hello"), with and without TP-SRR.
const std::string kReportWanted = "0031000B918406100002F00000AA05E8329BFD06";
const std::string kNoReport = "0011000B918406100002F00000AA05E8329BFD06";

void Execute(AtInterpreter& modem, const std::string& line) { ASSERT_EQ(modem.ExecuteLine(line).final, "OK") << line; }

void Send(AtInterpreter& modem, const std::string& pdu) {
  ASSERT_TRUE(modem.ExecuteLine("AT+CMGS=" + std::to_string(TpduLength(pdu))).prompt);
  ASSERT_EQ(modem.Submit(pdu).final, "OK");
}

TEST(IncomingEvents, StatusReportOnlyForAMessageThatAskedForOne) {
  AtInterpreter modem;
  Execute(modem, "AT+CNMI=2,1,0,1,0");
  modem.SetNextReference(12);
  Send(modem, kNoReport);     // reference 12
  Send(modem, kReportWanted);  // reference 13
  EXPECT_EQ(modem.ReportsWanted(), std::vector<int>{13});
  EXPECT_TRUE(modem.StatusReport(12, 0).empty());

  const Lines report = modem.StatusReport(13, 0);
  ASSERT_EQ(report.size(), 2u);
  const std::string& pdu = report[1];
  EXPECT_EQ(report[0], "+CDS: " + std::to_string(TpduLength(pdu)));
  // SMSC, first octet 06, reference 0D, the recipient as sent, two time stamps, status.
  EXPECT_TRUE(pdu.starts_with("07918406010013F0" "06" "0D" "0B918406100002F0")) << pdu;
  EXPECT_TRUE(pdu.ends_with("00")) << pdu;
  EXPECT_EQ(pdu.size(), 16u + 2 + 2 + 16 + 14 + 14 + 2);
  EXPECT_TRUE(modem.ReportsWanted().empty());
  EXPECT_TRUE(modem.StatusReport(13, 0).empty());  // reported once

  // A report for a message sent before the modem was restarted.
  const Lines injected = modem.StatusReport(99, 0x46, "600100200");
  ASSERT_EQ(injected.size(), 2u);
  EXPECT_NE(injected[1].find("06" "63" "098106100002F0"), std::string::npos) << injected[1];
  EXPECT_TRUE(injected[1].ends_with("46"));
}

TEST(IncomingEvents, StatusReportsFollowTheIndicationMode) {
  AtInterpreter modem;
  modem.SetNextReference(5);
  Send(modem, kReportWanted);
  EXPECT_TRUE(modem.StatusReport(5, 0).empty());  // AT+CNMI ds 0: not routed
  Send(modem, kReportWanted);
  Execute(modem, "AT+CNMI=2,1,0,2,0");
  EXPECT_EQ(modem.StatusReport(6, 0), Lines{"+CDSI: \"SM\",1"});  // stored
  EXPECT_EQ(modem.Messages("SM").size(), 1u);
}

TEST(IncomingEvents, RingsWithCallerIdentificationUntilHungUp) {
  AtInterpreter modem;
  EXPECT_EQ(modem.Ring("+48600100200"), Lines{"RING"});
  Execute(modem, "AT+CLIP=1");
  EXPECT_EQ(modem.Ring("+48600100200"), (Lines{"RING", "", "+CLIP: \"+48600100200\",145,\"\",,\"\",0"}));
  EXPECT_EQ(modem.Ring("600100200"), (Lines{"RING", "", "+CLIP: \"600100200\",129,\"\",,\"\",0"}));
  EXPECT_EQ(modem.Ring(""), (Lines{"RING", "", "+CLIP: \"\",128,\"\",,\"\",1"}));
  EXPECT_TRUE(modem.CallRinging());
  Execute(modem, "ATH");
  EXPECT_FALSE(modem.CallRinging());
  Execute(modem, "AT+CHUP");  // no call left: nothing more to end
  modem.Ring("");
  Execute(modem, "AT+CHUP");
  EXPECT_EQ(modem.HangUps(), 2);
}

TEST(IncomingEvents, IndicatorsOnlyAfterTheModemWasAskedForThem) {
  AtInterpreter modem;
  EXPECT_TRUE(modem.Indicator(1, 1).empty());
  Execute(modem, "AT+CMER=2,0,0,0");
  EXPECT_TRUE(modem.Indicator(1, 1).empty());
  Execute(modem, "AT+CMER=2,0,0,2");
  EXPECT_EQ(modem.Indicator(1, 1), Lines{"+CIEV: 1,1"});
  Execute(modem, "AT&F");
  EXPECT_TRUE(modem.Indicator(3, 0).empty());
}

TEST(IncomingEvents, AddressFields) {
  EXPECT_EQ(AddressField("+48600100200"), "0B918406100002F0");
  EXPECT_EQ(AddressField("600100200"), "098106100002F0");
  EXPECT_EQ(AddressField("1234"), "04812143");
  EXPECT_EQ(DestinationField(kReportWanted), "0B918406100002F0");
  EXPECT_EQ(DestinationField("0031000B91"), "");  // cut short
  EXPECT_EQ(DestinationField("zz"), "");
}

}  // namespace
}  // namespace modemsim
