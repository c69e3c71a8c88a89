// Received messages and status reports against the simulated modem: stored
// and listed, delivered directly, read, reported; concatenated, tagged,
// secret and question messages; broken and repeated PDUs.

#include "modem/incoming_test_fixture.h"
#include "modem/secret_text.h"
#include "platform/codepage.h"
#include "sms/sms_decoder.h"
#include "tools/modemsim/incoming_pdus.h"

namespace modem {
namespace {

const Texts kIdleListings = {"AT+CPMS=\"ME\"", "AT+CMGL=0", "AT+CPMS=\"SM\"", "AT+CMGL=0"};
const Texts kAnswerListings = {"AT+CPMS=\"SM\"", "AT+CMGL=0", "AT+CPMS=\"ME\"", "AT+CMGL=0"};

TEST_F(IncomingTest, StoredMessageWhileIdleIsListedFromBothMemoriesAndWarnsOfAFullMemory) {
  const std::string pdu = GammuPdu("+48600100200", "Hello");
  sim.WithModem([](modemsim::AtInterpreter& m) { m.SetMemoryCapacity("ME", 10); });
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  EXPECT_EQ(gsm.SMSPhoneCapacity(), 10);
  const size_t before = sim.Commands().size();
  sim.ReceiveMessage(pdu);  // "+CMTI: "SM",1"
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty(); }));
  EXPECT_EQ(CommandsFrom(before), kIdleListings);
  ASSERT_EQ(messages.size(), 1u);
  const NewSms& sms = messages[0];
  EXPECT_EQ(sms.event, "OnNewSMS");
  EXPECT_EQ(sms.pdu, pdu);
  EXPECT_EQ(sms.text, "Hello");
  EXPECT_EQ(sms.telNr, "+48600100200");
  EXPECT_EQ(sms.recipient, "");
  EXPECT_FALSE(sms.isUdh);
  EXPECT_EQ(sms.info.aRef, -1);
  EXPECT_EQ(sms.timeStamp, GammuTimeStamp());
  EXPECT_FALSE(sms.statusReport);
  // The index 1 lies within the last ten places of a phone memory of 10.
  EXPECT_EQ(Count("OnSMSMemoryFull"), 1);
  EXPECT_LT(Find("OnSMSMemoryFull"), Find("OnNewSMS"));
  EXPECT_GE(Find("OnAfterComRx", "[ NOWY SMS ]"), 0);
}

TEST_F(IncomingTest, NoMemoryWarningWhileTheCapacityIsRoomyOrUnknown) {
  const std::string pdu = GammuPdu("+48600100200", "Hello");
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  EXPECT_EQ(gsm.SMSPhoneCapacity(), 100);
  sim.ReceiveMessage(pdu);
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  EXPECT_EQ(Count("OnSMSMemoryFull"), 0);
}

TEST_F(IncomingTest, ListingWithDeleteAfterReadRaisesEachMessageThenDeletesInReverseOrder) {
  const auto pdus = GammuDeliver({{"+48600100200", "First"}, {"+48600100300", "Second"}, {"600100400", "Third"}});
  sim.WithModem([&](modemsim::AtInterpreter& m) {
    for (const auto& parts : pdus) m.StoreMessage("SM", {0, parts.at(0)});
  });
  gsm.SetGetUnreaded(true);
  gsm.SetDeleteSMSafterRead(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  ASSERT_TRUE(WaitForMessages(3)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty(); }));
  Texts texts;
  for (const NewSms& sms : messages) texts.push_back(sms.telNr + " " + sms.text);
  EXPECT_EQ(texts, (Texts{"+48600100200 First", "+48600100300 Second", "600100400 Third"}));
  const Texts commands = sim.Commands();
  const auto listing = std::find(commands.begin(), commands.end(), "AT+CMGL=0");
  ASSERT_NE(listing, commands.end());
  EXPECT_EQ(Texts(listing, listing + 6),
            (Texts{"AT+CMGL=0", "AT+CMGD=3", "AT+CMGD=2", "AT+CMGD=1", "AT+CPMS=\"ME\"", "AT+CMGL=0"}));
  EXPECT_TRUE(sim.WithModem([](modemsim::AtInterpreter& m) { return m.Messages("SM").empty(); }));
}

