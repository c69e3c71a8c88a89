// `talvane-cli campaign` as a user runs it against talvane-modemsim: the
// JSON lines, the exit status, the result workbook read by python3-xlrd, and
// a campaign cut short by Ctrl-C or killed outright.

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/window_test_fixture.h"
#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

namespace fs = std::filesystem;
using app::testing::ResultRows;

// talvane-cli in the background, its standard output read line by line.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const fs::path& errPath) {
    int ends[2];
    if (::pipe(ends) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<std::string> all = {e2e::kCli};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, e2e::kCli.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    out_ = ends[0];
  }
  ~CliProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // The next line of standard output; empty at its end or after `timeout`.
  std::string ReadLine(std::chrono::seconds timeout = std::chrono::seconds(120)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{out_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
      char chunk[4096];
      const ssize_t n = ::read(out_, chunk, sizeof chunk);
      if (n <= 0) return {};
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }
  void Signal(int signal) { ::kill(pid_, signal); }
  // The exit status (-1 when killed by a signal).
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliCampaign : public ::testing::Test {
 protected:
  std::vector<std::string> Args(const std::string& numbers, const std::string& text = "Zażółć gęślą jaźń") {
    return {"campaign", "--port", simulator.Port(), "--result", result.string(), "--numbers", numbers, text};
  }

  platform::TestFolder folder;
  e2e::SimulatorProcess simulator{{"--quiet", "--reference", "12"}};
  fs::path result = folder / "wyniki_out.xls";
  fs::path err = folder / "err.txt";
};

TEST_F(CliCampaign, SendsToEveryNumberAndRefusesANumberWithLetters) {
  CliProcess cli(Args("600100200, 60010020a ,600100201"), err);
  std::vector<std::string> lines;
  for (std::string line = cli.ReadLine(); !line.empty(); line = cli.ReadLine()) lines.push_back(line);
  EXPECT_EQ(cli.Wait(), 1) << ReadFile(err);
  ASSERT_EQ(lines.size(), 4u) << ReadFile(err);
  // The refused number completes at once, while the first message is still out.
  EXPECT_EQ(lines[0], R"({"number":"60010020a","status":"failed","parts":0,"failed_parts":0,"refs":[]})");
  EXPECT_EQ(lines[1], R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[12]})");
  EXPECT_EQ(lines[2], R"({"number":"600100201","status":"sent","parts":1,"failed_parts":0,"refs":[13]})");
  EXPECT_TRUE(lines[3].starts_with(R"({"sent":2,"failed":1,"not_sent":[],"result_file":")" + result.string() +
                                   R"(","seconds":)"))
      << lines[3];
  EXPECT_NE(ReadFile(err).find("BŁĄD! nie udało się wysłać wiadomości do: +4860010020a"), std::string::npos);
  EXPECT_EQ(ResultRows(result),
            (std::vector<std::string>{"60010020a\tred", "600100200\tgreen", "600100201\tgreen"}));
}

TEST_F(CliCampaign, CtrlCStopsKeepsTheResultsAndExitsWith130) {
  CliProcess cli(Args("600100200,600100201,600100202,600100203"), err);
  const std::string first = cli.ReadLine();
  ASSERT_EQ(first, R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[12]})")
      << ReadFile(err);
  cli.Signal(SIGINT);
  const std::string closing = cli.ReadLine();
  EXPECT_EQ(cli.Wait(), 130) << ReadFile(err);
  // The message being sent when Ctrl-C came may have been reported meanwhile.
  EXPECT_TRUE(closing.find(R"("not_sent":["600100201","600100202","600100203"])") != std::string::npos ||
              closing.find(R"("not_sent":["600100202","600100203"])") != std::string::npos ||
              closing.starts_with(R"({"number":"600100201")"))
      << closing;
  const std::vector<std::string> rows = ResultRows(result);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "600100200\tgreen");
  EXPECT_EQ(rows[3], "600100203\tnone");
}

TEST_F(CliCampaign, KilledInTheMiddleLeavesAReadableWorkbookWithEveryReportedMessage) {
  CliProcess cli(Args("600100200,600100201,600100202"), err);
  ASSERT_EQ(cli.ReadLine(), R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[12]})")
      << ReadFile(err);
  cli.Signal(SIGKILL);
  EXPECT_EQ(cli.Wait(), -1);
  const std::vector<std::string> rows = ResultRows(result);
  ASSERT_EQ(rows.size(), 3u) << (rows.empty() ? "" : rows[0]);
  EXPECT_EQ(rows[0], "600100200\tgreen");
  // Rows of messages not reported keep the numbers as the import left them.
  EXPECT_EQ(rows[2], "600100202\tnone");
  EXPECT_FALSE(fs::exists(folder / "wyniki_out.xls.tmp"));
}

TEST_F(CliCampaign, BadArgumentsSendNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"campaign", "--numbers", "600100200", "tekst"}, "--port is required"},
      {{"campaign", "--port", simulator.Port(), "--numbers", "60010020", "tekst"}, "nine characters"},
      {{"campaign", "--port", simulator.Port(), "--numbers", "600100200"}, "TEXT (or --text-file) expected"},
      {{"campaign", "--port", simulator.Port(), "--text-file", (folder / "missing.txt").string(), "--numbers",
        "600100200"},
       "missing.txt"},
      {{"campaign", "--port", simulator.Port(), "--numbers", "600100200", "--frobnicate", "tekst"}, "unknown option"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> command = {e2e::kCli};
    command.insert(command.end(), c.args.begin(), c.args.end());
    const e2e::Result run = e2e::RunProgram(command);
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_NE(run.out.find(c.error), std::string::npos) << run.out;
  }
  EXPECT_FALSE(fs::exists(result));
}

TEST_F(CliCampaign, AnEmptyTextSendsNothing) {
  std::ofstream(folder / "text.txt") << " \n ";
  const e2e::Result run = e2e::RunProgram({e2e::kCli, "campaign", "--port", simulator.Port(), "--result",
                                           result.string(), "--text-file", (folder / "text.txt").string(),
                                           "--numbers", "600100200"});
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_NE(run.out.find("the message text is empty"), std::string::npos) << run.out;
}

}  // namespace
