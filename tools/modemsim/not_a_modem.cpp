#include "tools/modemsim/not_a_modem.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace modemsim {

namespace {

// Bytes of no protocol: control characters, a high byte, no result code.
constexpr char kNoise[] = "\x07#%&~\xff\x01 zzz\r\n";
constexpr int kPollMs = 20;

}  // namespace

bool NotAModem::Start(std::string* error) {
  Stop();
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  char name[256];
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    if (error) *error = std::string("openpty: ") + std::strerror(errno);
    return false;
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  path_ = name;
  stop_ = false;
  server_ = std::thread([this] { Serve(); });
  return true;
}

void NotAModem::Stop() {
  stop_ = true;
  if (server_.joinable()) server_.join();
  for (int* fd : {&master_, &slave_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

void NotAModem::Serve() {
  char buffer[256];
  while (!stop_) {
    pollfd entry{master_, POLLIN, 0};
    if (::poll(&entry, 1, kPollMs) <= 0) continue;
    const ssize_t count = ::read(master_, buffer, sizeof buffer);
    if (count <= 0) continue;
    for (ssize_t i = 0; i < count; ++i) {
      if (buffer[i] != '\r') continue;
      ++lines_;
      if (kind_ == Kind::Garbage) {
        [[maybe_unused]] const ssize_t written = ::write(master_, kNoise, sizeof kNoise - 1);
      }
    }
  }
}

}  // namespace modemsim
