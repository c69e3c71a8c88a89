#include "journal/sqlite_journal.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>

#include "journal/journal_schema.h"
#include "journal/journal_test_support.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

using testing::CreateOrFail;
using testing::OpenJournal;
using testing::SampleCampaign;
using testing::SendPart;
using testing::TakeOrFail;

constexpr TMillis kDay = 24LL * 60 * 60 * 1000;

struct JournalFixture : ::testing::Test {
  platform::TestFolder folder;
  TMillis now = 1'780'000'000'000;
  std::unique_ptr<TSqliteJournal> journal = Open();

  std::unique_ptr<TSqliteJournal> Open() {
    TSqliteJournalOptions options;
    options.clock = [this] { return now; };
    return OpenJournal(folder / "journal.sqlite", options);
  }

  // A query straight on the file, as an outside reader (sqlite3 on the
  // command line) would see it.
  std::string Query(const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2((folder / "journal.sqlite").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string result;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int columns, char** values, char**) {
          auto& text = *static_cast<std::string*>(out);
          for (int i = 0; i < columns; ++i) text += std::string(i ? "|" : "") + (values[i] ? values[i] : "NULL");
          text += "\n";
          return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    return result;
  }
};

TEST_F(JournalFixture, ANewJournalIsInWalModeAtTheCurrentVersion) {
  EXPECT_EQ(Query("PRAGMA journal_mode"), "wal\n");
  EXPECT_EQ(Query("PRAGMA user_version"), std::to_string(JournalSchemaVersion()) + "\n");
  // Opening it again migrates nothing and loses nothing.
  const TCampaignId id = CreateOrFail(*journal, 2);
  journal.reset();
  journal = Open();
  ASSERT_TRUE(journal);
  EXPECT_EQ(journal->Summary(id)->total, 2);
}

TEST(JournalSchema, AnEmptyFileBecomesAJournalAndEveryMigrationIsApplied) {
  platform::TestFolder folder;
  const auto file = folder / "journal.sqlite";
  { std::ofstream empty(file); }  // left by a program that died creating it
  auto journal = testing::OpenJournal(file);
  ASSERT_TRUE(journal);
  EXPECT_GE(JournalSchemaVersion(), 1);
  EXPECT_EQ(JournalMigrations().size(), static_cast<size_t>(JournalSchemaVersion()));
  const TCampaignId id = CreateOrFail(*journal, 1);
  EXPECT_EQ(journal->Summary(id)->total, 1);
}

TEST_F(JournalFixture, AMessageOfOnePartGoesFromQueuedToSent) {
  const TCampaignId id = CreateOrFail(*journal, 3);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");
  EXPECT_EQ(job.entry.row, 1);
  EXPECT_EQ(job.entry.destination, "+48600000001");
  EXPECT_EQ(job.parts, 0);
  EXPECT_TRUE(job.answered.empty());

  now += 10;
  EXPECT_EQ(SendPart(*journal, job.id, 1, 1, "IMEI-A"), TMessageState::Sent);
  auto summary = journal->Summary(id);
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->total, 3);
  EXPECT_EQ(summary->sent, 1);
  EXPECT_EQ(summary->left, 2);

  auto recipients = journal->Recipients(id);
  ASSERT_TRUE(recipients);
  const TRecipientRecord& first = (*recipients)[0];
  EXPECT_EQ(first.state, TMessageState::Sent);
  EXPECT_EQ(first.modem, "IMEI-A");
  ASSERT_EQ(first.partLog.size(), 1u);
  EXPECT_EQ(first.partLog[0].state, TPartState::Sent);
  EXPECT_EQ(first.partLog[0].reference, 101);
  EXPECT_EQ(first.partLog[0].submitted, now);
  EXPECT_EQ(first.partLog[0].answered, now);
}

