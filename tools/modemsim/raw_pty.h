#pragma once
// A pseudo-terminal in raw mode for a simulated device: the master end,
// non-blocking, is the device's side; the program under test opens `path`.

#include <string>

namespace modemsim {

struct RawPty {
  int master = -1;
  int slave = -1;  // kept open by the device, so that the master never sees a hang-up
  std::string path;
};

// False, with the reason in `error` when given, when no pseudo-terminal could be opened.
bool OpenRawPty(RawPty& pty, std::string* error);

}  // namespace modemsim
