#pragma once
// What the journal's tests share: a journal in a test folder, a campaign of
// numbered recipients, and the road of one part.
//
// Threads: one test at a time.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "journal/sqlite_journal.h"
#include "platform/codepage.h"

namespace journal::testing {

inline std::unique_ptr<TSqliteJournal> OpenJournal(const std::filesystem::path& file,
                                                   TSqliteJournalOptions options = {}) {
  auto opened = TSqliteJournal::Open(file, std::move(options));
  EXPECT_TRUE(opened) << platform::AnsiToUtf8(opened.Error().text);
  return opened ? std::move(*opened) : nullptr;
}

// Recipients on rows 1..count, numbers 600000001 onwards.
inline std::vector<TRecipientEntry> NumberedRecipients(int count, int firstRow = 1) {
  std::vector<TRecipientEntry> recipients;
  for (int i = 0; i < count; ++i) {
    const std::string number = std::to_string(600000000 + firstRow + i);
    recipients.push_back({firstRow + i, " " + number, number, "+48" + number});
  }
  return recipients;
}

inline TNewCampaign SampleCampaign(const std::string& utf8Text = "Zażółć gęślą jaźń") {
  return {platform::Utf8ToAnsi(utf8Text), false, false, "/home/ola/lista.xls", "/home/ola/lista_out.xls"};
}

inline TCampaignId CreateOrFail(TCampaignJournal& journal, int recipients,
                                const TNewCampaign& campaign = SampleCampaign()) {
  auto id = journal.CreateCampaign(campaign, NumberedRecipients(recipients));
  EXPECT_TRUE(id) << platform::AnsiToUtf8(id.Error().text);
  return id ? *id : 0;
}

inline TMessageJob TakeOrFail(TCampaignJournal& journal, TCampaignId campaign, const std::string& modem) {
  auto job = journal.TakeNext(campaign, modem);
  EXPECT_TRUE(job) << platform::AnsiToUtf8(job.Error().text);
  EXPECT_TRUE(job && job->has_value()) << "nothing to take for " << modem;
  return job && job->has_value() ? **job : TMessageJob{};
}

// Records the part as submitting and answers it sent with reference 100 + part.
inline TMessageState SendPart(TCampaignJournal& journal, TRecipientId recipient, int partNo, int parts,
                              const std::string& modem, std::optional<int> concat = std::nullopt) {
  EXPECT_TRUE(journal.RecordSubmitting({recipient, partNo, parts, concat, modem}));
  auto state = journal.RecordAnswer({recipient, partNo, true, 100 + partNo, {}});
  EXPECT_TRUE(state) << platform::AnsiToUtf8(state.Error().text);
  return state ? *state : TMessageState::Queued;
}

// Runs `body` in a child process (another program on the same journal) and
// returns its process id; the child's exit status is what `body` returns.
inline pid_t StartChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  EXPECT_GT(pid, 0);
  return pid;
}

// The child's wait status.
inline int WaitForChild(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace journal::testing