TEST_F(JournalFixture, AMessageIsCompletedOnlyByItsLastAnswerAndFailsWhenOnePartFailed) {
  const TCampaignId id = CreateOrFail(*journal, 2);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");
  EXPECT_EQ(SendPart(*journal, job.id, 1, 3, "IMEI-A", 77), TMessageState::Sending);
  ASSERT_TRUE(journal->RecordSubmitting({job.id, 2, 3, 77, "IMEI-A"}));
  EXPECT_EQ(*journal->RecordAnswer({job.id, 2, false, std::nullopt, platform::Utf8ToAnsi("+CMS ERROR: 500")}),
            TMessageState::Sending);
  EXPECT_EQ(SendPart(*journal, job.id, 3, 3, "IMEI-A", 77), TMessageState::Failed);

  auto recipients = journal->Recipients(id);
  ASSERT_TRUE(recipients);
  const TRecipientRecord& message = (*recipients)[0];
  EXPECT_EQ(message.state, TMessageState::Failed);
  EXPECT_EQ(message.parts, 3);
  EXPECT_EQ(message.concatReference, 77);
  ASSERT_EQ(message.partLog.size(), 3u);
  EXPECT_EQ(message.partLog[1].state, TPartState::Failed);
  EXPECT_EQ(message.partLog[1].reference, std::nullopt);
  EXPECT_EQ(message.partLog[1].error, "+CMS ERROR: 500");
  EXPECT_EQ(journal->Summary(id)->failed, 1);
}

// Operations that do not fit the message's state are refused with a reason,
// and change nothing.
TEST_F(JournalFixture, OperationsThatDoNotFitTheStateAreRefused) {
  struct Case {
    const char* what;
    std::function<TJournalError(TSqliteJournal&, TRecipientId queued, TRecipientId sending)> operation;
    TJournalFault fault;
  };
  const Case cases[] = {
      {"submitting a queued message",
       [](TSqliteJournal& j, TRecipientId queued, TRecipientId) {
         return j.RecordSubmitting({queued, 1, 1, std::nullopt, "IMEI-A"}).Error();
       },
       TJournalFault::Refused},
      {"submitting on another modem",
       [](TSqliteJournal& j, TRecipientId, TRecipientId sending) {
         return j.RecordSubmitting({sending, 1, 1, std::nullopt, "IMEI-B"}).Error();
       },
       TJournalFault::Refused},
      {"a part beyond the message",
       [](TSqliteJournal& j, TRecipientId, TRecipientId sending) {
         return j.RecordSubmitting({sending, 3, 2, std::nullopt, "IMEI-A"}).Error();
       },
       TJournalFault::Refused},
      {"a part number 0",
       [](TSqliteJournal& j, TRecipientId, TRecipientId sending) {
         return j.RecordSubmitting({sending, 0, 1, std::nullopt, "IMEI-A"}).Error();
       },
       TJournalFault::Refused},
      {"an answer to a part never submitted",
       [](TSqliteJournal& j, TRecipientId, TRecipientId sending) {
         return j.RecordAnswer({sending, 1, true, 5, {}}).Error();
       },
       TJournalFault::Refused},
      {"skipping a message being sent",
       [](TSqliteJournal& j, TRecipientId, TRecipientId sending) { return j.MarkSkipped(sending, "x").Error(); },
       TJournalFault::Refused},
      {"a recipient that does not exist",
       [](TSqliteJournal& j, TRecipientId, TRecipientId) {
         return j.RecordSubmitting({999999, 1, 1, std::nullopt, "IMEI-A"}).Error();
       },
       TJournalFault::NotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TCampaignId id = CreateOrFail(*journal, 2);
    const TMessageJob sending = TakeOrFail(*journal, id, "IMEI-A");
    const TRecipientId queued = sending.id + 1;
    const TJournalError error = c.operation(*journal, queued, sending.id);
    EXPECT_EQ(error.fault, c.fault);
    EXPECT_FALSE(error.text.empty());
    auto recipients = journal->Recipients(id);
    ASSERT_TRUE(recipients);
    EXPECT_EQ((*recipients)[0].state, TMessageState::Sending);
    EXPECT_EQ((*recipients)[1].state, TMessageState::Queued);
    EXPECT_TRUE((*recipients)[0].partLog.empty());
    EXPECT_EQ((*recipients)[0].parts, 0);
  }
}

TEST_F(JournalFixture, APartIsNeverRecordedTwiceNorWithAnotherShapeOfTheMessage) {
  const TCampaignId id = CreateOrFail(*journal, 1);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");
  ASSERT_TRUE(journal->RecordSubmitting({job.id, 1, 2, 9, "IMEI-A"}));
  EXPECT_EQ(journal->RecordSubmitting({job.id, 1, 2, 9, "IMEI-A"}).Error().fault, TJournalFault::Refused);
  ASSERT_TRUE(journal->RecordAnswer({job.id, 1, true, 1, {}}));
  EXPECT_EQ(journal->RecordSubmitting({job.id, 1, 2, 9, "IMEI-A"}).Error().fault, TJournalFault::Refused);
  EXPECT_EQ(journal->RecordAnswer({job.id, 1, true, 1, {}}).Error().fault, TJournalFault::Refused);
  EXPECT_EQ(journal->RecordSubmitting({job.id, 2, 3, 9, "IMEI-A"}).Error().fault, TJournalFault::Refused);
  EXPECT_EQ(journal->RecordSubmitting({job.id, 2, 2, 10, "IMEI-A"}).Error().fault, TJournalFault::Refused);
  EXPECT_EQ(SendPart(*journal, job.id, 2, 2, "IMEI-A", 9), TMessageState::Sent);
}

TEST_F(JournalFixture, TakingFollowsTheListsOrderSkipsTheSkippedAndEndsEmpty) {
  auto id = journal->CreateCampaign(SampleCampaign(), {{3, "c", "600000003", "+48600000003"},
                                                       {1, "a", "600000001", "+48600000001"},
                                                       {2, "b", "60000000x", "+4860000000x"}});
  ASSERT_TRUE(id);
  auto recipients = journal->Recipients(*id);
  ASSERT_TRUE(recipients);
  ASSERT_EQ(recipients->size(), 3u);
  EXPECT_EQ((*recipients)[0].entry.numberRead, "a");
  EXPECT_EQ((*recipients)[2].entry.numberRead, "c");
  ASSERT_TRUE(journal->MarkSkipped((*recipients)[1].id, platform::Utf8ToAnsi("Numer zawiera litery")));

  EXPECT_EQ(TakeOrFail(*journal, *id, "IMEI-A").entry.row, 1);
  EXPECT_EQ(TakeOrFail(*journal, *id, "IMEI-B").entry.row, 3);
  auto none = journal->TakeNext(*id, "IMEI-A");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->has_value());

  recipients = journal->Recipients(*id);
  EXPECT_EQ((*recipients)[1].state, TMessageState::Skipped);
  EXPECT_EQ((*recipients)[1].note, platform::Utf8ToAnsi("Numer zawiera litery"));
  auto summary = journal->Summary(*id);
  EXPECT_EQ(summary->skipped, 1);
  EXPECT_EQ(summary->left, 2);
}

