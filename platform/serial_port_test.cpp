#include "platform/serial_port.h"

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

// A pseudo-terminal: the port opens the slave, the test plays the device on
// the master side.
class Pty {
 public:
  Pty() {
    char name[256];
    int slave = -1;
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    ::close(slave);  // the port opens it again by name
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() { CloseMaster(); }

  const std::string& Path() const { return path_; }
  void Send(std::string_view text) const { ASSERT_EQ(::write(master_, text.data(), text.size()), ssize_t(text.size())); }
  // Everything the port wrote, waiting up to `timeout` for `size` bytes.
  std::string Received(size_t size, std::chrono::milliseconds timeout = 2s) const {
    std::string data;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (data.size() < size && std::chrono::steady_clock::now() < deadline) {
      char buffer[256];
      const ssize_t count = ::read(master_, buffer, sizeof buffer);
      if (count > 0) data.append(buffer, size_t(count));
      else std::this_thread::sleep_for(1ms);
    }
    return data;
  }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string path_;
};

TEST(SerialPort, ErrorTextsAndDevicePaths) {
  EXPECT_EQ(SerialErrorText(0), "OK");
  EXPECT_EQ(SerialErrorText(9991), "Port owned by other process");
  EXPECT_EQ(SerialErrorText(9993), "Wrong paramter at call");
  EXPECT_EQ(SerialErrorText(9997), "Timeout during operation");
  EXPECT_EQ(SerialErrorText(10003), "Tranceive Queue is full");
  EXPECT_EQ(SerialErrorText(ENOENT), "No such file or directory");

  struct Case {
    const char* name;
    const char* path;
  } cases[] = {
      {"COM1", "/dev/ttyS0"},         {"COM10", "/dev/ttyS9"},         {"com3", "/dev/ttyS2"},
      {" COM6 ", "/dev/ttyS5"},       {"\\\\.\\COM12", "/dev/ttyS11"}, {"/dev/pts/7", "/dev/pts/7"},
      {"ttyUSB0", "/dev/ttyUSB0"},    {"COM0", "/dev/COM0"},           {"COMX", "/dev/COMX"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SerialDevicePath(c.name), c.path) << c.name;
}

TEST(SerialPort, TalksBothWaysOverAPseudoTerminal) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.Path())) << port.LastErrorText();
  EXPECT_EQ(port.LastError(), 0);
  EXPECT_EQ(port.LastErrorText(), "OK");
  ASSERT_TRUE(port.Configure(115200));

  ASSERT_TRUE(port.Write("AT\r", 1000));
  EXPECT_EQ(pty.Received(3), "AT\r");  // raw mode: no echo, no CR translation

  pty.Send("\r\nOK\r\n");
  EXPECT_TRUE(port.WaitForData(1000));
  std::string answer;
  while (answer.size() < 6 && port.WaitForData(1000)) answer += port.ReadAvailable(0);
  EXPECT_EQ(answer, "\r\nOK\r\n");
}

TEST(SerialPort, NothingToReadIsATimeout) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.Path()));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.ReadAvailable(50), "");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_EQ(port.LastError(), kSerialTimeout);
  EXPECT_FALSE(port.WaitForData(0));
  EXPECT_EQ(port.LastError(), kSerialTimeout);
  EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPort, PurgeDiscardsWaitingInput) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.Path()));
  pty.Send("stale");
  ASSERT_TRUE(port.WaitForData(1000));
  ASSERT_TRUE(port.Purge());
  EXPECT_FALSE(port.WaitForData(20));
}

TEST(SerialPort, OpeningIsExclusive) {
  Pty pty;
  SerialPort first;
  ASSERT_TRUE(first.Open(pty.Path()));
  EXPECT_FALSE(first.Open(pty.Path()));
  EXPECT_EQ(first.LastError(), kSerialAlreadyOpen);
  EXPECT_TRUE(first.IsOpen());

  SerialPort second;
  EXPECT_FALSE(second.Open(pty.Path()));
  EXPECT_EQ(second.LastError(), kSerialPortOwned);
  EXPECT_EQ(second.LastErrorText(), "Port owned by other process");

  first.Close();
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(second.Open(pty.Path())) << second.LastErrorText();
}

TEST(SerialPort, MisuseAndMissingDevicesGiveTheirCodes) {
  SerialPort port;
  EXPECT_FALSE(port.Write("AT\r", 100));
  EXPECT_EQ(port.LastError(), kSerialNotOpen);
  EXPECT_EQ(port.ReadAvailable(0), "");
  EXPECT_EQ(port.LastError(), kSerialNotOpen);
  EXPECT_FALSE(port.Configure(9600));
  EXPECT_EQ(port.LastErrorText(), "Instance not yet connected");
  port.Close();  // harmless

  EXPECT_FALSE(port.Open("/dev/talvane-no-such-port"));
  EXPECT_EQ(port.LastErrorText(), "No such file or directory");
  EXPECT_FALSE(port.Open(""));
  EXPECT_EQ(port.LastError(), kSerialWrongParameter);

  Pty pty;
  ASSERT_TRUE(port.Open(pty.Path()));
  EXPECT_FALSE(port.Configure(12345));
  EXPECT_EQ(port.LastError(), kSerialWrongParameter);
  EXPECT_FALSE(port.Configure(9600, 9));
  EXPECT_FALSE(port.Configure(9600, 8, 'X'));
  EXPECT_FALSE(port.Configure(9600, 8, 'N', 3));
  EXPECT_TRUE(port.Configure(9600, 7, 'e', 2));
}

