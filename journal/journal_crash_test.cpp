// A real crash: a sending program in a child process is killed with SIGKILL
// in the middle of a write or sync of its journal (the write torn in half),
// at seeded random moments. Every time, the journal it leaves must open, hold
// every submission the program was told was recorded (it may have sent those
// parts), hold whole operations only, and recover to known states, with an
// uncertain message wherever a part was submitted without its answer.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <map>
#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include "journal/fault_vfs.h"
#include "journal/journal_test_support.h"
#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"

namespace journal {
namespace {

constexpr int kRecipients = 5;
const std::string kModem = "356938035643809";

// Parts of the message for a recipient's row: 1 to 3.
int PartsOfRow(int row) { return 1 + row % 3; }
// Some parts fail, so that failed messages are part of the picture.
bool PartIsSent(int row, int partNo) { return (row + partNo) % 5 != 0; }

// What the program was told was done, line by line through a pipe:
// "S recipient part" once a submission was recorded (the part may leave then),
// "A recipient part" once its answer was recorded.
class Acknowledgements {
 public:
  explicit Acknowledgements(int fd) : fd_(fd) {}
  void Say(char what, TRecipientId recipient, int partNo) const {
    const std::string line =
        std::string(1, what) + " " + std::to_string(recipient) + " " + std::to_string(partNo) + "\n";
    (void)!::write(fd_, line.data(), line.size());
  }