TEST_F(JournalFixture, AStoppedCampaignGivesNoMessagesUntilItRunsAgain) {
  const TCampaignId id = CreateOrFail(*journal, 2);
  ASSERT_TRUE(journal->SetCampaignState(id, TCampaignState::Stopped));
  EXPECT_EQ(journal->TakeNext(id, "IMEI-A").Error().fault, TJournalFault::Refused);
  ASSERT_TRUE(journal->SetCampaignState(id, TCampaignState::Running));
  EXPECT_EQ(TakeOrFail(*journal, id, "IMEI-A").entry.row, 1);
  EXPECT_EQ(journal->SetCampaignState(id + 1, TCampaignState::Finished).Error().fault, TJournalFault::NotFound);
  EXPECT_EQ(journal->TakeNext(id + 1, "IMEI-A").Error().fault, TJournalFault::NotFound);
}

TEST_F(JournalFixture, CampaignsAreListedNewestFirstAndTheUnfinishedOnesApart) {
  const TCampaignId first = CreateOrFail(*journal, 1);
  now += 1000;
  const TCampaignId second = CreateOrFail(*journal, 2);
  now += 1000;
  const TCampaignId third = CreateOrFail(*journal, 3);
  ASSERT_TRUE(journal->SetCampaignState(second, TCampaignState::Finished));
  ASSERT_TRUE(journal->SetCampaignState(first, TCampaignState::Stopped));

  auto all = journal->Campaigns(false);
  ASSERT_TRUE(all);
  ASSERT_EQ(all->size(), 3u);
  EXPECT_EQ((*all)[0].campaign.id, third);
  EXPECT_EQ((*all)[1].campaign.id, second);
  EXPECT_EQ((*all)[2].campaign.id, first);
  EXPECT_EQ((*all)[0].total, 3);
  EXPECT_EQ((*all)[2].campaign.state, TCampaignState::Stopped);
  EXPECT_EQ((*all)[2].campaign.campaign.resultFile, "/home/ola/lista_out.xls");
  EXPECT_EQ((*all)[2].campaign.created, now - 2000);

  auto unfinished = journal->Campaigns(true);
  ASSERT_TRUE(unfinished);
  ASSERT_EQ(unfinished->size(), 2u);
  EXPECT_EQ((*unfinished)[0].campaign.id, third);
  EXPECT_EQ((*unfinished)[1].campaign.id, first);
}