TEST(SerialPort, AVanishingDeviceClosesThePortAndIsReportedOnce) {
  Pty pty;
  SerialPort port;
  int closedReports = 0;
  port.OnClosed = [&] { ++closedReports; };
  ASSERT_TRUE(port.Open(pty.Path()));
  pty.Send("last words");
  ASSERT_TRUE(port.WaitForData(1000));
  EXPECT_EQ(port.ReadAvailable(0), "last words");
  pty.CloseMaster();

  EXPECT_FALSE(port.WaitForData(1000));
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.LastError(), kSerialReadFailed);
  EXPECT_EQ(closedReports, 1);

  EXPECT_FALSE(port.WaitForData(10));
  EXPECT_EQ(port.LastError(), kSerialNotOpen);
  EXPECT_EQ(closedReports, 1);
}

// Real system calls, with some of them replaced by a test.
SerialSystemCalls CallsWith(std::function<void(SerialSystemCalls&)> change) {
  SerialSystemCalls calls = SerialSystemCalls::Real();
  change(calls);
  return calls;
}

TEST(SerialPort, InterruptedCallsAndShortWritesAreCarriedThrough) {
  Pty pty;
  int writeCalls = 0;
  int pollCalls = 0;
  int readCalls = 0;
  const SerialSystemCalls calls = CallsWith([&](SerialSystemCalls& c) {
    c.write = [&](int fd, const void* buffer, size_t size) -> ssize_t {
      ++writeCalls;
      if (writeCalls == 1) return errno = EINTR, -1;
      if (writeCalls == 2) return errno = EAGAIN, -1;
      return ::write(fd, buffer, std::min<size_t>(size, 3));  // a short write every time
    };
    c.poll = [&](pollfd* fds, nfds_t count, int timeoutMs) {
      if (++pollCalls % 2 == 1) return errno = EINTR, -1;
      return ::poll(fds, count, timeoutMs);
    };
    c.read = [&](int fd, void* buffer, size_t size) -> ssize_t {
      if (++readCalls == 1) return errno = EINTR, -1;
      return ::read(fd, buffer, size);
    };
  });
  SerialPort port(calls);
  ASSERT_TRUE(port.Open(pty.Path()));
  ASSERT_TRUE(port.Write("AT+CMGF=0\r", 1000)) << port.LastErrorText();
  EXPECT_EQ(pty.Received(10), "AT+CMGF=0\r");
  EXPECT_GE(writeCalls, 6);

  pty.Send("OK");
  std::string text;
  while (text.size() < 2 && port.WaitForData(1000)) text += port.ReadAvailable(0);
  EXPECT_EQ(text, "OK");
  EXPECT_EQ(port.LastError(), 0);
}

TEST(SerialPort, AWriteThatNeverCompletesTimesOut) {
  Pty pty;
  const SerialSystemCalls calls = CallsWith([](SerialSystemCalls& c) {
    c.write = [](int, const void*, size_t) -> ssize_t { return errno = EAGAIN, -1; };
    c.poll = [](pollfd*, nfds_t, int timeoutMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
      return 0;
    };
  });
  SerialPort port(calls);
  ASSERT_TRUE(port.Open(pty.Path()));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(port.Write("AT\r", 60));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
  EXPECT_EQ(port.LastError(), kSerialTimeout);
  EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPort, DeviceErrorsCloseThePort) {
  struct Case {
    const char* what;
    int error;
    bool onWrite;
    int expectedCode;
  } cases[] = {
      {"EIO on write", EIO, true, EIO},
      {"ENODEV on write", ENODEV, true, ENODEV},
      {"ENXIO on read", ENXIO, false, kSerialReadFailed},
      {"EIO on read", EIO, false, kSerialReadFailed},
  };
  for (const Case& c : cases) {
    Pty pty;
    const SerialSystemCalls calls = CallsWith([&](SerialSystemCalls& s) {
      if (c.onWrite) s.write = [&](int, const void*, size_t) -> ssize_t { return errno = c.error, -1; };
      else s.read = [&](int, void*, size_t) -> ssize_t { return errno = c.error, -1; };
    });
    SerialPort port(calls);
    int closedReports = 0;
    port.OnClosed = [&] { ++closedReports; };
    ASSERT_TRUE(port.Open(pty.Path())) << c.what;
    if (c.onWrite) {
      EXPECT_FALSE(port.Write("AT\r", 100)) << c.what;
    } else {
      pty.Send("x");
      ASSERT_TRUE(port.WaitForData(1000)) << c.what;
      EXPECT_EQ(port.ReadAvailable(0), "") << c.what;
    }
    EXPECT_EQ(port.LastError(), c.expectedCode) << c.what;
    EXPECT_FALSE(port.IsOpen()) << c.what;
    EXPECT_EQ(closedReports, 1) << c.what;
    port.Close();
    EXPECT_EQ(closedReports, 1) << c.what;
  }
}

TEST(SerialPort, AFailedOpenReleasesTheDescriptor) {
  Pty pty;
  int opened = 0;
  int closed = 0;
  const SerialSystemCalls calls = CallsWith([&](SerialSystemCalls& c) {
    c.open = [&](const char* path, int flags) {
      const int fd = ::open(path, flags);
      if (fd >= 0) ++opened;
      return fd;
    };
    c.close = [&](int fd) {
      ++closed;
      return ::close(fd);
    };
    c.tcsetattr = [](int, int, const termios*) { return errno = EINVAL, -1; };
  });
  SerialPort port(calls);
  EXPECT_FALSE(port.Open(pty.Path()));
  EXPECT_EQ(port.LastError(), EINVAL);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace platform
