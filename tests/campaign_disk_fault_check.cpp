// The whole program on a failing disk: the journal's writes and syncs start
// failing with EIO in the middle of a campaign (journal_eio_shim, loaded into
// talvane-cli). A part whose submission could not be recorded must never
// reach the network; the campaign stops with the journal's reason; resumed
// later on a sound disk, it completes and sends nothing twice.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "platform/test_folder.h"
#include "tests/campaign_runs.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// What a campaign sends: its numbers and its text (of one part or of three).
struct Sending {
  std::vector<std::string> numbers;
  std::string text;
  int partsEach = 1;
};

const Sending kLongMessages = {
    {"600100200", "600100201", "600100202", "600100203", "600100204", "600100205", "600100206", "600100207"},
    std::string(400, 'x'),
    3};
const Sending kShortMessages = {{"600100200", "600100201", "600100202"}, "Dzien dobry", 1};

// One campaign of its own: its journal, its modem, its network log.
class DiskCampaign {
 public:
  DiskCampaign(const fs::path& folder, const Sending& sending)
      : sending_(sending),
        folder_(Made(folder)),
        programDir_(Made(folder / "program")),
        networkLog_(folder / "network.log"),
        simulator_({"--quiet", "--reference", "10", "--network-log", networkLog_.string()}) {}

  // talvane-cli campaign to its end; its journal's writes fail after
  // `failAfter` of them (never: -1), `tally` gets their count.
  e2e::Result Start(long failAfter, const fs::path& tally = {}) const {
    std::vector<std::string> shim = {"LD_PRELOAD=" + std::string(JOURNAL_EIO_SHIM),
                                     "TALVANE_EIO_DIR=" + programDir_.string()};
    if (failAfter >= 0) shim.push_back("TALVANE_EIO_AFTER=" + std::to_string(failAfter));
    if (!tally.empty()) shim.push_back("TALVANE_EIO_TALLY=" + tally.string());
    return e2e::RunProgram(
        e2e::CliIn(programDir_,
                   {"campaign", "--port", simulator_.Port(), "--result", (folder_ / "wyniki_out.xls").string(),
                    "--numbers", e2e::Joined(sending_.numbers), sending_.text},
                   shim),
        e2e::Streams::Separate);
  }
  e2e::Result Resume() const {
    return e2e::RunProgram(e2e::CliIn(programDir_, {"campaign", "--resume", "--port", simulator_.Port()}),
                           e2e::Streams::Separate);
  }

  const Sending& Sends() const { return sending_; }
  const fs::path& ProgramDir() const { return programDir_; }
  const std::string& Port() const { return simulator_.Port(); }
  std::vector<e2e::Accepted> Accepted() const { return e2e::NetworkLog(networkLog_); }

 private:
  static fs::path Made(const fs::path& folder) {
    fs::create_directories(folder);
    return folder;
  }

  const Sending& sending_;
  fs::path folder_;
  fs::path programDir_;
  fs::path networkLog_;
  e2e::SimulatorProcess simulator_;
};