TEST_F(IncomingTest, DirectlyDeliveredMessageIsRaisedAndAcknowledged) {
  const std::string pdu = GammuPdu("+48600100200", "Hello");
  gsm.SetDisableAutoRxSMS(false);  // AT+CNMI=2,2,...: messages come with "+CMT:"
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const size_t before = sim.Commands().size();
  sim.ReceiveMessage(pdu);
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty() && !CommandsFrom(before).empty(); }));
  EXPECT_EQ(CommandsFrom(before), Texts{"AT"});
  EXPECT_EQ(messages.at(0).text, "Hello");
  EXPECT_TRUE(sim.WithModem([](modemsim::AtInterpreter& m) { return m.Messages("SM").empty(); }));  // never stored
}

TEST_F(IncomingTest, EveryPartOfALongMessageDeliveredAtOnceIsRaised) {
  const std::string text(400, 'x');
  const auto parts = GammuDeliver({{"+48600100200", text}}).at(0);
  ASSERT_EQ(parts.size(), 3u);
  gsm.SetDisableAutoRxSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // The modem passes the three parts on in one burst: one text for the engine.
  std::string burst;
  for (const std::string& pdu : parts) {
    burst += "+CMT: ," + std::to_string(modemsim::TpduLength(pdu)) + "\n" + pdu + "\n";
  }
  sim.SendUnsolicited(burst);
  ASSERT_TRUE(WaitForMessages(3)) << Dump();
  std::string joined;
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(messages[i].isUdh);
    EXPECT_EQ(messages[i].info.aRef, messages[0].info.aRef);
    EXPECT_EQ(messages[i].info.aTot, 3);
    EXPECT_EQ(messages[i].info.aNum, static_cast<int>(i) + 1);
    joined += messages[i].text;
  }
  EXPECT_EQ(joined, text);
}

TEST_F(IncomingTest, IndicationInsideACommandAnswerQueuesTheListingsAtTheTailSimFirst) {
  const std::string pdu = GammuPdu("+48600100200", "Inside");
  sim.WithModem([&](modemsim::AtInterpreter& m) { m.StoreMessage("SM", {0, pdu}); });
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.InjectIntoAnswer("AT+CSQ", "+CMTI: \"SM\",1");
  const size_t before = sim.Commands().size();
  gsm.SetATCommand("AT+CSQ");
  gsm.SetATCommand("AT+CBC");
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty(); }));
  Texts expected = {"AT+CSQ", "AT+CBC"};
  expected.insert(expected.end(), kAnswerListings.begin(), kAnswerListings.end());
  EXPECT_EQ(CommandsFrom(before), expected);
  EXPECT_EQ(messages.at(0).text, "Inside");
}