TEST_F(JournalFixture, TextsAreKeptAsUtf8InTheFileAndComeBackInTheProgramsCodePage) {
  TNewCampaign campaign = SampleCampaign("Zażółć gęślą jaźń");
  campaign.ucs2 = true;
  auto id = journal->CreateCampaign(
      campaign, {{1, platform::Utf8ToAnsi("tel. 600 000 001 (Łódź)"), "600000001", "+48600000001"}});
  ASSERT_TRUE(id);
  EXPECT_EQ(Query("SELECT text, ucs2, flash FROM campaigns"), "Zażółć gęślą jaźń|1|0\n");
  EXPECT_EQ(Query("SELECT number_read FROM recipients"), "tel. 600 000 001 (Łódź)\n");
  auto summary = journal->Summary(*id);
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->campaign.campaign.text, platform::Utf8ToAnsi("Zażółć gęślą jaźń"));
  EXPECT_TRUE(summary->campaign.campaign.ucs2);
  EXPECT_EQ((*journal->Recipients(*id))[0].entry.numberRead, platform::Utf8ToAnsi("tel. 600 000 001 (Łódź)"));
}

TEST_F(JournalFixture, EarlierSendsOfTheSameTextAreFoundByNumberWithinTheDaysOrWhileUnfinished) {
  const TNewCampaign promotion = SampleCampaign("Promocja");
  const TCampaignId old = CreateOrFail(*journal, 5, promotion);  // numbers ...001 to ...005
  ASSERT_TRUE(journal->SetCampaignState(old, TCampaignState::Finished));
  now += 10 * kDay;
  const TCampaignId recent = CreateOrFail(*journal, 3, promotion);  // ...001 to ...003
  const TMessageJob job = TakeOrFail(*journal, recent, "IMEI-A");
  SendPart(*journal, job.id, 1, 1, "IMEI-A");
  ASSERT_TRUE(journal->SetCampaignState(recent, TCampaignState::Finished));
  now += kDay;
  const TCampaignId unfinishedOld = CreateOrFail(*journal, 4, promotion);
  CreateOrFail(*journal, 5, SampleCampaign("Inny tekst"));
  now += 20 * kDay;
  TakeOrFail(*journal, unfinishedOld, "IMEI-A");  // in flight when the program stopped

  const std::vector<std::string> numbers{"600000002", "600000001", "600000009"};
  auto withinMonth = journal->EarlierSends(platform::Utf8ToAnsi("Promocja"), numbers, 30);
  ASSERT_TRUE(withinMonth);
  ASSERT_EQ(withinMonth->size(), 2u);  // newest first; not the other text, not the finished one of 31 days ago
  EXPECT_EQ((*withinMonth)[0].summary.campaign.id, unfinishedOld);
  EXPECT_EQ((*withinMonth)[0].listed, 2);
  EXPECT_EQ((*withinMonth)[0].texted, 1);  // the one in flight may have had it
  EXPECT_EQ((*withinMonth)[1].summary.campaign.id, recent);
  EXPECT_EQ((*withinMonth)[1].texted, 1);
  EXPECT_EQ((*withinMonth)[1].summary.sent, 1);

  auto withinSixWeeks = journal->EarlierSends(platform::Utf8ToAnsi("Promocja"), numbers, 42);
  ASSERT_TRUE(withinSixWeeks);
  ASSERT_EQ(withinSixWeeks->size(), 3u);
  EXPECT_EQ((*withinSixWeeks)[2].summary.campaign.id, old);
  EXPECT_EQ((*withinSixWeeks)[2].listed, 2);
  EXPECT_EQ((*withinSixWeeks)[2].texted, 0);

  auto withinWeek = journal->EarlierSends(platform::Utf8ToAnsi("Promocja"), numbers, 7);
  ASSERT_TRUE(withinWeek);
  ASSERT_EQ(withinWeek->size(), 1u);  // only the unfinished one, however old
  EXPECT_EQ((*withinWeek)[0].summary.campaign.id, unfinishedOld);

  auto otherNumbers = journal->EarlierSends(platform::Utf8ToAnsi("Promocja"), {"700000001"}, 30);
  ASSERT_TRUE(otherNumbers);
  EXPECT_TRUE(otherNumbers->empty());
}

}  // namespace
}  // namespace journal
