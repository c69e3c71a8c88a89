#pragma once
// Campaigns of talvane-cli run whole against talvane-modemsim, cut short and
// taken up again, and what the outside world says about them afterwards: the
// simulated network's log of what it accepted, the journal as
// `talvane-cli campaigns` shows it (and its part log as sqlite3 reads it), and
// the result workbook as python3-xlrd reads it.
//
// Threads: every function works on its own files and processes; several
// campaigns may run side by side from different threads.

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/window/window_test_fixture.h"
#include "tests/cli_programs.h"
#include "tests/json_fields.h"

namespace e2e {

// talvane-cli with its own data folder (journal included): the campaigns of
// one test never meet another's, nor the user's.
inline std::vector<std::string> CliIn(const std::filesystem::path& programDir, std::vector<std::string> args,
                                      const std::vector<std::string>& environment = {}) {
  std::vector<std::string> command = {"env", "TALVANE_PROGRAM_DIR=" + programDir.string()};
  command.insert(command.end(), environment.begin(), environment.end());
  command.push_back(kCli);
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

// Numbers as --numbers takes them.
inline std::string Joined(const std::vector<std::string>& numbers) {
  std::string list;
  for (const std::string& number : numbers) list += (list.empty() ? "" : ",") + number;
  return list;
}

// A program in the background with both outputs in files: left to end by
// itself, or killed at a chosen moment. Killed when the object goes.
class FileBoundProgram {
 public:
  FileBoundProgram(const std::vector<std::string>& args, const std::filesystem::path& out,
                   const std::filesystem::path& err) {
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (outFd < 0) return;
    pid_ = detail::Spawn(args, outFd, -1, err.string());
    ::close(outFd);
  }
  ~FileBoundProgram() { Kill(); }
  FileBoundProgram(const FileBoundProgram&) = delete;
  FileBoundProgram& operator=(const FileBoundProgram&) = delete;

  // True when the program ended by itself within `wait` (its exit status in
  // Status()); it runs on otherwise.
  bool EndsWithin(std::chrono::microseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (pid_ > 0) {
      int status = 0;
      const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
      if (ended == pid_ || ended < 0) {
        status_ = ended == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        return true;
      }
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) return false;
      std::this_thread::sleep_for(
          std::min<std::chrono::steady_clock::duration>(deadline - now, std::chrono::milliseconds(2)));
    }
    return true;  // never started, or ended before
  }
  // SIGKILL, as a power cut or the OOM killer ends a program.
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    status_ = -1;
  }
  // The exit status; -1 when a signal ended it.
  int Status() const { return status_; }

 private:
  static constexpr int kNotStarted = -2;
  pid_t pid_ = -1;
  int status_ = kNotStarted;
};

// One submission the simulated network accepted.
struct Accepted {
  std::string destination;      // the national number (nine digits)
  int reference = -1;           // the message reference the network gave it
  std::string concatReference;  // "-" for a message of one part
  int part = 1;
  int parts = 1;
};

// The last nine digits of a number as a PDU addresses it ("+48600100200",
// "48600100200").
inline std::string NationalNumber(const std::string& number) {
  return number.size() > 9 ? number.substr(number.size() - 9) : number;
}

// The lines of a simulator's --network-log.
inline std::vector<Accepted> NetworkLog(const std::filesystem::path& log) {
  std::vector<Accepted> accepted;
  for (const std::string& line : Lines(ReadFile(log))) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() < 7 || fields[0] != "accepted") continue;
    const bool single = fields[3] == "-";
    accepted.push_back({NationalNumber(fields[1]), std::atoi(fields[2].c_str()), fields[3],
                        single ? 1 : std::atoi(fields[4].c_str()), single ? 1 : std::atoi(fields[5].c_str())});
  }
  return accepted;
}

// A recipient as `talvane-cli campaigns show ID` shows it.
struct JournalRow {
  int row = 0;
  std::string number;
  std::string state;
  int parts = 0;
  std::vector<int> refs;
};

