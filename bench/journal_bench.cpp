// The campaign journal on this machine's disk (synchronous=FULL: every
// operation waits for its sync).
//
// BM_JournalPerPart: what the journal adds to one message part: recording it
// as submitting (before its PDU may leave) and recording its answer. Median
// and 99th percentile as counters. Goal: the 99th percentile under 5 ms.
//
// BM_JournalResume65535: resuming a campaign of 65,535 recipients after a
// crash: opening the journal (with its quick check), recovering the messages
// in flight and summing the campaign up. Goal: under 1 s.
//
// BM_JournalFileSize10000: the journal file for 10,000 recipients, queued and
// then each sent in one part (bytes as counters).
//
// BM_PartTotalTime: beside the journal's cost, one part's whole way through
// the modem component and talvane-modemsim on a pseudo-terminal (SendSMS to
// its OnPartReport; the engine at its real timings, the network answering at
// once), without and with the journal's write-ahead (the message taken, the
// part recorded submitting before its PDU goes, its answer recorded); the
// iterations alternate between the two. Medians and 99th percentiles of
// both, and the journal's share of the part's total time (of the medians).

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <vector>

#include "bench/sending_rig.h"
#include "journal/sqlite_journal.h"
#include "modem/engine_timing.h"
#include "platform/test_folder.h"

namespace {

using journal::TCampaignId;
using journal::TSqliteJournal;
using Clock = std::chrono::steady_clock;

std::vector<journal::TRecipientEntry> Recipients(int count) {
  std::vector<journal::TRecipientEntry> recipients;
  recipients.reserve(static_cast<size_t>(count));
  for (int row = 1; row <= count; ++row) {
    const std::string number = std::to_string(500000000 + row);
    recipients.push_back({row, number, number, "+48" + number});
  }
  return recipients;
}

const journal::TNewCampaign kCampaign{"Zapraszamy na otwarcie nowego sklepu w sobote o 10:00.", false, false,
                                      "/home/ola/lista.xls", "/home/ola/lista_out.xls"};

std::unique_ptr<TSqliteJournal> Open(const std::filesystem::path& file) {
  auto opened = TSqliteJournal::Open(file);
  return opened ? std::move(*opened) : nullptr;
}

double Millis(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Percentile(std::vector<double> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  return samples[static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1))];
}

struct PartTimes {
  Clock::duration submitting{};  // what the PDU waits for
  Clock::duration both{};        // and the answer
};

// Sends one message of one part through the journal, timing its two records.
PartTimes SendOnePart(TSqliteJournal& journal, TCampaignId campaign, benchmark::State& state) {
  auto job = journal.TakeNext(campaign, "356938035643809");
  if (!job || !job->has_value()) {
    state.SkipWithError("no message to take");
    return {};
  }
  const Clock::time_point start = Clock::now();
  const bool recorded =
      static_cast<bool>(journal.RecordSubmitting({(*job)->id, 1, 1, std::nullopt, "356938035643809"}));
  const Clock::time_point submitted = Clock::now();
  const bool answered = static_cast<bool>(journal.RecordAnswer({(*job)->id, 1, true, 17, {}}));
  const Clock::time_point end = Clock::now();
  if (!recorded || !answered) state.SkipWithError("a record failed");
  return {submitted - start, end - start};
}

