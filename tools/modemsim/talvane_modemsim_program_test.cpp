// The talvane-modemsim program as talvane.sh runs it: the port on the first
// line of its output, the traffic on stderr, an orderly end on SIGTERM.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/read_file.h"
#include "platform/serial_port.h"
#include "platform/test_folder.h"

namespace modemsim {
namespace {

// Reads from `fd` until `stop` appears or the time runs out.
std::string ReadUntil(int fd, const std::string& stop, int timeoutMs = 5000) {
  std::string text;
  for (int waited = 0; text.find(stop) == std::string::npos && waited < timeoutMs; waited += 10) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, 10) <= 0) continue;
    char buffer[512];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count <= 0) break;
    text.append(buffer, static_cast<size_t>(count));
  }
  return text;
}

// The program started with `options`, its stdout and stderr on pipes.
struct RunningSimulator {
  pid_t pid = 0;
  int out = -1;
  int err = -1;
};

RunningSimulator Spawn(const std::vector<std::string>& options) {
  const std::string program = std::string(TALVANE_BINARY_DIR) + "/tools/modemsim/talvane-modemsim";
  int out[2];
  int err[2];
  RunningSimulator running;
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return running;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
  argv.push_back(nullptr);
  if (posix_spawn(&running.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) running.pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  running.out = out[0];
  running.err = err[0];
  return running;
}

// Stops it with SIGTERM and waits: true when it ended in order.
bool StopInOrder(RunningSimulator& running) {
  ::kill(running.pid, SIGTERM);
  int status = 0;
  const bool ended = ::waitpid(running.pid, &status, 0) == running.pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  ::close(running.out);
  ::close(running.err);
  return ended;
}

std::string PortOf(const RunningSimulator& running) {
  const std::string firstLine = ReadUntil(running.out, "\n");
  return firstLine.substr(0, firstLine.find('\n'));
}

TEST(TalvaneModemsimProgram, PrintsItsPortServesItAndStopsOnSigterm) {
  RunningSimulator running = Spawn({"--signal", "11,0", "--fault", "error", "AT+CMGF=?"});
  ASSERT_NE(running.pid, 0);
  const std::string path = PortOf(running);
  EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

  platform::SerialPort port;
  ASSERT_TRUE(port.Open(path)) << port.LastErrorText();
  ASSERT_TRUE(port.Write("ATE0\rAT+CSQ\rAT+CMGF=?\r", 1000));
  std::string answers;
  while (answers.find("ERROR\r\n") == std::string::npos && port.WaitForData(2000)) answers += port.ReadAvailable(0);
  EXPECT_EQ(answers, "ATE0\r\r\nOK\r\n\r\n+CSQ: 11,0\r\n\r\nOK\r\n\r\nERROR\r\n");

  const std::string log = ReadUntil(running.err, "AT+CMGF=?\n");
  EXPECT_NE(log.find("RX AT+CSQ\n"), std::string::npos) << log;
  EXPECT_NE(log.find("TX \\r\\n+CSQ: 11,0\\r\\n\\r\\nOK\\r\\n\n"), std::string::npos) << log;

  EXPECT_TRUE(StopInOrder(running));
}

// Two simulated modems that differ in identity; what the network accepted
// in a file, also the message whose answer never came back.
TEST(TalvaneModemsimProgram, IdentityOptionsAndTheNetworkLogFile) {
  platform::TestFolder folder;
  const std::string logPath = (folder.Path() / "network.log").string();
  RunningSimulator running = Spawn({"--quiet", "--imei", "490154203237518", "--imsi", "260029876543210",
                                    "--network-log", logPath, "--fault", "lost*1", "AT+CMGS"});
  ASSERT_NE(running.pid, 0);
  const std::string path = PortOf(running);
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(path)) << port.LastErrorText();
  ASSERT_TRUE(port.Write("ATE0;+CGSN;+CIMI\r", 1000));
  std::string answers;
  while (answers.find("OK\r\n") == std::string::npos && port.WaitForData(2000)) answers += port.ReadAvailable(0);
  EXPECT_EQ(answers, "ATE0;+CGSN;+CIMI\r\r\n490154203237518\r\n\r\n260029876543210\r\n\r\nOK\r\n");

  const std::string pdu = "0011000B918406010203F40000AA05E8329BFD06";
  ASSERT_TRUE(port.Write("AT+CMGS=19\r", 1000));
  ASSERT_TRUE(port.WaitForData(2000));
  EXPECT_EQ(port.ReadAvailable(0), "\r\n> ");
  ASSERT_TRUE(port.Write(pdu + "\x1A", 1000));
  std::string rest;
  for (int i = 0; i < 50 && port.IsOpen(); ++i) {
    if (port.WaitForData(100)) rest += port.ReadAvailable(0);
  }
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(rest, "");
  EXPECT_EQ(platform::ReadWholeFile(logPath), "accepted\t+48601020304\t0\t-\t-\t-\t" + pdu + "\n");
  EXPECT_TRUE(StopInOrder(running));
}

}  // namespace
}  // namespace modemsim
