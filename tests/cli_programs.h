#pragma once
// Running Talvane's programs (talvane-cli, talvane-modemsim) and the
// independent tools that check them as a user runs them: a program to its end
// with what it printed, or a program in the background read line by line.
// Arguments go to the program as they are, through no shell, so no test
// quotes anything; "env NAME=VALUE program ..." sets the environment.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace e2e {

inline const std::string kCli = std::string(TALVANE_BINARY_DIR) + "/app/cli/talvane-cli";
inline const std::string kSimulator = std::string(TALVANE_BINARY_DIR) + "/tools/modemsim/talvane-modemsim";

// How a finished program's two outputs are kept.
enum class Streams {
  Merged,    // both in `out`, in the order written, as a terminal shows them
  Separate,  // standard output in `out`, standard error in `err`
};

struct Result {
  int status = -1;  // the exit status; -1 when a signal ended the program
  std::string out;
  std::string err;
};

namespace detail {

// A file without a name holding `text`, read from its start; -1 on failure.
inline int InputFile(std::string_view text) {
  std::string pattern = (std::filesystem::temp_directory_path() / "talvane-input-XXXXXX").string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return -1;
  ::unlink(pattern.c_str());
  for (size_t written = 0; written < text.size();) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

// Starts `args` (found on PATH unless a path is given) with standard input
// from `inFd` (from /dev/null when negative), standard output to `outFd` and
// standard error to `errFd` (or to the file `errPath` when `errFd` is
// negative). Returns the process id, or -1.
inline pid_t Spawn(const std::vector<std::string>& args, int outFd, int errFd, const std::string& errPath = "",
                   int inFd = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (inFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, inFd, STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
  if (errFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

inline int ExitStatus(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace detail

// Runs a program to its end, `input` on its standard input.
inline Result RunProgram(const std::vector<std::string>& args, Streams streams = Streams::Merged,
                         std::string_view input = {}) {
  Result result;
  int outPipe[2];
  int errPipe[2] = {-1, -1};
  if (::pipe2(outPipe, O_CLOEXEC) != 0) return result;
  if (streams == Streams::Separate && ::pipe2(errPipe, O_CLOEXEC) != 0) {
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return result;
  }
  const int inFd = input.empty() ? -1 : detail::InputFile(input);
  const pid_t pid =
      detail::Spawn(args, outPipe[1], streams == Streams::Separate ? errPipe[1] : outPipe[1], "", inFd);
  if (inFd >= 0) ::close(inFd);
  ::close(outPipe[1]);
  if (errPipe[1] >= 0) ::close(errPipe[1]);
  // Both pipes are drained together, so that a program filling one of them
  // never waits for a reader busy with the other.
  struct Reader {
    int fd;
    std::string* text;
  } readers[] = {{outPipe[0], &result.out}, {errPipe[0], &result.err}};
  while (true) {
    pollfd polled[2];
    nfds_t count = 0;
    for (const Reader& reader : readers) {
      if (reader.fd >= 0) polled[count++] = {reader.fd, POLLIN, 0};
    }
    if (count == 0 || ::poll(polled, count, -1) < 0) break;
    for (nfds_t i = 0; i < count; ++i) {
      if (polled[i].revents == 0) continue;
      for (Reader& reader : readers) {
        if (reader.fd != polled[i].fd) continue;
        char buffer[4096];
        const ssize_t n = ::read(reader.fd, buffer, sizeof buffer);
        if (n > 0) {
          reader.text->append(buffer, static_cast<size_t>(n));
        } else {
          ::close(reader.fd);
          reader.fd = -1;
        }
      }
    }
  }
  for (const Reader& reader : readers) {
    if (reader.fd >= 0) ::close(reader.fd);
  }
  if (pid > 0) result.status = detail::ExitStatus(pid);
  return result;
}

// talvane-cli with `args`.
inline Result RunCli(std::vector<std::string> args, Streams streams = Streams::Merged) {
  args.insert(args.begin(), kCli);
  return RunProgram(args, streams);
}

// A program in the background; its standard output read line by line, its
// standard error in the file `errPath`. Killed when the object goes, unless
// it was waited for.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::vector<std::string>& args, const std::string& errPath) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    pid_ = detail::Spawn(args, ends[1], -1, errPath);
    ::close(ends[1]);
    out_ = ends[0];
  }
  ~BackgroundProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // The next line of standard output without its line end; empty at its end
  // or after `timeout`.
  std::string ReadLine(std::chrono::seconds timeout = std::chrono::seconds(120)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd polled{out_, POLLIN, 0};
      if (out_ < 0 || left.count() <= 0 || ::poll(&polled, 1, static_cast<int>(left.count())) <= 0) return {};
      char chunk[4096];
      const ssize_t n = ::read(out_, chunk, sizeof chunk);
      if (n <= 0) return {};
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }
  void Signal(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
  }
  // The exit status once the program ended (-1 when a signal ended it).
  int Wait() {
    if (pid_ <= 0) return -1;
    const int status = detail::ExitStatus(pid_);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

// talvane-modemsim in the background with the given options; its first line
// names the port. Its traffic log (stderr) goes to `logPath`, or nowhere.
class SimulatorProcess {
 public:
  explicit SimulatorProcess(const std::vector<std::string>& options = {}, const std::string& logPath = "/dev/null")
      : program_(WithSimulator(options), logPath), port_(program_.ReadLine()) {}
  ~SimulatorProcess() { Stop(); }
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  const std::string& Port() const { return port_; }

  // Ends the simulator (its log is complete afterwards).
  void Stop() {
    program_.Signal(SIGTERM);
    program_.Wait();
  }

 private:
  static std::vector<std::string> WithSimulator(std::vector<std::string> options) {
    options.insert(options.begin(), kSimulator);
    return options;
  }

  BackgroundProgram program_;
  std::string port_;
};

// The whole content of a file (empty when it cannot be read).
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of `text`, without their line ends; a last line without one too.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return lines;
}

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
