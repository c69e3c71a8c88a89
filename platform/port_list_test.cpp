#include "platform/port_list.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/test_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A small /sys: devices/... with drivers, and class/tty entries linking to them.
class FakeSysfs {
 public:
  FakeSysfs() { fs::create_directories(ClassTty()); }
  fs::path ClassTty() const { return folder_ / "class" / "tty"; }

  // A tty entry; `device` empty = no device link; `type` < 0 = no type attribute.
  void AddTty(const std::string& name, const std::string& device, const std::string& driver, int type = -1) {
    const fs::path entry = ClassTty() / name;
    fs::create_directories(entry);
    if (!device.empty()) {
      const fs::path devicePath = folder_ / "devices" / device;
      fs::create_directories(devicePath);
      if (!driver.empty()) {
        fs::create_directories(folder_ / "bus" / "drivers" / driver);
        std::error_code ec;
        fs::create_directory_symlink(folder_ / "bus" / "drivers" / driver, devicePath / "driver", ec);
      }
      fs::create_directory_symlink(devicePath, entry / "device");
    }
    if (type >= 0) std::ofstream(entry / "type") << type << "\n";
  }

 private:
  TestFolder folder_;
};

TEST(PortList, ListsRealSerialDevicesInNaturalOrder) {
  FakeSysfs sys;
  sys.AddTty("tty0", "", "");                                            // virtual terminal
  sys.AddTty("ptmx", "", "");
  sys.AddTty("console", "virtual/tty/console", "");                      // a virtual device
  sys.AddTty("ttyS0", "pnp0/00:00", "serial", 4);                        // 16550A
  sys.AddTty("ttyS1", "platform/serial8250", "serial8250", 0);           // placeholder, no UART
  sys.AddTty("ttyS3", "platform/serial8250/serial8250:0.3", "port", 0);  // newer kernels: serial-base port
  sys.AddTty("ttyS2", "platform/serial8250/x", "serial8250");            // no type attribute, not probed
  sys.AddTty("ttyUSB10", "pci0/usb1/1-1:1.0/ttyUSB10", "option");
  sys.AddTty("ttyUSB2", "pci0/usb1/1-2:1.0/ttyUSB2", "ftdi_sio");
  sys.AddTty("ttyACM0", "pci0/usb1/1-3:1.1", "cdc_acm");

  EXPECT_EQ(ListSerialPorts(sys.ClassTty(), false),
            (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

TEST(PortList, AMissingTreeGivesNoPorts) {
  EXPECT_TRUE(ListSerialPorts("/nonexistent/class/tty", false).empty());
  // Told apart from a readable tree without serial ports.
  EXPECT_FALSE(ReadSerialPorts("/nonexistent/class/tty", false).has_value());
  const FakeSysfs empty;
  EXPECT_EQ(ReadSerialPorts(empty.ClassTty(), false), std::vector<std::string>{});
  // The machine's own list never contains consoles or pseudo-terminals.
  for (const std::string& port : ListSerialPorts()) {
    EXPECT_EQ(port.rfind("/dev/tty", 0), 0u) << port;
    EXPECT_NE(port, "/dev/tty0");
  }
}

TEST(PortList, NaturalOrder) {
  struct Case {
    std::vector<std::string> in;
    std::vector<std::string> out;
  } cases[] = {
      {{"COM10", "COM1", "COM3", "COM2"}, {"COM1", "COM2", "COM3", "COM10"}},
      {{"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyACM0", "/dev/ttyS0"},
       {"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB2", "/dev/ttyUSB10"}},
      {{"a10b2", "a10b10", "a9", "a"}, {"a", "a9", "a10b2", "a10b10"}},
      {{"COM01", "COM1", "COM001"}, {"COM001", "COM01", "COM1"}},
      {{}, {}},
  };
  for (Case& c : cases) {
    SortNaturally(c.in);
    EXPECT_EQ(c.in, c.out);
  }
}

}  // namespace
}  // namespace platform
