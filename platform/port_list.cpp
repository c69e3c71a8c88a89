#include "platform/port_list.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Whether a port of the serial core is a real UART. The kernel reserves
// placeholder ports (ttyS1..ttyS31 of serial8250) whose UART type is
// PORT_UNKNOWN (0). The sysfs "type" attribute tells, where the kernel
// offers it; otherwise TIOCGSERIAL on the device (when allowed).
bool IsRealUart(const fs::path& entry, const std::string& devicePath, bool probeUarts) {
  std::ifstream typeFile(entry / "type");
  int type = PORT_UNKNOWN;
  if (typeFile >> type) return type != PORT_UNKNOWN;
  if (!probeUarts) return true;
  const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  const bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return real;
}

// The driver of the device or of the controller it hangs off (newer kernels
// put a serial-base "port" device between the two).
bool DrivenBySerial8250(fs::path device) {
  for (int level = 0; level < 3 && !device.empty(); ++level, device = device.parent_path()) {
    std::error_code ec;
    if (fs::read_symlink(device / "driver", ec).filename() == "serial8250") return true;
  }
  return false;
}

// Compares a run of digits by value: fewer significant digits is smaller.
int CompareNumbers(std::string_view a, std::string_view b) {
  a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
  b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool NaturallyBefore(const std::string& a, const std::string& b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t iEnd = i;
      size_t jEnd = j;
      while (iEnd < a.size() && IsDigit(a[iEnd])) ++iEnd;
      while (jEnd < b.size() && IsDigit(b[jEnd])) ++jEnd;
      const int order = CompareNumbers(std::string_view(a).substr(i, iEnd - i), std::string_view(b).substr(j, jEnd - j));
      if (order != 0) return order < 0;
      i = iEnd;
      j = jEnd;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  if (i < a.size() || j < b.size()) return j < b.size();  // the shorter rest first
  return a < b;  // equal by value ("COM01", "COM1"): keep a fixed order
}

}  // namespace

std::vector<std::string> ListSerialPorts() { return ListSerialPorts("/sys/class/tty", true); }

std::vector<std::string> ListSerialPorts(const fs::path& sysClassTty, bool probeUarts) {
  return ReadSerialPorts(sysClassTty, probeUarts).value_or(std::vector<std::string>{});
}

std::optional<std::vector<std::string>> ReadSerialPorts(const fs::path& sysClassTty, bool probeUarts) {
  std::vector<std::string> ports;
  std::error_code ec;
  fs::directory_iterator entries(sysClassTty, ec);
  if (ec) return std::nullopt;
  for (const fs::directory_entry& entry : entries) {
    // Consoles, virtual terminals and pseudo-terminals have no device link.
    std::error_code linkError;
    const fs::path device = fs::canonical(entry.path() / "device", linkError);
    if (linkError || device.string().find("/virtual/") != std::string::npos) continue;
    const std::string devicePath = "/dev/" + entry.path().filename().string();
    const bool serialCore = fs::exists(entry.path() / "type", linkError);
    if ((serialCore || DrivenBySerial8250(device)) && !IsRealUart(entry.path(), devicePath, probeUarts)) continue;
    ports.push_back(devicePath);
  }
  SortNaturally(ports);
  return ports;
}

void SortNaturally(std::vector<std::string>& names) { std::sort(names.begin(), names.end(), NaturallyBefore); }

}  // namespace platform
