// The whole program killed: `talvane-cli campaign` against talvane-modemsim
// on a real pty, killed with SIGKILL at seeded random moments (before and
// between messages, while a part waits for the network's answer, in the
// middle of a journal commit) and taken up again with `campaign --resume`
// until it completes (half the campaigns on a slow disk, so that kills often
// land inside a commit). Afterwards the simulated network's log, the journal and
// the result workbook (read by python3-xlrd) must agree: no part reached the
// network twice, every recipient is settled, nothing the network accepted is
// shown as not sent. Then `--resend-uncertain` sends the uncertain ones.
//
// TALVANE_KILL_SEED=N draws the same kill moments again; the seed is printed
// with every failure.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "platform/test_folder.h"
#include "tests/campaign_runs.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The network answers a submission after this long, so that kills often land
// while a part is out and its answer not yet in.
constexpr int kNetworkDelayMs = 200;
// What a run of talvane-cli campaign takes besides its messages (starting,
// connecting to the modem, saying goodbye), what a message takes besides its
// parts and what one part takes: the moments of the kills are drawn over the
// remaining length of the campaign from these.
constexpr auto kRunOverhead = 1100ms;
constexpr auto kMessageOverhead = 150ms;
constexpr auto kPartTime = std::chrono::milliseconds(kNetworkDelayMs + 50);
// Half the campaigns have a slow disk under their journal (every sync of it
// this much slower), so that many kills land in the middle of a commit.
constexpr int kSlowSyncMs = 60;
constexpr int kSlowSyncsPerMessage = 2;
// Kills fall in the first part of the remaining length, so that most of them
// land before the campaign would have completed.
constexpr double kKillWindow = 0.7;
// At least this many kills: campaigns that complete before their planned
// kills are made up for by further campaigns (at most kMostCampaigns).
constexpr int kLeastKills = 100;
constexpr int kKillsPlanned = 11;
constexpr size_t kLeastCampaigns = 10;
constexpr size_t kMostCampaigns = 20;
// Campaigns killed and taken up side by side (each with its own modem).
constexpr int kSideBySide = 3;

struct CampaignPlan {
  std::string name;
  std::vector<std::string> numbers;
  std::string text;
  int partsEach = 1;
  int kills = 0;
  unsigned seed = 0;
  int syncDelayMs = 0;  // the journal's disk: 0 sound, otherwise this much slower a sync
};

struct CampaignOutcome {
  int kills = 0;
  int runs = 0;
  int uncertain = 0;
  std::vector<std::string> problems;
};

// A text of three parts in the GSM alphabet (more than 306, at most 459 characters).
std::string LongText() {
  std::string text;
  while (text.size() < 400) text += "Zapraszamy na otwarcie nowego sklepu w sobote o 10:00, rabaty do 30%. ";
  return text;
}

// The campaign numbered `index`: of one part or of three, in turns, each
// with numbers of its own; two in four on a slow disk.
CampaignPlan Plan(size_t index, unsigned seed) {
  const bool threeParts = index % 2 == 1;
  std::vector<std::string> numbers;
  const int count = threeParts ? 10 : 14;
  for (int n = 0; n < count; ++n) numbers.push_back(std::to_string(600100200 + 1000 * static_cast<int>(index) + n));
  return {"campaign" + std::to_string(index + 1),
          numbers,
          threeParts ? LongText() : "Dzien dobry, zapraszamy w sobote o 10:00.",
          threeParts ? 3 : 1,
          kKillsPlanned,
          seed + static_cast<unsigned>(index),
          index % 4 >= 2 ? kSlowSyncMs : 0};
}

class KilledCampaign {
 public:
  KilledCampaign(const CampaignPlan& plan, const fs::path& folder)
      : plan_(plan),
        folder_(folder),
        programDir_(folder / "program"),
        result_(folder / "wyniki_out.xls"),
        networkLog_(folder / "network.log"),
        simulator_({"--quiet", "--reference", "10", "--fault", "delay:" + std::to_string(kNetworkDelayMs), "AT+CMGS",
                    "--network-log", networkLog_.string()}) {}

