// The campaign's write-ahead record in a real journal file: what the modem's
// reports and a resumed campaign leave in it.

#include "app/core/campaign_recorder.h"

#include <gtest/gtest.h>

#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"
#include "sms/sms_encoder.h"

namespace app {
namespace {

using journal::TMessageState;
using journal::TPartState;

modem::TRecipient Recipient(int row) {
  const std::string number = "60010020" + std::to_string(row - 1);
  modem::TRecipient recipient;
  recipient.row = row;
  recipient.number = number;
  recipient.numberRead = number;
  recipient.destination = "+48" + number;
  return recipient;
}

// Part `partNo` of `parts` as the engine queues it; a part of a longer
// message carries the concatenation reference `concat` in its header.
modem::TQueuedPart Part(const modem::TRecipient& recipient, int partNo, int parts, int concat = 0) {
  sms::TSMSD pdu;
  pdu.SetNumber(recipient.destination);
  pdu.SetText(u"Promocja");
  if (parts > 1) {
    char udh[16];
    std::snprintf(udh, sizeof udh, "050003%02X%02X%02X", concat, parts, partNo);
    pdu.SetUDH(udh);
  }
  modem::TQueuedPart part;
  part.recipient = recipient;
  part.partNumber = partNo;
  part.totalParts = parts;
  part.pdu = pdu.EncodePDU();
  return part;
}

modem::TPartReport Report(const modem::TQueuedPart& part, bool sent, bool uncertain = false) {
  modem::TPartReport report;
  report.part = part;
  report.sent = sent;
  report.reference = sent ? 30 + part.partNumber : -1;
  report.uncertain = uncertain;
  if (!sent) report.cause = "brak odpowiedzi";
  return report;
}

class CampaignRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto opened = journal::TSqliteJournal::Open(folder / "journal.sqlite");
    ASSERT_TRUE(opened) << platform::AnsiToUtf8(opened.Error().text);
    journal = std::move(*opened);
    recorder.Use(journal.get(), "/home/ola/lista.xls");
  }

  // Begins a campaign of rows 1..count.
  void Begin(int count) {
    std::vector<modem::TRecipient> recipients;
    for (int row = 1; row <= count; ++row) recipients.push_back(Recipient(row));
    ASSERT_TRUE(recorder.Begin({"Promocja", false, false}, recipients, "/home/ola/lista_out.xls"));
  }

  // Takes row `row` for `modem` and sends its part `partNo` of `parts` to the modem.
  modem::TQueuedPart Submit(int row, const std::string& modem, int partNo, int parts, int concat = 0) {
    if (partNo == 1) {
      EXPECT_EQ(recorder.Take(Recipient(row), modem), TCampaignRecorder::TTake::Taken);
    }
    const modem::TQueuedPart part = Part(Recipient(row), partNo, parts, concat);
    EXPECT_TRUE(recorder.AboutToSubmit(part));
    return part;
  }

  journal::TRecipientRecord Record(int row) {
    auto recipients = journal->Recipients(*recorder.Campaign());
    EXPECT_TRUE(recipients);
    return recipients ? (*recipients)[static_cast<size_t>(row - 1)] : journal::TRecipientRecord{};
  }

  platform::TestFolder folder;
  std::unique_ptr<journal::TSqliteJournal> journal;
  TCampaignRecorder recorder;
};

TEST_F(CampaignRecorderTest, APartWhoseAnswerWasLostLeavesItsMessageUncertainAndARefusedOneFailed) {
  Begin(2);
  recorder.Answer(Report(Submit(1, "IMEI-A", 1, 1), /*sent=*/false, /*uncertain=*/true));
  recorder.Answer(Report(Submit(2, "IMEI-A", 1, 1), /*sent=*/false));
  EXPECT_EQ(recorder.Failure(), "");

  const journal::TRecipientRecord doubtful = Record(1);
  EXPECT_EQ(doubtful.state, TMessageState::Uncertain);
  ASSERT_EQ(doubtful.partLog.size(), 1u);
  EXPECT_EQ(doubtful.partLog[0].state, TPartState::Uncertain);
  EXPECT_EQ(doubtful.partLog[0].modem, "IMEI-A");
  EXPECT_EQ(Record(2).state, TMessageState::Failed);
  EXPECT_EQ(Record(2).partLog[0].state, TPartState::Failed);
}

TEST_F(CampaignRecorderTest, AResumedMessageGoesOnWithItsReferenceAndOnlyThroughItsOwnModem) {
  Begin(2);
  // Part 1 of 2 answered, part 2 taken off the modem before it went: the
  // program ended there.
  recorder.Answer(Report(Submit(1, "IMEI-A", 1, 2, 42), /*sent=*/true));
  EXPECT_EQ(Record(1).concatReference, 42);
  const journal::TCampaignId id = *recorder.Campaign();

  TCampaignRecorder resumed;
  resumed.Use(journal.get(), "");
  TCampaignRecorder::TResumed from;
  ASSERT_TRUE(resumed.Resume(id, /*resendUncertain=*/false, from)) << resumed.Failure();
  EXPECT_EQ(from.recovery.resumed, 1);
  EXPECT_EQ(from.campaign.campaign.text, "Promocja");
  EXPECT_EQ(from.campaign.campaign.resultFile, "/home/ola/lista_out.xls");
  ASSERT_EQ(from.recipients.size(), 2u);

  EXPECT_EQ(resumed.BoundModem(1), "IMEI-A");
  EXPECT_FALSE(resumed.MayTake(1, "IMEI-B"));
  EXPECT_TRUE(resumed.MayTake(2, "IMEI-B"));
  EXPECT_EQ(resumed.Take(Recipient(2), "IMEI-B"), TCampaignRecorder::TTake::Taken);
  ASSERT_EQ(resumed.Take(Recipient(1), "IMEI-A"), TCampaignRecorder::TTake::Taken);
  modem::TOutgoingMessage message;
  resumed.ResumeParts(Recipient(1), message);
  EXPECT_EQ(message.concatReference, 42);
  EXPECT_EQ(message.partsDone, std::vector<int>{1});

  const modem::TQueuedPart rest = Part(Recipient(1), 2, 2, 42);
  ASSERT_TRUE(resumed.AboutToSubmit(rest));
  resumed.Answer(Report(rest, /*sent=*/true));
  EXPECT_EQ(Record(1).state, TMessageState::Sent);
  EXPECT_EQ(resumed.Failure(), "");
}

TEST_F(CampaignRecorderTest, ResumingAnUnknownCampaignIsRefusedWithTheReason) {
  TCampaignRecorder::TResumed from;
  EXPECT_FALSE(recorder.Resume(7, false, from));
  EXPECT_NE(recorder.Failure().find("7"), std::string::npos) << recorder.Failure();
  EXPECT_FALSE(recorder.Campaign());
}

}  // namespace
}  // namespace app
