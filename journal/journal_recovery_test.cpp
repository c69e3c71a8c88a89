// Recovery across a closed store: what was recorded as submitting and never
// answered is uncertain when the journal is opened again, and stays out of
// the queue until the operator resends it.

#include <gtest/gtest.h>

#include "journal/journal_test_support.h"
#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

using testing::CreateOrFail;
using testing::OpenJournal;
using testing::SendPart;
using testing::TakeOrFail;

struct RecoveryFixture : ::testing::Test {
  platform::TestFolder folder;
  std::unique_ptr<TSqliteJournal> journal = OpenJournal(folder / "journal.sqlite");

  // The program ends without a word: the store closes, nothing more is recorded.
  void Reopen() {
    journal.reset();
    journal = OpenJournal(folder / "journal.sqlite");
    ASSERT_TRUE(journal);
  }
  TRecoveryReport RecoverOrFail(TCampaignId id) {
    auto report = journal->Recover(id);
    EXPECT_TRUE(report) << platform::AnsiToUtf8(report.Error().text);
    return report ? *report : TRecoveryReport{};
  }
  TRecipientRecord Recipient(TCampaignId id, size_t index) { return (*journal->Recipients(id))[index]; }
  bool NothingToTake(TCampaignId id, const std::string& modem) {
    auto job = journal->TakeNext(id, modem);
    return job && !job->has_value();
  }
};

TEST_F(RecoveryFixture, APartSubmittedWithoutAnswerMakesItsMessageUncertainAndNeverQueued) {
  const TCampaignId id = CreateOrFail(*journal, 2);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");
  ASSERT_TRUE(journal->RecordSubmitting({job.id, 1, 1, std::nullopt, "IMEI-A"}));
  Reopen();

  const TRecoveryReport report = RecoverOrFail(id);
  EXPECT_EQ(report.uncertain, 1);
  EXPECT_EQ(report.resumed, 0);
  const TRecipientRecord message = Recipient(id, 0);
  EXPECT_EQ(message.state, TMessageState::Uncertain);
  ASSERT_EQ(message.partLog.size(), 1u);
  EXPECT_EQ(message.partLog[0].state, TPartState::Uncertain);
  EXPECT_EQ(message.partLog[0].modem, "IMEI-A");
  EXPECT_EQ(journal->Summary(id)->uncertain, 1);

  // The queue goes on with the others; the uncertain one is not given out again,
  // not even after a second recovery.
  EXPECT_EQ(TakeOrFail(*journal, id, "IMEI-A").entry.row, 2);
  EXPECT_EQ(SendPart(*journal, job.id + 1, 1, 1, "IMEI-A"), TMessageState::Sent);
  EXPECT_EQ(RecoverOrFail(id).uncertain, 0);
  EXPECT_TRUE(NothingToTake(id, "IMEI-A"));
  EXPECT_TRUE(NothingToTake(id, "IMEI-B"));
  // A late answer to the part in doubt is refused: it belongs to a run that ended.
  EXPECT_EQ(journal->RecordAnswer({job.id, 1, true, 3, {}}).Error().fault, TJournalFault::Refused);

  // The operator's word puts it back, and it is sent afresh.
  EXPECT_EQ(*journal->ResendUncertain(id), 1);
  const TMessageJob again = TakeOrFail(*journal, id, "IMEI-B");
  EXPECT_EQ(again.id, job.id);
  EXPECT_EQ(again.parts, 0);
  EXPECT_TRUE(again.answered.empty());
  EXPECT_EQ(SendPart(*journal, again.id, 1, 1, "IMEI-B"), TMessageState::Sent);
  EXPECT_EQ(Recipient(id, 0).partLog.size(), 2u);  // the uncertain submission stays on record
  EXPECT_EQ(Recipient(id, 0).partLog[0].state, TPartState::Uncertain);
}

TEST_F(RecoveryFixture, AMessageWithItsFirstPartsConfirmedResumesWithTheRestOnTheSameModem) {
  const TCampaignId id = CreateOrFail(*journal, 2);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");
  SendPart(*journal, job.id, 1, 3, "IMEI-A", 42);
  ASSERT_TRUE(journal->RecordSubmitting({job.id, 2, 3, 42, "IMEI-A"}));
  ASSERT_TRUE(journal->RecordAnswer({job.id, 2, false, std::nullopt, "+CMS ERROR: 38"}));
  Reopen();

  const TRecoveryReport report = RecoverOrFail(id);
  EXPECT_EQ(report.resumed, 1);
  EXPECT_EQ(report.uncertain, 0);
  EXPECT_EQ(Recipient(id, 0).state, TMessageState::Queued);

  // Another modem may not continue it: the phone joins parts by the sender.
  EXPECT_EQ(TakeOrFail(*journal, id, "IMEI-B").entry.row, 2);
  EXPECT_TRUE(NothingToTake(id, "IMEI-B"));
  const TMessageJob resumed = TakeOrFail(*journal, id, "IMEI-A");
  EXPECT_EQ(resumed.id, job.id);
  EXPECT_EQ(resumed.parts, 3);
  EXPECT_EQ(resumed.concatReference, 42);
  EXPECT_EQ(resumed.answered, (std::vector<int>{1, 2}));
  // The remaining part completes it: failed, as part 2 was.
  EXPECT_EQ(SendPart(*journal, job.id, 3, 3, "IMEI-A", 42), TMessageState::Failed);
}