 private:
  int fd_;
};

// The sending program: recovers what an earlier run left, then sends a new
// campaign of its own to the end. Exit status 0 when it got there.
int SendingProgram(const std::filesystem::path& file, int killAtStep, const Acknowledgements& acks) {
  testing::SetFaultPlan({0, SQLITE_FULL, killAtStep});
  TSqliteJournalOptions options;
  options.vfs = testing::FaultVfsName();
  auto opened = TSqliteJournal::Open(file, options);
  if (!opened) return 10;
  TSqliteJournal& journal = **opened;
  auto unfinished = journal.Campaigns(true);
  if (!unfinished) return 11;
  for (const TCampaignSummary& summary : *unfinished) {
    if (!journal.Recover(summary.campaign.id)) return 12;
    if (!journal.SetCampaignState(summary.campaign.id, TCampaignState::Stopped)) return 13;
  }
  auto id = journal.CreateCampaign(testing::SampleCampaign(), testing::NumberedRecipients(kRecipients));
  if (!id) return 14;
  for (;;) {
    auto job = journal.TakeNext(*id, kModem);
    if (!job) return 15;
    if (!job->has_value()) break;
    const TMessageJob& message = **job;
    const int parts = PartsOfRow(message.entry.row);
    for (int partNo = 1; partNo <= parts; ++partNo) {
      if (!journal.RecordSubmitting(
              {message.id, partNo, parts, parts > 1 ? std::optional<int>(message.entry.row) : std::nullopt, kModem}))
        return 16;
      acks.Say('S', message.id, partNo);
      const bool sent = PartIsSent(message.entry.row, partNo);
      if (!journal.RecordAnswer({message.id, partNo, sent, sent ? std::optional<int>(partNo) : std::nullopt,
                                 sent ? "" : "+CMS ERROR: 500"}))
        return 17;
      acks.Say('A', message.id, partNo);
    }
  }
  if (!journal.SetCampaignState(*id, TCampaignState::Finished)) return 18;
  acks.Say('E', testing::FaultSteps(), 0);
  return 0;
}

using PartKey = std::pair<TRecipientId, int>;

struct Told {
  std::set<PartKey> submitted;
  std::set<PartKey> answered;
  int steps = 0;  // of a run that went to its end
};

Told ReadAcknowledgements(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  Told told;
  std::istringstream lines(text);
  char what = 0;
  TRecipientId recipient = 0;
  int partNo = 0;
  while (lines >> what >> recipient >> partNo) {
    if (what == 'E') {
      told.steps = static_cast<int>(recipient);
    } else {
      (what == 'S' ? told.submitted : told.answered).insert({recipient, partNo});
    }
  }
  return told;
}

// The newest record of each part of a message.
std::map<int, TPartRecord> LatestParts(const TRecipientRecord& recipient) {
  std::map<int, TPartRecord> parts;
  for (const TPartRecord& part : recipient.partLog) parts[part.partNo] = part;
  return parts;
}

void CheckWhatTheProgramWasToldIsThere(TSqliteJournal& journal, const Told& told) {
  auto campaigns = journal.Campaigns(false);
  ASSERT_TRUE(campaigns);
  std::set<PartKey> recorded, answered;
  for (const TCampaignSummary& summary : *campaigns) {
    EXPECT_EQ(summary.total, kRecipients) << "a campaign was recorded in part";
    auto recipients = journal.Recipients(summary.campaign.id);
    ASSERT_TRUE(recipients);
    for (const TRecipientRecord& recipient : *recipients) {
      for (const TPartRecord& part : recipient.partLog) {
        recorded.insert({recipient.id, part.partNo});
        if (part.state == TPartState::Sent || part.state == TPartState::Failed)
          answered.insert({recipient.id, part.partNo});
      }
    }
  }
  for (const PartKey& part : told.submitted)
    EXPECT_TRUE(recorded.contains(part)) << "submission lost: " << part.first << "/" << part.second;
  for (const PartKey& part : told.answered)
    EXPECT_TRUE(answered.contains(part)) << "answer lost: " << part.first << "/" << part.second;
}

void CheckRecoveredStates(TSqliteJournal& journal, const Told& told) {
  auto campaigns = journal.Campaigns(false);
  ASSERT_TRUE(campaigns);
  for (const TCampaignSummary& summary : *campaigns) {
    auto recipients = journal.Recipients(summary.campaign.id);
    ASSERT_TRUE(recipients);
    for (const TRecipientRecord& recipient : *recipients) {
      SCOPED_TRACE("recipient " + std::to_string(recipient.id) + " " + std::string(StateName(recipient.state)));
      EXPECT_NE(recipient.state, TMessageState::Sending);
      const auto parts = LatestParts(recipient);
      int sent = 0, failed = 0, uncertain = 0;
      for (const auto& [partNo, part] : parts) {
        EXPECT_NE(part.state, TPartState::Submitting);
        EXPECT_EQ(part.modem, kModem);
        sent += part.state == TPartState::Sent;
        failed += part.state == TPartState::Failed;
        uncertain += part.state == TPartState::Uncertain;
        const bool toldSubmitted = told.submitted.contains({recipient.id, partNo});
        const bool toldAnswered = told.answered.contains({recipient.id, partNo});
        if (toldSubmitted && !toldAnswered && part.state == TPartState::Uncertain) {
          EXPECT_EQ(recipient.state, TMessageState::Uncertain);
        }
      }
      switch (recipient.state) {
        case TMessageState::Sent:
          EXPECT_EQ(sent, recipient.parts);
          break;
        case TMessageState::Failed:
          EXPECT_EQ(sent + failed, recipient.parts);
          EXPECT_GT(failed, 0);
          break;
        case TMessageState::Uncertain:
          EXPECT_GT(uncertain, 0);
          break;
        case TMessageState::Queued:
          EXPECT_LT(sent + failed, std::max(recipient.parts, 1));
          break;
        default:
          ADD_FAILURE() << "unexpected state";
      }
      if (recipient.parts > 1) {
        EXPECT_EQ(recipient.concatReference, recipient.entry.row);
      }
    }
  }
}

TEST(JournalCrash, AProgramKilledInTheMiddleOfItsCommitsLeavesAJournalThatRecovers) {
  platform::TestFolder folder;
  const auto file = folder / "journal.sqlite";
  std::mt19937 random(20261211);
  int killed = 0;
  int steps = 0;  // of the last run that went to its end; the first run is not killed
  for (int round = 0; round < 30; ++round) {
    const int killAtStep = steps == 0 ? 0 : std::uniform_int_distribution<int>(1, steps)(random);
    SCOPED_TRACE("round " + std::to_string(round) + ", killed at step " + std::to_string(killAtStep));
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = testing::StartChild([&] {
      ::close(pipeFds[0]);
      return SendingProgram(file, killAtStep, Acknowledgements(pipeFds[1]));
    });
    ::close(pipeFds[1]);
    const int status = testing::WaitForChild(child);
    const Told told = ReadAcknowledgements(pipeFds[0]);
    ::close(pipeFds[0]);
    const bool wasKilled = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    ASSERT_TRUE(wasKilled || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "status " << status;
    killed += wasKilled;
    if (told.steps > 0) steps = told.steps;

    auto journal = testing::OpenJournal(file);
    ASSERT_TRUE(journal);
    CheckWhatTheProgramWasToldIsThere(*journal, told);
    auto unfinished = journal->Campaigns(true);
    ASSERT_TRUE(unfinished);
    for (const TCampaignSummary& summary : *unfinished) ASSERT_TRUE(journal->Recover(summary.campaign.id));
    CheckRecoveredStates(*journal, told);
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GE(killed, 20) << "most rounds must end in a kill, or the test tests little";
}

}  // namespace
}  // namespace journal