TEST_F(IncomingTest, ReadMessageIsRaisedAndDeletedRightAfterItsCommand) {
  const std::string pdu = GammuPdu("+48600100200", "Read me");
  sim.WithModem([&](modemsim::AtInterpreter& m) { m.StoreMessage("SM", {0, pdu}); });
  gsm.SetDeleteSMSafterRead(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  const size_t before = sim.Commands().size();
  gsm.SetATCommand("AT+CPMS=\"SM\"");
  gsm.SetATCommand("AT+CMGR=1");
  gsm.SetATCommand("AT+CGMI");
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  ASSERT_TRUE(WaitFor([&] { return QueueEmpty() && CommandsFrom(before).size() >= 4; }));
  EXPECT_EQ(CommandsFrom(before), (Texts{"AT+CPMS=\"SM\"", "AT+CMGR=1", "AT+CMGD=1", "AT+CGMI"}));
  EXPECT_TRUE(sim.WithModem([](modemsim::AtInterpreter& m) { return m.Messages("SM").empty(); }));
  EXPECT_EQ(messages.at(0).text, "Read me");
}

TEST_F(IncomingTest, StatusReportOfASentMessage) {
  ASSERT_TRUE(SendWantingAReport(12)) << Dump();
  EXPECT_EQ(sim.WithModem([](modemsim::AtInterpreter& m) { return m.ReportsWanted(); }), std::vector<int>{12});
  ASSERT_TRUE(sim.SendStatusReport(12, 0));
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  const NewSms& report = messages[0];
  EXPECT_EQ(report.event, "OnNewSMS");
  EXPECT_TRUE(report.statusReport);
  EXPECT_EQ(report.text, "Status REPORT ");
  EXPECT_EQ(report.telNr, "48600100200");  // the recipient of the reported message
  EXPECT_FALSE(report.isUdh);
  EXPECT_EQ(report.info.aRef, 12);
  EXPECT_EQ(report.info.Delivered, 1);
  EXPECT_EQ(report.info.Status, 0);
  EXPECT_FALSE(report.timeStamp.empty());

  // A message the network gave up on (status 0x46): not delivered.
  ASSERT_TRUE(sim.SendStatusReport(13, 0x46, "+48600100200"));
  ASSERT_TRUE(WaitForMessages(2)) << Dump();
  EXPECT_EQ(messages[1].info.aRef, 13);
  EXPECT_EQ(messages[1].info.Delivered, 0);
  EXPECT_EQ(messages[1].info.Status, 0x46);
}

TEST_F(IncomingTest, TextPrefixConcatenatesPartsFromOneSender) {
  const auto pdus = GammuDeliver({{"+48600100200", "(01z03)Hello"},
                                  {"+48600100200", "(02z03) there"},
                                  {"+48600100200", "(03z03) friend"},
                                  {"+48500600700", "(01z03)Other"},
                                  {"+48600100200", "(1z3) not a prefix"}});
  gsm.SetDisableAutoRxSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  for (size_t i = 0; i < pdus.size(); ++i) {
    sim.ReceiveMessage(pdus[i].at(0));
    ASSERT_TRUE(WaitForMessages(i + 1)) << Dump();
  }
  struct Expected {
    std::string text;
    bool isUdh;
    int ref, tot, num;
  } expected[] = {
      // 4860 + 0100 + 200 + the exclusive or of the digits' codes (57) + 3 parts
      {"Hello", true, 5220, 3, 1},
      {" there", true, 5220, 3, 2},
      {" friend", true, 5220, 3, 3},
      {"Other", true, 6209, 3, 1},
      {"(1z3) not a prefix", false, -1, -1, -1},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(messages[i].text, expected[i].text) << i;
    EXPECT_EQ(messages[i].isUdh, expected[i].isUdh) << i;
    EXPECT_EQ(messages[i].info.aRef, expected[i].ref) << i;
    EXPECT_EQ(messages[i].info.aTot, expected[i].tot) << i;
    EXPECT_EQ(messages[i].info.aNum, expected[i].num) << i;
  }
}

TEST_F(IncomingTest, RecipientTagIsResolvedAndTakenOutOfTheText) {
  const auto pdus = GammuDeliver({{"+48600100200", "Hi =Sales,Support,Team.there"},
                                  {"+48600100200", "=@Desk?.Hello"},
                                  {"+48600100200", "Nobody.knows"}});
  gsm.SetRecipientsTable({"Sales", "Support"});
  gsm.SetRecipientsGroups({"Team"});
  gsm.SetDisableAutoRxSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  for (size_t i = 0; i < pdus.size(); ++i) {
    sim.ReceiveMessage(pdus[i].at(0));
    ASSERT_TRUE(WaitForMessages(i + 1)) << Dump();
  }
  EXPECT_EQ(messages[0].recipient, "system#sales;support#team");
  EXPECT_EQ(messages[0].text, "thereHi ");
  EXPECT_EQ(messages[1].recipient, "email#desk##?");
  EXPECT_EQ(messages[1].text, "Hello");
  EXPECT_EQ(messages[2].recipient, "");
  EXPECT_EQ(messages[2].text, "Nobody.knows");
}

TEST_F(IncomingTest, SecretMessageRaisesOnlyOnSecretSmsWithItsText) {
  // The frame of a message to this program: "55" ... "AA".
  const std::string sent = SecretMessageText("Spotkanie o 12", "1234");
  const std::string secret = "55" + sent.substr(2, sent.size() - 4) + "AA";
  const auto pdus = GammuDeliver({{"+48600100200", secret}, {"+48600100200", "55not scrambledAA"}});
  gsm.SetDisableAutoRxSMS(false);
  gsm.SetPromoQuestions({""});  // would match any text
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  for (size_t i = 0; i < pdus.size(); ++i) {
    sim.ReceiveMessage(pdus[i].at(0));
    ASSERT_TRUE(WaitForMessages(i + 1)) << Dump();
  }
  EXPECT_EQ(messages[0].event, "OnSecretSMS");
  EXPECT_EQ(messages[0].text, "1234Spotkanie o 12");  // the PIN travels in front of the text
  EXPECT_EQ(messages[0].telNr, "+48600100200");
  EXPECT_EQ(messages[1].event, "OnSecretSMS");
  EXPECT_EQ(messages[1].text, "Decoding ERROR");
  EXPECT_EQ(Count("OnNewSMS") + Count("OnNewQuestion"), 0);
}

TEST_F(IncomingTest, QuestionPrefixInAnyCaseRaisesOnNewQuestion) {
  const auto pdus = GammuDeliver({{"+48600100200", "quiz: answer B"}, {"+48600100200", "Lotto 5"},
                                  {"+48600100200", "Qui"}});
  gsm.SetPromoQuestions({"QUIZ", "LOTTO"});
  gsm.SetDisableAutoRxSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  for (size_t i = 0; i < pdus.size(); ++i) {
    sim.ReceiveMessage(pdus[i].at(0));
    ASSERT_TRUE(WaitForMessages(i + 1)) << Dump();
  }
  EXPECT_EQ(messages[0].event, "OnNewQuestion");
  EXPECT_EQ(messages[0].question, "QUIZ");
  EXPECT_EQ(messages[0].text, "quiz: answer B");
  EXPECT_EQ(messages[0].telNr, "+48600100200");
  EXPECT_EQ(messages[1].event, "OnNewQuestion");
  EXPECT_EQ(messages[1].question, "LOTTO");
  EXPECT_EQ(messages[2].event, "OnNewSMS");  // shorter than the question
}

TEST_F(IncomingTest, DisabledIncomingMessagesIgnoresIndicationsButNotReportsAndRings) {
  gsm.SetDisableIncomingSMS(true);
  const std::string pdu = GammuPdu("+48600100200", "Ignored");
  std::tm sent{};
  sent.tm_year = 124, sent.tm_mon = 2, sent.tm_mday = 5, sent.tm_hour = 14, sent.tm_min = 7;
  const std::string report = modemsim::StatusReportPdu(7, modemsim::AddressField("+48600100200"), 0, sent, sent);
  sim.WithModem([&](modemsim::AtInterpreter& m) { m.StoreMessage("SM", {0, pdu}); });
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  EXPECT_EQ(sim.CountCommands("AT+CNMI=2"), 0);  // the modem is not asked to pass messages on
  const size_t before = sim.Commands().size();
  sim.SendUnsolicited("+CMTI: \"SM\",1");
  ASSERT_TRUE(WaitForEvent("OnAfterComRx", "+CMTI:")) << Dump();
  sim.SendUnsolicited("+CMT: ," + std::to_string(modemsim::TpduLength(pdu)) + "\n" + pdu);
  ASSERT_TRUE(WaitForEvent("OnAfterComRx", "+CMT:")) << Dump();
  sim.SendUnsolicited("+CDS: " + std::to_string(modemsim::TpduLength(report)) + "\n" + report);
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  sim.Ring("+48600100200");
  ASSERT_TRUE(WaitForEvent("OnRing")) << Dump();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(CommandsFrom(before), Texts{"AT+CGMI"});  // no listing, no acknowledgement
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].statusReport);
  EXPECT_EQ(messages[0].info.aRef, 7);
}

