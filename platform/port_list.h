#pragma once
// The serial ports present on this machine.
//
// Threads: safe from any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Ports from /sys/class/tty: entries with a `device` link that is not a
// virtual device; UART ports (serial8250 and the other serial-core drivers)
// only when they are real UARTs: their sysfs `type` is not PORT_UNKNOWN, or,
// without that attribute, TIOCGSERIAL says so.
// Names are device paths (/dev/ttyS0, /dev/ttyUSB0, ...) in natural order.
std::vector<std::string> ListSerialPorts();
// The same over another sysfs tree (tests); with `probeUarts` false no device
// is opened and a UART without a `type` attribute counts as real.
std::vector<std::string> ListSerialPorts(const std::filesystem::path& sysClassTty, bool probeUarts);
// The same, or nothing when the list of tty devices cannot be read at all
// (no sysfs, no permission), which an empty list would hide.
std::optional<std::vector<std::string>> ReadSerialPorts(const std::filesystem::path& sysClassTty = "/sys/class/tty",
                                                        bool probeUarts = true);

// Natural order: runs of digits compare by value, so COM2 < COM10 and
// /dev/ttyUSB2 < /dev/ttyUSB10; otherwise byte order.
void SortNaturally(std::vector<std::string>& names);

}  // namespace platform