// A campaign whose journal failed after `failAfter` writes and syncs stopped
// with the journal's reason and sent no part it could not record; resumed on
// a sound disk it completes, sending no part twice.
void CheckFailedThenResumed(const DiskCampaign& campaign, long failAfter) {
  const e2e::Result failed = campaign.Start(failAfter);
  EXPECT_NE(failed.status, 0) << failed.err;
  EXPECT_TRUE(failed.err.find("Wysyłka przerwana: dziennik wysyłki - ") != std::string::npos ||
              failed.err.find("talvane-cli campaign: ") != std::string::npos)
      << failed.err;
  EXPECT_NE(failed.err.find("I/O"), std::string::npos) << failed.err;
  if (!e2e::NewestCampaign(campaign.ProgramDir())) {
    // The journal failed while the campaign began: nothing may have left.
    EXPECT_TRUE(campaign.Accepted().empty());
    return;
  }
  // Every part out on the network had its submission recorded first.
  const auto recorded = e2e::JournalSubmissions(campaign.ProgramDir());
  for (const e2e::Accepted& part : campaign.Accepted()) {
    EXPECT_EQ(recorded.count({part.destination, part.part}), 1u)
        << "part " << part.part << " to " << part.destination << " sent unrecorded";
  }

  const e2e::Result resumed = campaign.Resume();
  const std::optional<e2e::CampaignSummary> summary = e2e::NewestCampaign(campaign.ProgramDir());
  EXPECT_TRUE(summary && summary->state == "finished" && summary->left == 0) << resumed.err;
  std::map<std::pair<std::string, int>, int> times;
  for (const e2e::Accepted& part : campaign.Accepted()) ++times[{part.destination, part.part}];
  for (const auto& [part, count] : times) EXPECT_EQ(count, 1) << "part " << part.second << " to " << part.first;
  const std::vector<e2e::JournalRow> rows = e2e::ShownRecipients(campaign.ProgramDir(), 1);
  ASSERT_EQ(rows.size(), campaign.Sends().numbers.size());
  for (const e2e::JournalRow& row : rows) {
    EXPECT_TRUE(row.state == "sent" || row.state == "uncertain") << row.number << " " << row.state;
    // What the journal calls sent went out whole.
    for (int part = 1; row.state == "sent" && part <= campaign.Sends().partsEach; ++part) {
      EXPECT_EQ((times[{row.number, part}]), 1) << row.number << " part " << part;
    }
  }
}

class CampaignDiskFault : public ::testing::Test {
 protected:
  // How many writes and syncs a whole campaign makes in its journal.
  long JournalCalls(const Sending& sending) {
    DiskCampaign campaign(folder / "tally", sending);
    EXPECT_FALSE(campaign.Port().empty()) << "no simulator";
    const fs::path tally = folder / "tally.txt";
    const e2e::Result run = campaign.Start(-1, tally);
    EXPECT_EQ(run.status, 0) << run.err;
    return std::atol(e2e::ReadFile(tally).c_str());
  }

  platform::TestFolder folder;
};

TEST_F(CampaignDiskFault, APartTheJournalCouldNotRecordNeverLeavesAndTheResumedCampaignSendsNothingTwice) {
  const long calls = JournalCalls(kLongMessages);
  ASSERT_GT(calls, 20) << "the shim saw none of the journal's writes";
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  // From the first messages of the campaign to its last ones.
  std::vector<long> failAfter = {calls / 5, calls / 3, calls / 2, 2 * calls / 3};
  failAfter.push_back(std::uniform_int_distribution<long>(calls / 5, 2 * calls / 3)(random));
  for (size_t i = 0; i < failAfter.size(); ++i) {
    SCOPED_TRACE("failing after " + std::to_string(failAfter[i]) + " of " + std::to_string(calls) + " (seed " +
                 std::to_string(seed) + ")");
    CheckFailedThenResumed(DiskCampaign(folder / ("case" + std::to_string(i)), kLongMessages), failAfter[i]);
  }
}

// The first writes after the campaign began are the first message's: taking
// it for the modem, recording its part as submitting, then its answer. The
// campaign's beginning is found as the fewest writes after which the journal
// holds the campaign.
TEST_F(CampaignDiskFault, AJournalFailingAsTheFirstMessageIsTakenSentOrAnsweredStopsTheCampaignWithItsReason) {
  const long calls = JournalCalls(kShortMessages);
  ASSERT_GT(calls, 20) << "the shim saw none of the journal's writes";
  long refused = 0, begun = calls;  // the journal refused the campaign after `refused`, held it after `begun`
  while (begun - refused > 1) {
    const long middle = (refused + begun) / 2;
    const DiskCampaign probe(folder / ("probe" + std::to_string(middle)), kShortMessages);
    probe.Start(middle);
    (e2e::NewestCampaign(probe.ProgramDir()) ? begun : refused) = middle;
  }
  constexpr long kFirstMessageWrites = 8;
  for (long after = begun; after < begun + kFirstMessageWrites && after < calls; ++after) {
    SCOPED_TRACE("failing after " + std::to_string(after) + " of " + std::to_string(calls) +
                 ", the campaign begun after " + std::to_string(begun));
    CheckFailedThenResumed(DiskCampaign(folder / ("first" + std::to_string(after)), kShortMessages), after);
  }
}

}  // namespace
