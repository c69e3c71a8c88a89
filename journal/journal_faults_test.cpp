// A journal the program cannot trust or cannot write refuses with a reason,
// and a damaged one is left exactly as it was.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <set>

#include "journal/fault_vfs.h"
#include "journal/journal_test_support.h"
#include "journal/sqlite_journal.h"
#include "platform/read_file.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

using testing::CreateOrFail;
using testing::OpenJournal;
using testing::TakeOrFail;

void WriteBytes(const std::filesystem::path& file, const std::string& bytes, std::streamoff at = 0) {
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  if (!out) out.open(file, std::ios::out | std::ios::binary);
  out.seekp(at);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ExecuteOn(const std::filesystem::path& file, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// A page of the file (numbered from 1) that the write-ahead log holds no
// newer copy of: damage there is not hidden by the log. 0 when none.
int PageOnlyInTheFile(const std::filesystem::path& file) {
  constexpr size_t kPage = 4096, kLogHeader = 32, kFrameHeader = 24;
  const auto log = platform::ReadWholeFile(file.string() + "-wal").value_or("");
  std::set<int> logged;
  for (size_t at = kLogHeader; at + kFrameHeader <= log.size(); at += kFrameHeader + kPage) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(log.data() + at);
    logged.insert(bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]);
  }
  if (logged.empty()) return 0;  // no log: nothing to test
  const int pages = static_cast<int>(std::filesystem::file_size(file) / kPage);
  for (int page = 2; page <= pages; ++page) {
    if (!logged.contains(page)) return page;
  }
  return 0;
}

// A journal of 400 recipients, closed (everything checkpointed into the file).
void MakeJournal(const std::filesystem::path& file) {
  auto journal = OpenJournal(file);
  ASSERT_TRUE(journal);
  CreateOrFail(*journal, 400);
}

TEST(JournalFaults, ADamagedOrForeignFileIsRefusedAndLeftByteForByte) {
  struct Case {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
    TJournalFault fault;
  };
  const Case cases[] = {
      {"not a database", [](const auto& file) { WriteBytes(file, std::string(8192, 'x')); }, TJournalFault::Damaged},
      {"a journal cut short",
       [](const auto& file) {
         MakeJournal(file);
         std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
       },
       TJournalFault::Damaged},
      {"a page overwritten",
       [](const auto& file) {
         MakeJournal(file);
         WriteBytes(file, std::string(4096, '\x5A'), 4096 * 3);
       },
       TJournalFault::Damaged},
      {"the header overwritten",
       [](const auto& file) {
         MakeJournal(file);
         WriteBytes(file, "not the header", 0);
       },
       TJournalFault::Damaged},
      {"a damaged journal whose log was never written back",
       [](const auto& file) {
         MakeJournal(file);
         // A program that recorded a campaign and died: its changes are only in the log.
         testing::WaitForChild(testing::StartChild([&] {
           auto journal = TSqliteJournal::Open(file);
           if (journal) CreateOrFail(**journal, 300);
           ::_exit(0);
           return 0;
         }));
         const int page = PageOnlyInTheFile(file);
         ASSERT_GT(page, 1);
         WriteBytes(file, std::string(4096, '\x5A'), 4096LL * (page - 1));
       },
       TJournalFault::Damaged},
      {"another program's database",
       [](const auto& file) {
         ExecuteOn(file, "CREATE TABLE contacts (name TEXT); INSERT INTO contacts VALUES ('Ola')");
       },
       TJournalFault::Damaged},
      {"a journal of a newer version",
       [](const auto& file) {
         MakeJournal(file);
         ExecuteOn(file, "PRAGMA user_version = 99");
       },
       TJournalFault::Newer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::TestFolder folder;
    const auto file = folder / "journal.sqlite";
    c.make(file);
    const auto before = platform::ReadWholeFile(file);
    ASSERT_TRUE(before);
    const auto logBefore = platform::ReadWholeFile(file.string() + "-wal");
    for (int attempt = 0; attempt < 2; ++attempt) {  // refused again: nothing was "repaired"
      auto opened = TSqliteJournal::Open(file);
      ASSERT_FALSE(opened);
      EXPECT_EQ(opened.Error().fault, c.fault);
      EXPECT_NE(opened.Error().text.find(platform::Utf8ToAnsi("bez zmian")), std::string::npos)
          << platform::AnsiToUtf8(opened.Error().text);
    }
    EXPECT_TRUE(platform::ReadWholeFile(file) == before) << "the journal was written to";
    // Opening may leave an empty log beside it; a log with content stays as it was.
    EXPECT_TRUE(platform::ReadWholeFile(file.string() + "-wal").value_or("") == logBefore.value_or(""))
        << "its log was written back or lost";
  }
}

TEST(JournalFaults, AJournalThatCannotBeOpenedSaysWhere) {
  platform::TestFolder folder;
  WriteBytes(folder / "plik", "a file, not a folder");
  for (const auto& file : {folder / "plik" / "journal.sqlite", folder.Path()}) {
    SCOPED_TRACE(file.string());
    auto opened = TSqliteJournal::Open(file);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.Error().fault, TJournalFault::NoAccess);
    EXPECT_NE(opened.Error().text.find(file.string()), std::string::npos);
  }
}