  CampaignOutcome Run() {
    if (simulator_.Port().empty()) return Failed("the simulator did not start");
    std::mt19937 random(plan_.seed);
    while (outcome_.kills < plan_.kills) {
      const std::optional<e2e::CampaignSummary> campaign = e2e::NewestCampaign(programDir_);
      if (campaign && campaign->state == "finished") break;
      // Runs that keep ending by themselves before the campaign completes
      // make no progress.
      if (outcome_.runs > 3 * plan_.kills)
        return Failed("not finished after " + std::to_string(outcome_.runs) + " runs");
      const int messagesLeft = campaign ? campaign->left : static_cast<int>(plan_.numbers.size());
      const auto perMessage = kMessageOverhead + plan_.partsEach * kPartTime +
                              kSlowSyncsPerMessage * std::chrono::milliseconds(plan_.syncDelayMs);
      const auto length = kRunOverhead + messagesLeft * perMessage;
      std::uniform_int_distribution<long> moment(0, static_cast<long>(kKillWindow * Micros(length)));
      const fs::path errors = ErrorLog(++outcome_.runs);
      e2e::FileBoundProgram cli(Command(campaign), folder_ / "out.txt", errors);
      if (cli.EndsWithin(std::chrono::microseconds(moment(random)))) {
        if (cli.Status() != 0 && cli.Status() != 1)
          return Failed("run " + std::to_string(outcome_.runs) + " ended with " + std::to_string(cli.Status()) + ": " +
                        e2e::ReadFile(errors));
        continue;
      }
      cli.Kill();
      ++outcome_.kills;
    }
    if (!Complete(false)) return outcome_;
    const std::vector<e2e::JournalRow> settled = e2e::ShownRecipients(programDir_, 1);
    CheckSettled(settled);
    for (const e2e::JournalRow& row : settled) outcome_.uncertain += row.state == "uncertain" ? 1 : 0;
    if (!outcome_.problems.empty() || !Complete(true)) return outcome_;
    CheckResent(settled, e2e::ShownRecipients(programDir_, 1));
    return outcome_;
  }