TEST_F(IncomingTest, BrokenPduLinesAreReportedAndSkipped) {
  const auto pdus = GammuDeliver({{"+48600100200", "Good one"}, {"+48600100200", "Good two"}});
  const std::string good1 = pdus.at(0).at(0), good2 = pdus.at(1).at(0);
  const std::string cut = good2.substr(0, good2.size() - 6);
  gsm.SetDisableAutoRxSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  // Garbage, a PDU cut short, a header whose PDU line is missing, then a
  // good message: only the good one is raised.
  sim.SendUnsolicited("+CMT: ,24\nNOT A PDU AT ALL\n+CMT: ," + std::to_string(modemsim::TpduLength(good2)) + "\n" +
                      cut + "\n+CMT: ,20\n+CMT: ," + std::to_string(modemsim::TpduLength(good1)) + "\n" + good1);
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  ASSERT_TRUE(Settle());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Good one");
  EXPECT_EQ(Count("OnQuietError") - 1, 3) << Dump();  // the first is the connection's "OK"
  EXPECT_GE(Find("OnQuietError", "Thread (+CMT:) ERROR: not a PDU (not hexadecimal): NOT A PDU AT ALL"), 0);
  EXPECT_GE(Find("OnQuietError", "Thread (+CMT:) ERROR: not a PDU (cut short"), 0);
  // No message box: what the modem sent is reported, not shown.
  EXPECT_TRUE(misuses.empty());
}