struct FaultyDisk : ::testing::Test {
  platform::TestFolder folder;
  std::unique_ptr<TSqliteJournal> journal;
  TCampaignId id = 0;
  TMessageJob job;

  void SetUp() override {
    testing::SetFaultPlan({});
    TSqliteJournalOptions options;
    options.vfs = testing::FaultVfsName();
    journal = OpenJournal(folder / "journal.sqlite", options);
    ASSERT_TRUE(journal);
    id = CreateOrFail(*journal, 3);
    job = TakeOrFail(*journal, id, "IMEI-A");
  }
  void TearDown() override { testing::SetFaultPlan({}); }

  // Submissions on record for the message taken last.
  size_t PartsRecorded() {
    const auto recipients = journal->Recipients(id);
    for (const TRecipientRecord& recipient : *recipients) {
      if (recipient.id == job.id) return recipient.partLog.size();
    }
    return 0;
  }
};

// Whichever write, sync or truncation of the commit fails, the submission is
// either on the disk (and reported done) or reported failed: the caller
// never sends a part the journal does not hold.
TEST_F(FaultyDisk, ASubmissionIsReportedDoneOnlyWhenItIsOnTheDisk) {
  struct Fault {
    int code;
    TJournalFault fault;
  };
  for (const Fault f : {Fault{SQLITE_FULL, TJournalFault::DiskFull}, Fault{SQLITE_IOERR_WRITE, TJournalFault::Io}}) {
    testing::SetFaultPlan({});
    ASSERT_TRUE(journal->RecordSubmitting({job.id, 1, 2, 5, "IMEI-A"}));
    const int steps = testing::FaultSteps();
    ASSERT_GT(steps, 0);
    ASSERT_TRUE(journal->RecordAnswer({job.id, 1, true, 1, {}}));
    for (int step = 1; step <= steps; ++step) {
      SCOPED_TRACE("failing from step " + std::to_string(step) + " of " + std::to_string(steps));
      const size_t before = PartsRecorded();
      testing::SetFaultPlan({step, f.code, 0});
      auto recorded = journal->RecordSubmitting({job.id, 2, 2, 5, "IMEI-A"});
      testing::SetFaultPlan({});
      if (recorded) {
        EXPECT_EQ(PartsRecorded(), before + 1);
        ASSERT_TRUE(journal->RecordAnswer({job.id, 2, false, std::nullopt, "x"}));
        break;
      }
      EXPECT_TRUE(recorded.Error().fault == f.fault || recorded.Error().fault == TJournalFault::Io)
          << platform::AnsiToUtf8(recorded.Error().text);
      EXPECT_EQ(PartsRecorded(), before);
    }
    // The next message of this round.
    job = TakeOrFail(*journal, id, "IMEI-A");
  }
}

// What the PDU waits for is on the disk when RecordSubmitting returns; the
// answer and the taking of the next message wait for no sync.
TEST_F(FaultyDisk, ASubmissionIsSyncedBeforeItReturnsAndTheAnswerRidesOnTheNext) {
  for (int round = 0; round < 3; ++round) {
    testing::SetFaultPlan({});
    ASSERT_TRUE(journal->RecordSubmitting({job.id, 1, 1, std::nullopt, "IMEI-A"}));
    EXPECT_GE(testing::FaultSyncs(), 1);
    testing::SetFaultPlan({});
    ASSERT_TRUE(journal->RecordAnswer({job.id, 1, true, 1, {}}));
    if (round < 2) job = TakeOrFail(*journal, id, "IMEI-A");
    EXPECT_EQ(testing::FaultSyncs(), 0);
    EXPECT_GT(testing::FaultSteps(), 0);
  }
}