TEST_F(RecoveryFixture, ATakenMessageWithNothingSubmittedReturnsToTheQueueForAnyModem) {
  const TCampaignId id = CreateOrFail(*journal, 1);
  TakeOrFail(*journal, id, "IMEI-A");
  Reopen();
  EXPECT_EQ(RecoverOrFail(id).resumed, 1);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-B");
  EXPECT_EQ(job.parts, 0);
  EXPECT_EQ(SendPart(*journal, job.id, 1, 1, "IMEI-B"), TMessageState::Sent);
}

TEST_F(RecoveryFixture, AnUncertainPartOfALongMessageIsResentAloneWithTheSameConcatenation) {
  const TCampaignId id = CreateOrFail(*journal, 1);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");
  SendPart(*journal, job.id, 1, 2, "IMEI-A", 7);
  ASSERT_TRUE(journal->RecordSubmitting({job.id, 2, 2, 7, "IMEI-A"}));
  Reopen();
  EXPECT_EQ(RecoverOrFail(id).uncertain, 1);
  EXPECT_TRUE(NothingToTake(id, "IMEI-A"));

  EXPECT_EQ(*journal->ResendUncertain(id), 1);
  EXPECT_TRUE(NothingToTake(id, "IMEI-B"));
  const TMessageJob resumed = TakeOrFail(*journal, id, "IMEI-A");
  EXPECT_EQ(resumed.parts, 2);
  EXPECT_EQ(resumed.concatReference, 7);
  EXPECT_EQ(resumed.answered, std::vector<int>{1});
  EXPECT_EQ(SendPart(*journal, job.id, 2, 2, "IMEI-A", 7), TMessageState::Sent);
}

// Answers the part uncertain: its PDU went out, its answer was lost.
TMessageState AnswerUncertain(TCampaignJournal& journal, TRecipientId recipient, int partNo) {
  auto state = journal.RecordAnswer({recipient, partNo, false, std::nullopt, {}, /*uncertain=*/true});
  EXPECT_TRUE(state) << platform::AnsiToUtf8(state.Error().text);
  return state ? *state : TMessageState::Queued;
}

TEST_F(RecoveryFixture, APartAnsweredUncertainLeavesItsMessageUncertainEvenWithThePartsGivenUpAfterIt) {
  const TCampaignId id = CreateOrFail(*journal, 2);
  const TMessageJob doubtful = TakeOrFail(*journal, id, "IMEI-A");
  ASSERT_TRUE(journal->RecordSubmitting({doubtful.id, 1, 2, 7, "IMEI-A"}));
  // The message waits for its other part before it completes.
  EXPECT_EQ(AnswerUncertain(*journal, doubtful.id, 1), TMessageState::Sending);
  EXPECT_EQ(SendPart(*journal, doubtful.id, 2, 2, "IMEI-A", 7), TMessageState::Uncertain);
  EXPECT_EQ(Recipient(id, 0).partLog[0].state, TPartState::Uncertain);

  // The modem gives up the part after one in doubt: it is reported failed
  // without going out, and the message stays uncertain.
  const TMessageJob cut = TakeOrFail(*journal, id, "IMEI-A");
  ASSERT_TRUE(journal->RecordSubmitting({cut.id, 1, 2, 8, "IMEI-A"}));
  EXPECT_EQ(AnswerUncertain(*journal, cut.id, 1), TMessageState::Sending);
  ASSERT_TRUE(journal->RecordSubmitting({cut.id, 2, 2, 8, "IMEI-A"}));
  EXPECT_EQ(*journal->RecordAnswer({cut.id, 2, false, std::nullopt, platform::Utf8ToAnsi("nie wysłano")}),
            TMessageState::Uncertain);

  // Never queued again on its own; the operator's resend sends the parts in
  // doubt alone, and their new answers decide.
  EXPECT_EQ(RecoverOrFail(id).uncertain, 0);
  EXPECT_TRUE(NothingToTake(id, "IMEI-A"));
  EXPECT_EQ(*journal->ResendUncertain(id), 2);
  const TMessageJob resumed = TakeOrFail(*journal, id, "IMEI-A");
  EXPECT_EQ(resumed.id, doubtful.id);
  EXPECT_EQ(resumed.answered, std::vector<int>{2});
  EXPECT_EQ(SendPart(*journal, doubtful.id, 1, 2, "IMEI-A", 7), TMessageState::Sent);
}

TEST_F(RecoveryFixture, RecoveryTouchesOnlyItsOwnCampaignAndUnknownCampaignsAreRefused) {
  const TCampaignId first = CreateOrFail(*journal, 1);
  const TCampaignId second = CreateOrFail(*journal, 1);
  const TMessageJob a = TakeOrFail(*journal, first, "IMEI-A");
  const TMessageJob b = TakeOrFail(*journal, second, "IMEI-B");
  ASSERT_TRUE(journal->RecordSubmitting({a.id, 1, 1, std::nullopt, "IMEI-A"}));
  ASSERT_TRUE(journal->RecordSubmitting({b.id, 1, 1, std::nullopt, "IMEI-B"}));
  EXPECT_EQ(RecoverOrFail(first).uncertain, 1);
  EXPECT_EQ(Recipient(second, 0).state, TMessageState::Sending);
  EXPECT_EQ(*journal->RecordAnswer({b.id, 1, true, 1, {}}), TMessageState::Sent);
  EXPECT_EQ(journal->Recover(second + 1).Error().fault, TJournalFault::NotFound);
  EXPECT_EQ(journal->ResendUncertain(second + 1).Error().fault, TJournalFault::NotFound);
}

}  // namespace
}  // namespace journal