 private:
  static long Micros(Clock::duration length) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(length).count());
  }

  CampaignOutcome Failed(const std::string& problem) {
    outcome_.problems.push_back(problem);
    return outcome_;
  }

  // Standard error of the run numbered `run`.
  fs::path ErrorLog(int run) const { return folder_ / ("err" + std::to_string(run) + ".txt"); }

  // A new campaign while the journal has none, its resumption afterwards.
  std::vector<std::string> Command(const std::optional<e2e::CampaignSummary>& campaign) const {
    if (!campaign) {
      return e2e::CliIn(programDir_,
                        {"campaign", "--port", simulator_.Port(), "--result", result_.string(), "--numbers",
                         e2e::Joined(plan_.numbers), plan_.text},
                        Disk());
    }
    return e2e::CliIn(programDir_, {"campaign", "--resume", std::to_string(campaign->id), "--port", simulator_.Port()},
                      Disk());
  }

  // The environment that slows the journal's disk down, if the plan says so.
  std::vector<std::string> Disk() const {
    if (plan_.syncDelayMs == 0) return {};
    return {"LD_PRELOAD=" + std::string(JOURNAL_EIO_SHIM), "TALVANE_EIO_DIR=" + programDir_.string(),
            "TALVANE_EIO_SYNC_DELAY_MS=" + std::to_string(plan_.syncDelayMs)};
  }

  // The campaign taken up once more and left to its end.
  bool Complete(bool resendUncertain) {
    const std::optional<e2e::CampaignSummary> before = e2e::NewestCampaign(programDir_);
    if (!resendUncertain && before && before->state == "finished") return true;
    std::vector<std::string> command = Command(before);
    if (resendUncertain) command.push_back("--resend-uncertain");
    const fs::path errors = ErrorLog(++outcome_.runs);
    e2e::FileBoundProgram cli(command, folder_ / "out.txt", errors);
    if (!cli.EndsWithin(180s)) {
      outcome_.problems.push_back("the last run did not end: " + e2e::ReadFile(errors));
      return false;
    }
    const std::optional<e2e::CampaignSummary> campaign = e2e::NewestCampaign(programDir_);
    if (!campaign || campaign->state != "finished" || campaign->left != 0) {
      outcome_.problems.push_back("not finished after the last run (exit " + std::to_string(cli.Status()) +
                                  "): " + e2e::ReadFile(errors));
      return false;
    }
    return true;
  }

  void Problem(const std::string& text) { outcome_.problems.push_back(text); }

  // What the network accepted, by national number: the parts and their references.
  struct Delivered {
    std::multiset<int> parts;
    std::multiset<int> references;
    std::set<std::string> concatReferences;
  };
  std::map<std::string, Delivered> DeliveredByNumber() const {
    std::map<std::string, Delivered> delivered;
    for (const e2e::Accepted& part : e2e::NetworkLog(networkLog_)) {
      Delivered& message = delivered[part.destination];
      message.parts.insert(part.part);
      message.references.insert(part.reference);
      message.concatReferences.insert(part.concatReference);
    }
    return delivered;
  }

  void CheckSettled(const std::vector<e2e::JournalRow>& rows) {
    CheckRows(rows, {"sent", "failed", "uncertain"});
    std::map<std::string, std::string> stateOf;
    for (const e2e::JournalRow& row : rows) stateOf[row.number] = row.state;
    const auto submissions = e2e::JournalSubmissions(programDir_);
    for (const auto& [number, message] : DeliveredByNumber()) {
      for (const int part : std::set<int>(message.parts.begin(), message.parts.end())) {
        if (message.parts.count(part) > 1)
          Problem("part " + std::to_string(part) + " to " + number + " accepted twice");
        if (submissions.count({number, part}) == 0) {
          Problem("part " + std::to_string(part) + " to " + number + " accepted without its submission in the journal");
        }
      }
      if (message.concatReferences.size() > 1) Problem("the parts to " + number + " carry different references");
      if (stateOf[number] != "sent" && stateOf[number] != "uncertain") {
        Problem(number + " accepted by the network, " + stateOf[number] + " in the journal");
      }
    }
    CheckSentWhole(rows);
    CheckWorkbook(rows);
  }

  void CheckResent(const std::vector<e2e::JournalRow>& before, const std::vector<e2e::JournalRow>& after) {
    CheckRows(after, {"sent", "failed"});
    std::set<std::string> uncertain;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i) {
      if (before[i].state == "uncertain") {
        uncertain.insert(before[i].number);
        if (after[i].state != "sent") Problem(after[i].number + " uncertain, then " + after[i].state + " when resent");
      } else if (after[i].state != before[i].state) {
        Problem(after[i].number + " " + before[i].state + ", then " + after[i].state +
                " when resending uncertain ones");
      }
    }
    for (const auto& [number, message] : DeliveredByNumber()) {
      for (const int part : std::set<int>(message.parts.begin(), message.parts.end())) {
        if (message.parts.count(part) > 1 && uncertain.count(number) == 0) {
          Problem("part " + std::to_string(part) + " to " + number + " accepted twice, never uncertain");
        }
      }
    }
    for (const e2e::JournalRow& row : after) {
      if (row.state != "sent") continue;
      const auto delivered = DeliveredByNumber();
      const auto found = delivered.find(row.number);
      for (int part = 1; part <= plan_.partsEach; ++part) {
        if (found == delivered.end() || found->second.parts.count(part) == 0) {
          Problem(row.number + " sent, its part " + std::to_string(part) + " never accepted");
        }
      }
    }
    CheckWorkbook(after);
  }

  // Every number of the list in its own row, in the list's order, in one of `states`.
  void CheckRows(const std::vector<e2e::JournalRow>& rows, const std::set<std::string>& states) {
    if (rows.size() != plan_.numbers.size()) {
      Problem("the journal shows " + std::to_string(rows.size()) + " recipients of " +
              std::to_string(plan_.numbers.size()));
      return;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].number != plan_.numbers[i]) Problem("row " + std::to_string(i + 1) + " holds " + rows[i].number);
      if (states.count(rows[i].state) == 0) Problem(rows[i].number + " left " + rows[i].state);
    }
  }

  // A message the journal shows sent reached the network whole, each part
  // under the reference the journal keeps.
  void CheckSentWhole(const std::vector<e2e::JournalRow>& rows) {
    const auto delivered = DeliveredByNumber();
    for (const e2e::JournalRow& row : rows) {
      if (row.state != "sent") continue;
      const auto found = delivered.find(row.number);
      std::multiset<int> expected;
      for (int part = 1; part <= plan_.partsEach; ++part) expected.insert(part);
      if (found == delivered.end() || found->second.parts != expected) {
        Problem(row.number + " sent in the journal, not whole in the network's log");
        continue;
      }
      if (std::multiset<int>(row.refs.begin(), row.refs.end()) != found->second.references) {
        Problem(row.number + ": the journal's references differ from the network's");
      }
    }
  }

  void CheckWorkbook(const std::vector<e2e::JournalRow>& rows) {
    const auto states = e2e::WorkbookStates(result_);
    if (states.size() != rows.size()) {
      Problem("the workbook has " + std::to_string(states.size()) + " rows, the journal " +
              std::to_string(rows.size()) + (states.empty() ? "" : ": " + states[0].first));
      return;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      if (states[i].first != rows[i].number || states[i].second != rows[i].state) {
        Problem("workbook row " + std::to_string(i + 1) + ": " + states[i].first + " " + states[i].second +
                ", journal: " + rows[i].number + " " + rows[i].state);
      }
    }
  }

  const CampaignPlan& plan_;
  fs::path folder_;
  fs::path programDir_;
  fs::path result_;
  fs::path networkLog_;
  e2e::SimulatorProcess simulator_;
  CampaignOutcome outcome_;
};