inline std::vector<int> JsonInts(const std::string& line, const std::string& key) {
  std::vector<int> values;
  const std::string tag = "\"" + key + "\":[";
  const size_t start = line.find(tag);
  if (start == std::string::npos) return values;
  std::stringstream list(line.substr(start + tag.size(), line.find(']', start) - start - tag.size()));
  for (std::string value; std::getline(list, value, ',');) values.push_back(std::atoi(value.c_str()));
  return values;
}

inline std::vector<JournalRow> ShownRecipients(const std::filesystem::path& programDir, int campaign) {
  std::vector<JournalRow> rows;
  const Result shown =
      RunProgram(CliIn(programDir, {"campaigns", "show", std::to_string(campaign)}), Streams::Separate);
  for (const std::string& line : Lines(shown.out)) {
    if (line.empty()) continue;
    rows.push_back({std::atoi(JsonField(line, "row").c_str()), JsonField(line, "number"), JsonField(line, "state"),
                    std::atoi(JsonField(line, "parts").c_str()), JsonInts(line, "refs")});
  }
  return rows;
}

// The journal's newest campaign as `talvane-cli campaigns` lists it: its id,
// state and the recipients left; nullopt when the journal has none.
struct CampaignSummary {
  int id = 0;
  std::string state;
  int left = 0;
  int uncertain = 0;
};

inline std::optional<CampaignSummary> NewestCampaign(const std::filesystem::path& programDir) {
  const Result listed = RunProgram(CliIn(programDir, {"campaigns"}), Streams::Separate);
  const std::vector<std::string> lines = Lines(listed.out);
  if (listed.status != 0 || lines.empty() || lines[0].empty()) return std::nullopt;
  return CampaignSummary{std::atoi(JsonField(lines[0], "id").c_str()), JsonField(lines[0], "state"),
                         std::atoi(JsonField(lines[0], "left").c_str()),
                         std::atoi(JsonField(lines[0], "uncertain").c_str())};
}

// Every (national number, part number) the journal's part log holds a
// submission of, read by sqlite3 from the journal file itself.
inline std::multiset<std::pair<std::string, int>> JournalSubmissions(const std::filesystem::path& programDir) {
  const std::string query =
      "SELECT r.number || ' ' || p.part_no FROM parts p JOIN recipients r ON r.id = p.recipient_id;";
  const Result read = RunProgram({"sqlite3", (programDir / "journal.sqlite").string(), query}, Streams::Separate);
  std::multiset<std::pair<std::string, int>> submissions;
  for (const std::string& line : Lines(read.out)) {
    const size_t space = line.find(' ');
    if (space != std::string::npos) submissions.insert({line.substr(0, space), std::atoi(line.c_str() + space + 1)});
  }
  return submissions;
}

// The state of a recipient a result workbook's row shows by its fill, as
// python3-xlrd reads it: green sent, red failed, yellow uncertain, none for
// a number not yet settled.
inline std::string StateOfFill(const std::string& fill) {
  if (fill == "green") return "sent";
  if (fill == "red") return "failed";
  if (fill == "yellow" || fill == "(255, 255, 0)") return "uncertain";
  if (fill == "none") return "queued";
  return "fill " + fill;
}

// The rows of a result workbook: the number and the state its fill shows.
inline std::vector<std::pair<std::string, std::string>> WorkbookStates(const std::filesystem::path& workbook) {
  std::vector<std::pair<std::string, std::string>> states;
  for (const std::string& row : app::testing::ResultRows(workbook)) {
    const size_t tab = row.find('\t');
    if (tab == std::string::npos) {
      states.push_back({row, "unreadable"});
    } else {
      states.push_back({row.substr(0, tab), StateOfFill(row.substr(tab + 1))});
    }
  }
  return states;
}

}  // namespace e2e