// Writing the log back into the file (a sync of the log, the pages, a sync of
// the file) is done after an answer or a taking, never by a submission whose
// PDU waits: a submission syncs once, its log.
TEST_F(FaultyDisk, TheLogIsWrittenBackAfterAnswersNeverByASubmission) {
  const TCampaignId many = CreateOrFail(*journal, 500);
  int mostSyncsOfASubmission = 0, writeBacks = 0;
  for (int i = 0; i < 500; ++i) {
    testing::SetFaultPlan({});
    const TMessageJob next = TakeOrFail(*journal, many, "IMEI-A");
    writeBacks += testing::FaultSyncs() >= 2;
    testing::SetFaultPlan({});
    ASSERT_TRUE(journal->RecordSubmitting({next.id, 1, 1, std::nullopt, "IMEI-A"}));
    mostSyncsOfASubmission = std::max(mostSyncsOfASubmission, testing::FaultSyncs());
    testing::SetFaultPlan({});
    ASSERT_TRUE(journal->RecordAnswer({next.id, 1, true, 1, {}}));
    writeBacks += testing::FaultSyncs() >= 2;
  }
  EXPECT_EQ(mostSyncsOfASubmission, 1);
  EXPECT_GT(writeBacks, 0) << "the log was never written back";
}

TEST_F(FaultyDisk, AFullDiskRefusesWithAReasonAndTheJournalGoesOnOnceThereIsRoom) {
  testing::SetFaultPlan({1, SQLITE_FULL, 0});
  auto refused = journal->RecordSubmitting({job.id, 1, 1, std::nullopt, "IMEI-A"});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.Error().fault, TJournalFault::DiskFull);
  EXPECT_NE(refused.Error().text.find(platform::Utf8ToAnsi("Brak miejsca na dysku")), std::string::npos);
  auto noCampaign = journal->CreateCampaign(testing::SampleCampaign(), testing::NumberedRecipients(50));
  EXPECT_EQ(noCampaign.Error().fault, TJournalFault::DiskFull);
  // Reading needs no room.
  auto summary = journal->Summary(id);
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->left, 3);

  testing::SetFaultPlan({});
  EXPECT_EQ(PartsRecorded(), 0u);
  EXPECT_EQ(journal->Campaigns(false)->size(), 1u);
  ASSERT_TRUE(journal->RecordSubmitting({job.id, 1, 1, std::nullopt, "IMEI-A"}));
  EXPECT_EQ(*journal->RecordAnswer({job.id, 1, true, 9, {}}), TMessageState::Sent);

  journal.reset();  // and the file holds what was recorded, no more
  journal = OpenJournal(folder / "journal.sqlite");
  ASSERT_TRUE(journal);
  EXPECT_EQ(journal->Summary(id)->sent, 1);
  EXPECT_EQ(PartsRecorded(), 1u);
  EXPECT_EQ(journal->Campaigns(false)->size(), 1u);
}

TEST(JournalFaults, AJournalHeldByAnotherProgramBeyondTheWaitIsReportedLockedAndStillReadable) {
  platform::TestFolder folder;
  const auto file = folder / "journal.sqlite";
  TSqliteJournalOptions options;
  options.busyTimeoutMs = 200;
  auto journal = OpenJournal(file, options);
  ASSERT_TRUE(journal);
  const TCampaignId id = CreateOrFail(*journal, 2);
  const TMessageJob job = TakeOrFail(*journal, id, "IMEI-A");

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  auto locked = journal->RecordSubmitting({job.id, 1, 1, std::nullopt, "IMEI-A"});
  ASSERT_FALSE(locked);
  EXPECT_EQ(locked.Error().fault, TJournalFault::Locked);
  EXPECT_NE(locked.Error().text.find(platform::Utf8ToAnsi("zajęty przez inny program")), std::string::npos);
  EXPECT_EQ(journal->Summary(id)->left, 2);  // readers do not wait for a writer
  ASSERT_EQ(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);

  EXPECT_TRUE(journal->RecordSubmitting({job.id, 1, 1, std::nullopt, "IMEI-A"}));
}

}  // namespace
}  // namespace journal
