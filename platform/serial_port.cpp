#include "platform/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/text_case.h"
#include "platform/text.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Bytes taken in by one ReadAvailable() at most, so that a device that never
// stops sending cannot keep the caller in the read loop.
constexpr size_t kMaxReadPerCall = 65536;

bool IsDeviceGone(int errorNumber) {
  return errorNumber == EIO || errorNumber == ENXIO || errorNumber == ENODEV || errorNumber == EBADF;
}

// The link's own code for a system error where one says the same thing;
// otherwise the errno value itself (its text is the system's).
int CodeForErrno(int errorNumber) {
  switch (errorNumber) {
    case EBUSY:
    case EWOULDBLOCK: return kSerialPortOwned;
    case ETIMEDOUT: return kSerialTimeout;
    case EOVERFLOW: return kSerialQueueOverflow;
    case ENOBUFS: return kSerialTransmitQueueFull;
    default: return errorNumber;
  }
}

// Whole milliseconds left, rounded up so that a wait never ends early.
int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool SpeedFor(int baudRate, speed_t& speed) {
  static constexpr struct {
    int baud;
    speed_t speed;
  } kSpeeds[] = {
      {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
      {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
      {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
  };
  for (const auto& entry : kSpeeds) {
    if (entry.baud == baudRate) {
      speed = entry.speed;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string SerialErrorText(int code) {
  switch (code) {
    case kSerialOk: return "OK";
    case kSerialPortOwned: return "Port owned by other process";
    case kSerialAlreadyOpen: return "Instance already in use";
    case kSerialWrongParameter: return "Wrong paramter at call";
    case kSerialNotOpen: return "Instance not yet connected";
    case kSerialNoAnswer: return "No device answer detected";
    case kSerialBufferExceeded: return "Maximal buffer length exceeded";
    case kSerialTimeout: return "Timeout during operation";
    case kSerialReadFailed: return "Reading of data failed";
    case kSerialFramingError: return "Receive framing error";
    case kSerialOverrun: return "Receive Overrun Error";
    case kSerialQueueOverflow: return "Receive Queue overflow";
    case kSerialParityError: return "Receive Parity Error";
    case kSerialTransmitQueueFull: return "Tranceive Queue is full";
    default: return std::strerror(code);
  }
}

std::string SerialDevicePath(std::string_view portName) {
  std::string name(TrimBlanks(portName));
  if (StartsWithNoCase(name, "\\\\.\\")) name.erase(0, 4);  // the Windows device namespace
  if (name.empty() || name.front() == '/') return name;
  if (StartsWithNoCase(name, "COM") && name.size() > 3 &&
      name.find_first_not_of("0123456789", 3) == std::string::npos) {
    const long number = std::strtol(name.c_str() + 3, nullptr, 10);
    if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
  }
  return "/dev/" + name;
}

const SerialSystemCalls& SerialSystemCalls::Real() {
  static const SerialSystemCalls calls{
      [](const char* path, int flags) { return ::open(path, flags); },
      [](int fd) { return ::close(fd); },
      [](int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); },
      [](int fd, const void* buffer, size_t size) { return ::write(fd, buffer, size); },
      [](pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); },
      [](int fd, termios* settings) { return ::tcgetattr(fd, settings); },
      [](int fd, int actions, const termios* settings) { return ::tcsetattr(fd, actions, settings); },
      [](int fd, int queue) { return ::tcflush(fd, queue); },
      [](int fd, unsigned long request, void* argument) { return ::ioctl(fd, request, argument); },
      [](int fd, int operation) { return ::flock(fd, operation); },
  };
  return calls;
}

SerialPort::SerialPort(const SerialSystemCalls& calls) : calls_(calls) {}

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(std::string_view portName) {
  if (IsOpen()) return Fail(kSerialAlreadyOpen);
  const std::string path = SerialDevicePath(portName);
  if (path.empty()) return Fail(kSerialWrongParameter);

  int fd;
  do {
    fd = calls_.open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Fail(CodeForErrno(errno));

  // flock keeps out every other process that asks politely (and a second
  // SerialPort of this one); TIOCEXCL keeps out the ones that do not.
  int error = 0;
  if (calls_.flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno == EWOULDBLOCK ? kSerialPortOwned : CodeForErrno(errno);
  } else if (calls_.ioctl(fd, TIOCEXCL, nullptr) != 0) {
    error = CodeForErrno(errno);
  }
  termios settings{};
  if (error == 0 && calls_.tcgetattr(fd, &settings) != 0) error = CodeForErrno(errno);
  if (error == 0) {
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (calls_.tcsetattr(fd, TCSANOW, &settings) != 0) error = CodeForErrno(errno);
  }
  if (error != 0) {
    calls_.close(fd);
    return Fail(error);
  }
  fd_ = fd;
  closedReported_ = false;
  SetModemLines(true);
  return Purge();
}

bool SerialPort::Configure(int baudRate, int dataBits, char parity, int stopBits) {
  if (!IsOpen()) return Fail(kSerialNotOpen);
  speed_t speed;
  if (!SpeedFor(baudRate, speed) || dataBits < 5 || dataBits > 8 || (stopBits != 1 && stopBits != 2)) {
    return Fail(kSerialWrongParameter);
  }
  parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parity)));
  if (parity != 'N' && parity != 'E' && parity != 'O') return Fail(kSerialWrongParameter);

  termios settings{};
  if (calls_.tcgetattr(fd_, &settings) != 0) return Fail(CodeForErrno(errno));
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cflag |= dataBits == 5 ? CS5 : dataBits == 6 ? CS6 : dataBits == 7 ? CS7 : CS8;
  if (parity != 'N') settings.c_cflag |= PARENB;
  if (parity == 'O') settings.c_cflag |= PARODD;
  if (stopBits == 2) settings.c_cflag |= CSTOPB;
  settings.c_iflag &= ~(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  ::cfsetispeed(&settings, speed);
  ::cfsetospeed(&settings, speed);
  if (calls_.tcsetattr(fd_, TCSANOW, &settings) != 0) return Fail(CodeForErrno(errno));
  SetModemLines(true);
  return Succeed();
}

bool SerialPort::Purge() {
  if (!IsOpen()) return Fail(kSerialNotOpen);
  pending_.clear();
  if (calls_.tcflush(fd_, TCIOFLUSH) != 0) return Fail(CodeForErrno(errno));
  return Succeed();
}

void SerialPort::Close() {
  if (!IsOpen()) return;
  calls_.tcflush(fd_, TCIOFLUSH);
  SetModemLines(false);
  calls_.ioctl(fd_, TIOCNXCL, nullptr);
  Release();
  Succeed();
}

bool SerialPort::Write(std::string_view data, int timeoutMs) {
  if (!IsOpen()) return Fail(kSerialNotOpen);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!data.empty()) {
    const ssize_t written = calls_.write(fd_, data.data(), data.size());
    if (written > 0) {
      data.remove_prefix(static_cast<size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      const int error = errno;
      if (IsDeviceGone(error)) return DeviceLost(error);  // the system's text, e.g. "Input/output error"
      return Fail(CodeForErrno(error));
    }
    // The output queue is full: wait until it takes bytes again.
    const int events = WaitFor(POLLOUT, deadline);
    if (events < 0) return false;  // failed, or the device went away
    if (events == 0) return Fail(kSerialTimeout);
  }
  return Succeed();
}

std::string SerialPort::ReadAvailable(int timeoutMs) {
  if (!WaitForData(timeoutMs)) return {};
  std::string data = std::move(pending_);
  pending_.clear();
  char buffer[4096];
  while (data.size() < kMaxReadPerCall) {
    const ssize_t count = calls_.read(fd_, buffer, sizeof buffer);
    if (count > 0) {
      data.append(buffer, static_cast<size_t>(count));
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      if (IsDeviceGone(errno)) {
        DeviceLost(kSerialReadFailed);
        return data;
      }
      Fail(kSerialReadFailed);
      return data;
    }
    break;  // nothing more waiting (VMIN = 0 reads 0 bytes then)
  }
  if (data.empty()) Fail(kSerialTimeout);
  else Succeed();
  return data;
}

bool SerialPort::WaitForData(int timeoutMs) {
  if (!IsOpen()) return Fail(kSerialNotOpen);
  if (!pending_.empty()) return Succeed();
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  const int events = WaitFor(POLLIN, deadline);
  if (events < 0) return false;
  if (events == 0) return Fail(kSerialTimeout);
  if ((events & (POLLHUP | POLLERR | POLLNVAL)) == 0) return Succeed();
  // The device hung up. What it sent before still counts; keep it for the
  // next read and report the loss when nothing is left.
  char buffer[4096];
  for (;;) {
    const ssize_t count = calls_.read(fd_, buffer, sizeof buffer);
    if (count > 0) {
      pending_.append(buffer, static_cast<size_t>(count));
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    break;
  }
  if (!pending_.empty()) return Succeed();
  return DeviceLost(kSerialReadFailed);
}

int SerialPort::WaitFor(short event, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd_, event, 0};
    const int result = calls_.poll(&entry, 1, RemainingMs(deadline));
    if (result > 0) {
      const bool gone = (entry.revents & POLLNVAL) || (event == POLLOUT && (entry.revents & (POLLHUP | POLLERR)));
      if (!gone) return entry.revents;
      DeviceLost(event == POLLOUT ? EIO : kSerialReadFailed);
      return -1;
    }
    if (result < 0 && errno != EINTR) {
      Fail(CodeForErrno(errno));
      return -1;
    }
    if (result == 0 && RemainingMs(deadline) == 0) return 0;
    // EINTR, or a poll that woke early: wait for the rest of the time.
  }
}

void SerialPort::SetModemLines(bool on) {
  // A pseudo-terminal has no modem lines; failing here is not an error.
  int lines = TIOCM_DTR | TIOCM_RTS;
  calls_.ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &lines);
}

void SerialPort::Release() {
  calls_.flock(fd_, LOCK_UN);
  calls_.close(fd_);
  fd_ = -1;
  pending_.clear();
}

bool SerialPort::Fail(int code) {
  lastError_ = code;
  return false;
}

bool SerialPort::Succeed() {
  lastError_ = kSerialOk;
  return true;
}

bool SerialPort::DeviceLost(int code) {
  if (IsOpen()) Release();
  Fail(code);
  if (!closedReported_) {
    closedReported_ = true;
    if (OnClosed) OnClosed();
  }
  return false;
}

}  // namespace platform