TEST_F(IncomingTest, ListingSkipsBrokenEntriesAndKeepsThemInTheModem) {
  const auto pdus = GammuDeliver({{"+48600100200", "One"}, {"+48600100200", "Three"}});
  sim.WithModem([&](modemsim::AtInterpreter& m) {
    m.StoreMessage("SM", {0, pdus.at(0).at(0)});
    m.StoreMessage("SM", {0, "0791GARBAGE"});
    m.StoreMessage("SM", {0, pdus.at(1).at(0)});
  });
  gsm.SetGetUnreaded(true);
  gsm.SetDeleteSMSafterRead(true);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  ASSERT_TRUE(WaitForMessages(2)) << Dump();
  ASSERT_TRUE(Settle());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "One");
  EXPECT_EQ(messages[1].text, "Three");
  EXPECT_GE(Find("OnQuietError", "Thread (+CMGL:) ERROR: not a PDU"), 0);
  EXPECT_EQ(sim.CountCommands("AT+CMGD=2"), 0);
  const auto left = sim.WithModem([](modemsim::AtInterpreter& m) { return m.Messages("SM"); });
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left.begin()->first, 2);
}

TEST_F(IncomingTest, AMessageTheModemRepeatsIsRaisedOnce) {
  const std::string pdu = GammuPdu("+48600100200", "Once");
  gsm.SetDisableAutoRxSMS(false);
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  sim.ReceiveMessage(pdu);
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  sim.ReceiveMessage(pdu);
  ASSERT_TRUE(WaitForEvent("OnQuietError", "delivered before")) << Dump();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(IncomingTest, AMessageSentAsSecretIsReadBackToItsText) {
  ASSERT_TRUE(ConnectAndSettle()) << Dump();
  gsm.SetEncodeSMS(true);
  gsm.SetEncodePIN("4321");
  gsm.SetSMSNumber("+48600100200");
  gsm.SetSMSText(platform::Utf8ToAnsi("Zażółć, jutro o 9"));
  ASSERT_EQ(gsm.SendSMS(), 1);
  ASSERT_TRUE(WaitForEvent("OnAfterSend")) << Dump();
  // The text as it travelled, read from the part the modem got; the other
  // side answers in the frame of messages to this program.
  sms::TSMS submitted;
  submitted.ParsePDU(sim.Pdus().at(0));
  const std::string travelled = platform::UnicodeToAnsi(submitted.GetText());
  ASSERT_TRUE(travelled.starts_with("66") && travelled.ends_with("BB")) << travelled;
  sim.ReceiveMessage(GammuPdu("+48600100200", "55" + travelled.substr(2, travelled.size() - 4) + "AA"));
  ASSERT_TRUE(WaitForMessages(1)) << Dump();
  EXPECT_EQ(messages[0].event, "OnSecretSMS");
  EXPECT_EQ(platform::AnsiToUtf8(messages[0].text), "4321Zażółć, jutro o 9");
}

}  // namespace
}  // namespace modem
