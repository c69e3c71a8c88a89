// Two programs on one journal at the same time (the window and a
// talvane-cli): both send the same campaign, one message at a time, while
// reading its summary. Writers wait for each other within the busy timeout:
// no operation fails as locked, and no message is given to both.

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <sstream>

#include "journal/journal_test_support.h"
#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

constexpr int kRecipients = 100;

// Sends messages of the campaign until none is left; returns the ids it
// sent, or the failure that stopped it.
struct SendingRun {
  std::vector<TRecipientId> sent;
  std::string failure;
};

SendingRun SendUntilEmpty(TSqliteJournal& journal, TCampaignId campaign, const std::string& modem) {
  SendingRun run;
  for (;;) {
    auto summary = journal.Summary(campaign);
    if (!summary) return {run.sent, "summary: " + platform::AnsiToUtf8(summary.Error().text)};
    auto job = journal.TakeNext(campaign, modem);
    if (!job) return {run.sent, "take: " + platform::AnsiToUtf8(job.Error().text)};
    if (!job->has_value()) return run;
    const TRecipientId id = (*job)->id;
    if (auto recorded = journal.RecordSubmitting({id, 1, 1, std::nullopt, modem}); !recorded) {
      return {run.sent, "submit: " + platform::AnsiToUtf8(recorded.Error().text)};
    }
    if (auto answered = journal.RecordAnswer({id, 1, true, 1, {}}); !answered) {
      return {run.sent, "answer: " + platform::AnsiToUtf8(answered.Error().text)};
    }
    run.sent.push_back(id);
    // A modem takes seconds per part; a program never writes without pause.
    // (SQLite keeps no queue of waiting writers: one that wrote without a
    // break could keep the other waiting past its timeout.)
    ::usleep(3000);
  }
}

TEST(JournalSideBySide, TwoProgramsSendOneCampaignWithoutLockFailuresOrDoubleSends) {
  platform::TestFolder folder;
  const auto file = folder / "journal.sqlite";
  TCampaignId campaign = 0;
  {
    auto journal = testing::OpenJournal(file);
    ASSERT_TRUE(journal);
    campaign = testing::CreateOrFail(*journal, kRecipients);
  }

  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = testing::StartChild([&] {
    ::close(pipeFds[0]);
    auto opened = TSqliteJournal::Open(file);
    SendingRun run = opened ? SendUntilEmpty(**opened, campaign, "IMEI-CLI") : SendingRun{{}, "open"};
    std::string report;
    for (const TRecipientId id : run.sent) report += std::to_string(id) + " ";
    report += "| " + run.failure;
    (void)!::write(pipeFds[1], report.data(), report.size());
    return run.failure.empty() ? 0 : 1;
  });
  ::close(pipeFds[1]);

  auto journal = testing::OpenJournal(file);
  ASSERT_TRUE(journal);
  // Start once the other program is sending, so that the two overlap.
  while (journal->Summary(campaign)->left == kRecipients) ::usleep(1000);
  const SendingRun mine = SendUntilEmpty(*journal, campaign, "IMEI-WINDOW");
  const int status = testing::WaitForChild(child);
  std::string report;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<size_t>(got));
  ::close(pipeFds[0]);

  EXPECT_EQ(mine.failure, "");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << report;
  EXPECT_FALSE(mine.sent.empty());
  std::set<TRecipientId> sent(mine.sent.begin(), mine.sent.end());
  std::istringstream theirs(report.substr(0, report.find('|')));
  TRecipientId id = 0;
  while (theirs >> id) EXPECT_TRUE(sent.insert(id).second) << "message " << id << " sent by both programs";
  EXPECT_GT(sent.size(), mine.sent.size()) << "the other program sent nothing";
  EXPECT_EQ(sent.size(), static_cast<size_t>(kRecipients));
  auto summary = journal->Summary(campaign);
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->sent, kRecipients);
  EXPECT_EQ(summary->left, 0);
}

}  // namespace
}  // namespace journal