void BM_JournalPerPart(benchmark::State& state) {
  platform::TestFolder folder;
  auto journal = Open(folder / "journal.sqlite");
  auto campaign = journal->CreateCampaign(kCampaign, Recipients(static_cast<int>(state.max_iterations)));
  std::vector<double> parts, submissions;
  for (auto _ : state) {
    const PartTimes took = SendOnePart(*journal, *campaign, state);
    state.SetIterationTime(std::chrono::duration<double>(took.both).count());
    parts.push_back(Millis(took.both));
    submissions.push_back(Millis(took.submitting));
  }
  state.counters["median_ms"] = Percentile(parts, 0.5);
  state.counters["p99_ms"] = Percentile(parts, 0.99);
  state.counters["submit_median_ms"] = Percentile(submissions, 0.5);
  state.counters["submit_p99_ms"] = Percentile(submissions, 0.99);
}
BENCHMARK(BM_JournalPerPart)->Iterations(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// The state a crash leaves: half the campaign sent, two modems with a
// message each in flight (one with its part submitted, one just taken).
void LeaveACampaignInFlight(const std::filesystem::path& file, TCampaignId& campaign) {
  auto journal = Open(file);
  if (campaign == 0) {
    campaign = *journal->CreateCampaign(kCampaign, Recipients(65535));
    // Half of it sent, written straight into the tables: sending 32,768
    // messages through synced commits would take the benchmark minutes.
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db,
                 "BEGIN;"
                 "UPDATE recipients SET state = 'sent', parts = 1, modem = '356938035643809' WHERE id % 2 = 0;"
                 "INSERT INTO parts (recipient_id, part_no, state, modem, reference, submitted_ms, answered_ms) "
                 "SELECT id, 1, 'sent', modem, id % 256, updated_ms, updated_ms FROM recipients WHERE state = 'sent';"
                 "COMMIT;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  auto first = journal->TakeNext(campaign, "IMEI-A");
  (void)journal->RecordSubmitting({(**first).id, 1, 1, std::nullopt, "IMEI-A"});
  (void)journal->TakeNext(campaign, "IMEI-B");
}

void BM_JournalResume65535(benchmark::State& state) {
  platform::TestFolder folder;
  const auto file = folder / "journal.sqlite";
  TCampaignId campaign = 0;
  int uncertain = 0, left = 0;
  for (auto _ : state) {
    state.PauseTiming();
    LeaveACampaignInFlight(file, campaign);
    state.ResumeTiming();
    auto journal = Open(file);
    auto report = journal->Recover(campaign);
    auto summary = journal->Summary(campaign);
    state.PauseTiming();
    if (!report || !summary || report->uncertain != 1 || report->resumed != 1) state.SkipWithError("recovery failed");
    uncertain = summary ? summary->uncertain : 0;
    left = summary ? summary->left : 0;
    journal.reset();
    state.ResumeTiming();
  }
  state.counters["uncertain"] = uncertain;
  state.counters["left"] = left;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}
BENCHMARK(BM_JournalResume65535)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_JournalFileSize10000(benchmark::State& state) {
  for (auto _ : state) {
    platform::TestFolder folder;
    const auto file = folder / "journal.sqlite";
    auto journal = Open(file);
    auto campaign = journal->CreateCampaign(kCampaign, Recipients(10000));
    journal.reset();  // the log written back into the file
    state.counters["bytes_queued"] = static_cast<double>(std::filesystem::file_size(file));
    journal = Open(file);
    for (int i = 0; i < 10000; ++i) SendOnePart(*journal, *campaign, state);
    journal.reset();
    state.counters["bytes_sent"] = static_cast<double>(std::filesystem::file_size(file));
  }
}
BENCHMARK(BM_JournalFileSize10000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_PartTotalTime(benchmark::State& state) {
  constexpr const char* kModem = "356938035643809";
  modem::timing::SetScale(1.0);
  modem::timing::SetModemWaitFloor(0);
  bench::SendingRig rig;
  auto journal = Open(rig.folder / "journal.sqlite");
  auto campaign = journal->CreateCampaign(kCampaign, Recipients(static_cast<int>(state.max_iterations)));
  // Written on this thread before a part is sent, read on the engine's.
  std::atomic<bool> journaled = false;
  std::atomic<journal::TRecipientId> message = 0;
  Clock::time_point reported;
  bool recorded = true;
  rig.aboutToSubmit = [&](const modem::TQueuedPart& part) {
    if (!journaled) return true;
    return static_cast<bool>(
        journal->RecordSubmitting({message, part.partNumber, part.totalParts, std::nullopt, kModem}));
  };
  rig.partReported = [&](const modem::TPartReport& report) {
    if (journaled)
      recorded =
          recorded && static_cast<bool>(journal->RecordAnswer(
                          {message, report.part.partNumber, report.sent, report.reference, {}, report.uncertain}));
    reported = Clock::now();
  };
  if (!rig.sim.Start() || !rig.Connect(std::chrono::seconds(60))) {
    state.SkipWithError("no connection to the simulated modem");
    return;
  }
  std::vector<double> without, with;
  for (auto _ : state) {
    journaled = with.size() < without.size();
    const Clock::time_point start = Clock::now();
    if (journaled) {
      auto job = journal->TakeNext(*campaign, kModem);
      if (!job || !job->has_value()) {
        state.SkipWithError("no message to take");
        break;
      }
      message = (*job)->id;
    }
    if (!rig.Send(kCampaign.text, 1, std::chrono::seconds(30))) {
      state.SkipWithError("no report");
      break;
    }
    const double took = Millis(reported - start);
    state.SetIterationTime(took / 1000);
    (journaled ? with : without).push_back(took);
  }
  if (!recorded) state.SkipWithError("an answer was not recorded");
  if (with.empty() || without.empty()) return;
  state.counters["without_median_ms"] = Percentile(without, 0.5);
  state.counters["without_p99_ms"] = Percentile(without, 0.99);
  state.counters["with_median_ms"] = Percentile(with, 0.5);
  state.counters["with_p99_ms"] = Percentile(with, 0.99);
  state.counters["journal_share_pct"] =
      100.0 * (Percentile(with, 0.5) - Percentile(without, 0.5)) / Percentile(with, 0.5);
}
BENCHMARK(BM_PartTotalTime)->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
