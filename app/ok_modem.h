#pragma once
// A stand-in modem for the window tests: a pseudo-terminal whose far end
// answers "OK" to every command line, which is enough for the engine to
// connect. The port name is the terminal's device path.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace app::testing {

class OkModem {
 public:
  OkModem() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    port_ = name;
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    thread_ = std::thread([this] { Answer(); });
  }
  ~OkModem() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
  }
  OkModem(const OkModem&) = delete;
  OkModem& operator=(const OkModem&) = delete;

  const std::string& Port() const { return port_; }
  int Commands() const { return commands_; }

 private:
  void Answer() {
    std::string line;
    while (!stop_) {
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, 20) <= 0 || !(fd.revents & POLLIN)) continue;
      char buffer[256];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] != '\r') continue;
        ++commands_;
        static const char kOk[] = "\r\nOK\r\n";
        if (::write(master_, kOk, sizeof kOk - 1) < 0) return;
      }
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string port_;
  std::atomic<bool> stop_{false};
  std::atomic<int> commands_{0};
  std::thread thread_;
};

}  // namespace app::testing
