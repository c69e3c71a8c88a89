#include "tools/modemsim/not_a_modem.h"

#include <poll.h>
#include <unistd.h>

#include "tools/modemsim/raw_pty.h"

namespace modemsim {

namespace {

// Bytes of no protocol: control characters, a high byte, no result code.
constexpr char kNoise[] = "\x07#%&~\xff\x01 zzz\r\n";
constexpr int kPollMs = 20;

}  // namespace

bool NotAModem::Start(std::string* error) {
  Stop();
  RawPty pty;
  if (!OpenRawPty(pty, error)) return false;
  master_ = pty.master;
  slave_ = pty.slave;
  path_ = pty.path;
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
