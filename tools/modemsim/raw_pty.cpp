#include "tools/modemsim/raw_pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace modemsim {

bool OpenRawPty(RawPty& pty, std::string* error) {
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  char name[256];
  if (::openpty(&pty.master, &pty.slave, name, &raw, nullptr) != 0) {
    if (error) *error = std::string("openpty: ") + std::strerror(errno);
    return false;
  }
  ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
  ::fcntl(pty.master, F_SETFD, FD_CLOEXEC);
  ::fcntl(pty.slave, F_SETFD, FD_CLOEXEC);
  pty.path = name;
  return true;
}

}  // namespace modemsim
