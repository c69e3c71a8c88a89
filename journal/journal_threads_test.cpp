// One store, two threads, as the window uses it: the engine's thread records
// each part as submitting right before its PDU leaves, while the main thread
// takes messages, records answers and reads summaries.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "journal/journal_test_support.h"
#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

TEST(JournalThreads, TheEngineThreadRecordsSubmissionsWhileTheMainThreadWorks) {
  platform::TestFolder folder;
  auto journal = testing::OpenJournal(folder / "journal.sqlite");
  ASSERT_TRUE(journal);
  constexpr int kMessages = 40;
  const TCampaignId engineCampaign = testing::CreateOrFail(*journal, kMessages);
  const TCampaignId mainCampaign = testing::CreateOrFail(*journal, kMessages);
  std::vector<TMessageJob> jobs;
  for (int i = 0; i < kMessages; ++i) jobs.push_back(testing::TakeOrFail(*journal, engineCampaign, "IMEI-A"));

  std::atomic<int> engineFailures{0};
  std::thread engine([&] {
    for (const TMessageJob& job : jobs) {
      for (int partNo = 1; partNo <= 2; ++partNo) {
        if (!journal->RecordSubmitting({job.id, partNo, 2, 3, "IMEI-A"})) ++engineFailures;
        if (!journal->RecordAnswer({job.id, partNo, true, partNo, {}})) ++engineFailures;
      }
    }
  });
  int mainFailures = 0;
  for (int i = 0; i < kMessages; ++i) {
    auto job = journal->TakeNext(mainCampaign, "IMEI-B");
    if (!job || !job->has_value()) {
      ++mainFailures;
      continue;
    }
    if (!journal->RecordSubmitting({(*job)->id, 1, 1, std::nullopt, "IMEI-B"})) ++mainFailures;
    if (!journal->RecordAnswer({(*job)->id, 1, true, 1, {}})) ++mainFailures;
    if (!journal->Summary(engineCampaign) || !journal->Recipients(engineCampaign)) ++mainFailures;
  }
  engine.join();

  EXPECT_EQ(engineFailures.load(), 0);
  EXPECT_EQ(mainFailures, 0);
  EXPECT_EQ(journal->Summary(engineCampaign)->sent, kMessages);
  EXPECT_EQ(journal->Summary(mainCampaign)->sent, kMessages);
}

}  // namespace
}  // namespace journal