unsigned Seed() {
  if (const char* given = std::getenv("TALVANE_KILL_SEED"))
    return static_cast<unsigned>(std::strtoul(given, nullptr, 10));
  return std::random_device{}();
}

TEST(CampaignKill, KilledAtRandomMomentsAndResumedItSendsEveryPartOnceAndTheJournalAgreesWithTheNetwork) {
  platform::TestFolder folder;
  const unsigned seed = Seed();
  std::cout << "TALVANE_KILL_SEED=" << seed << std::endl;
  std::vector<CampaignPlan> plans;
  std::vector<CampaignOutcome> outcomes;
  std::mutex mutex;  // guards plans, outcomes and kills
  int kills = 0;
  const Clock::time_point start = Clock::now();
  std::vector<std::thread> workers;
  for (int w = 0; w < kSideBySide; ++w) {
    workers.emplace_back([&] {
      while (true) {
        std::unique_lock lock(mutex);
        const size_t index = plans.size();
        if (index >= kMostCampaigns || (index >= kLeastCampaigns && kills >= kLeastKills)) return;
        plans.push_back(Plan(index, seed));
        outcomes.emplace_back();
        const CampaignPlan plan = plans.back();
        lock.unlock();
        const fs::path place = folder / plan.name;
        fs::create_directories(place);
        CampaignOutcome outcome = KilledCampaign(plan, place).Run();
        lock.lock();
        kills += outcome.kills;
        outcomes[index] = std::move(outcome);
      }
    });
  }
  for (std::thread& worker : workers) worker.join();

  for (size_t i = 0; i < plans.size(); ++i) {
    const CampaignOutcome& outcome = outcomes[i];
    std::cout << plans[i].name << " (" << plans[i].partsEach << " parts, "
              << (plans[i].syncDelayMs > 0 ? "slow disk, " : "") << "seed " << plans[i].seed << "): " << outcome.kills
              << " kills, " << outcome.runs << " runs, " << outcome.uncertain << " uncertain" << std::endl;
    for (const std::string& problem : outcome.problems) {
      ADD_FAILURE() << plans[i].name << " (TALVANE_KILL_SEED=" << seed << ", its own seed " << plans[i].seed
                    << "): " << problem;
    }
  }
  std::cout << kills << " kills in " << std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count()
            << " s" << std::endl;
  EXPECT_GE(kills, kLeastKills) << "TALVANE_KILL_SEED=" << seed;
}

}  // namespace
