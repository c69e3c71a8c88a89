#pragma once
// Running talvane-cli and talvane-modemsim as a user runs them: a program to
// its end with its output, and the simulated modem in the background.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace e2e {

inline const std::string kCli = std::string(TALVANE_BINARY_DIR) + "/app/cli/talvane-cli";
inline const std::string kSimulator = std::string(TALVANE_BINARY_DIR) + "/tools/modemsim/talvane-modemsim";

struct Result {
  int status = -1;
  std::string out;
};

inline std::string ShellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a program to its end; its output and error output together.
inline Result RunProgram(const std::vector<std::string>& args) {
  std::string command;
  for (const std::string& arg : args) command += ShellQuote(arg) + " ";
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

// talvane-modemsim in the background with the given options; its first line
// names the port. Its traffic log (stderr) goes to `logPath`, or nowhere.
class SimulatorProcess {
 public:
  explicit SimulatorProcess(const std::vector<std::string>& options = {}, const std::string& logPath = "/dev/null") {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<std::string> args = {kSimulator};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
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
  ~SimulatorProcess() { Stop(); }
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  const std::string& Port() const { return port_; }

  // Ends the simulator (its log is complete afterwards).
  void Stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (output_ != nullptr) std::fclose(output_);
    output_ = nullptr;
  }

 private:
  pid_t pid_ = -1;
  FILE* output_ = nullptr;
  std::string port_;
};

// Position of `line` as a whole line of `text` at or after `from`; npos when absent.
inline size_t FindLine(const std::string& text, const std::string& line, size_t from = 0) {
  for (size_t at = text.find(line, from); at != std::string::npos; at = text.find(line, at + 1)) {
    const bool starts = at == 0 || text[at - 1] == '\n';
    const bool ends = at + line.size() == text.size() || text[at + line.size()] == '\n';
    if (starts && ends) return at;
  }
  return std::string::npos;
}

}  // namespace e2e
