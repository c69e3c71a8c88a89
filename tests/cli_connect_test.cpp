// talvane-cli connect and ports, run as a user runs them, against the
// talvane-modemsim program.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string kCli = std::string(TALVANE_BINARY_DIR) + "/app/cli/talvane-cli";
const std::string kSimulator = std::string(TALVANE_BINARY_DIR) + "/tools/modemsim/talvane-modemsim";

struct Result {
  int status = -1;
  std::string out;
};

// Runs a program to its end; its output and error output together.
Result RunProgram(const std::vector<std::string>& args) {
  std::string command;
  for (const std::string& arg : args) command += "'" + arg + "' ";
  command += "2>&1";
  Result result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, count);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// talvane-modemsim in the background; its first line names the port.
class SimulatorProcess {
 public:
  SimulatorProcess() {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv = {const_cast<char*>(kSimulator.c_str()), nullptr};
    if (::posix_spawn(&pid_, kSimulator.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output_ = ::fdopen(pipeEnds[0], "r");
    char line[512];
    if (output_ != nullptr && std::fgets(line, sizeof line, output_) != nullptr) {
      port_ = line;
      while (!port_.empty() && (port_.back() == '\n' || port_.back() == '\r')) port_.pop_back();
    }
  }
  ~SimulatorProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
    if (output_ != nullptr) std::fclose(output_);
  }
  const std::string& Port() const { return port_; }

 private:
  pid_t pid_ = -1;
  FILE* output_ = nullptr;
  std::string port_;
};

// Position of `line` as a whole line of `text` at or after `from`; npos when absent.
size_t FindLine(const std::string& text, const std::string& line, size_t from = 0) {
  for (size_t at = text.find(line, from); at != std::string::npos; at = text.find(line, at + 1)) {
    const bool starts = at == 0 || text[at - 1] == '\n';
    const bool ends = at + line.size() == text.size() || text[at + line.size()] == '\n';
    if (starts && ends) return at;
  }
  return std::string::npos;
}

TEST(CliConnect, PrintsTheConnectionWithTheSimulatedModem) {
  SimulatorProcess simulator;
  ASSERT_FALSE(simulator.Port().empty());
  const Result result = RunProgram({kCli, "connect", "--port", simulator.Port(), "--seconds", "3", "--at", "AT+CSQ"});
  EXPECT_EQ(result.status, 0) << result.out;
  const std::string& out = result.out;

  const size_t connecting = FindLine(out, "OnConnecting");
  const size_t model = FindLine(out, "OnGetModelGSM TALVANE/MODEMSIM 351234567890125 \\r\\nRevision 1.0 20 100");
  const size_t connected = FindLine(out, "OnConnected");
  const size_t status = FindLine(out, "OnQuietError OK");
  const size_t power = FindLine(out, "OnCheckSignalPower -1 false 85 BAT");
  const size_t signal = FindLine(out, "OnCheckSignalPower 85 false -1 ANT");
  ASSERT_NE(connecting, std::string::npos) << out;
  EXPECT_LT(connecting, model) << out;
  EXPECT_LT(model, connected) << out;
  EXPECT_LT(connected, status) << out;
  EXPECT_LT(status, power) << out;
  EXPECT_LT(power, signal) << out;
  EXPECT_NE(FindLine(out, "  Initializing Modem GSM"), std::string::npos) << out;

  // The caller's command comes back as one report, its lines indented.
  const size_t report =
      out.find("OnAfterComRx\n  ******* AT Command ********\n  AT+CSQ\n  > \n  +CSQ: 17,99\n", status);
  EXPECT_NE(report, std::string::npos) << out;

  // Then the disconnection with the reset, and the end.
  const size_t reset = FindLine(out, "  Modem OFF with soft RESET: [AT&F] ", status);
  const size_t disconnected = FindLine(out, "OnDisconnected", status);
  EXPECT_NE(reset, std::string::npos) << out;
  EXPECT_LT(reset, disconnected) << out;
  EXPECT_EQ(out.substr(out.size() - std::string("OnDisconnected\nOnGSMDeActivate\n").size()),
            "OnDisconnected\nOnGSMDeActivate\n");
}

TEST(CliConnect, PortThatDoesNotExist) {
  const Result result = RunProgram({kCli, "connect", "--port", "/dev/talvane-no-such-port", "--seconds", "1"});
  EXPECT_EQ(result.status, 1) << result.out;
  EXPECT_NE(FindLine(result.out,
                     "OnQuietError SerialConnect error [/dev/talvane-no-such-port] : No such file or directory"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(FindLine(result.out, "OnConnected"), std::string::npos);
}

TEST(CliConnect, BadArgumentsShowTheUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {kCli, "connect"},
           {kCli, "connect", "--port"},
           {kCli, "connect", "--port", "/dev/null", "--seconds", "0"},
           {kCli, "connect", "--port", "/dev/null", "--speed", "9600"}}) {
    const Result result = RunProgram(args);
    EXPECT_EQ(result.status, 2) << result.out;
    EXPECT_NE(result.out.find("usage: talvane-cli connect --port PORT"), std::string::npos) << result.out;
  }
}

TEST(CliPorts, ListsOneNameALine) {
  const Result result = RunProgram({kCli, "ports"});
  EXPECT_EQ(result.status, 0) << result.out;
  for (size_t start = 0; start < result.out.size();) {
    const size_t end = result.out.find('\n', start);
    ASSERT_NE(end, std::string::npos) << result.out;
    EXPECT_EQ(result.out.compare(start, 5, "/dev/"), 0) << result.out;
    start = end + 1;
  }
  EXPECT_EQ(RunProgram({kCli, "ports", "extra"}).status, 2);
}

}  // namespace
