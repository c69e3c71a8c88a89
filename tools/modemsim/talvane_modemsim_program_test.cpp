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

#include "platform/serial_port.h"

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

TEST(TalvaneModemsimProgram, PrintsItsPortServesItAndStopsOnSigterm) {
  const std::string program = std::string(TALVANE_BINARY_DIR) + "/tools/modemsim/talvane-modemsim";
  int out[2];
  int err[2];
  ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
  ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--signal"), const_cast<char*>("11,0"),
                  const_cast<char*>("--fault"), const_cast<char*>("error"), const_cast<char*>("AT+CMGF=?"), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0) << program;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);

  const std::string firstLine = ReadUntil(out[0], "\n");
  ASSERT_FALSE(firstLine.empty());
  const std::string path = firstLine.substr(0, firstLine.find('\n'));
  EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

  platform::SerialPort port;
  ASSERT_TRUE(port.Open(path)) << port.LastErrorText();
  ASSERT_TRUE(port.Write("ATE0\rAT+CSQ\rAT+CMGF=?\r", 1000));
  std::string answers;
  while (answers.find("ERROR\r\n") == std::string::npos && port.WaitForData(2000)) answers += port.ReadAvailable(0);
  EXPECT_EQ(answers, "ATE0\r\r\nOK\r\n\r\n+CSQ: 11,0\r\n\r\nOK\r\n\r\nERROR\r\n");

  const std::string log = ReadUntil(err[0], "AT+CMGF=?\n");
  EXPECT_NE(log.find("RX AT+CSQ\n"), std::string::npos) << log;
  EXPECT_NE(log.find("TX \\r\\n+CSQ: 11,0\\r\\n\\r\\nOK\\r\\n\n"), std::string::npos) << log;

  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ::close(out[0]);
  ::close(err[0]);
}

}  // namespace
}  // namespace modemsim
