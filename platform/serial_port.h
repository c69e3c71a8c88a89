#pragma once
// A serial port through POSIX termios.
//
// Port names: "COMn" is /dev/ttyS{n-1}; a name beginning with "/" is a device
// path (/dev/ttyUSB0, /dev/ttyACM0, a pseudo-terminal); a bare name such as
// "ttyUSB0" is /dev/ttyUSB0. The port is opened for exclusive use
// (flock + TIOCEXCL), in raw mode, non-blocking; every wait is a poll() bounded
// by a deadline. Every operation leaves LastError()/LastErrorText(): 0 and
// "OK" on success, one of the codes below (or an errno value with the
// system's text) on failure.
//
// Threads: a SerialPort belongs to one thread at a time (the modem engine's);
// it has no locks. Different ports may be used from different threads.

#include <poll.h>
#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum SerialError : int {
  kSerialOk = 0,
  kSerialPortOwned = 9991,          // "Port owned by other process"
  kSerialAlreadyOpen = 9992,        // "Instance already in use"
  kSerialWrongParameter = 9993,     // "Wrong paramter at call"
  kSerialNotOpen = 9994,            // "Instance not yet connected"
  kSerialNoAnswer = 9995,           // "No device answer detected"
  kSerialBufferExceeded = 9996,     // "Maximal buffer length exceeded"
  kSerialTimeout = 9997,            // "Timeout during operation"
  kSerialReadFailed = 9998,         // "Reading of data failed"
  kSerialFramingError = 9999,       // "Receive framing error"
  kSerialOverrun = 10000,           // "Receive Overrun Error"
  kSerialQueueOverflow = 10001,     // "Receive Queue overflow"
  kSerialParityError = 10002,       // "Receive Parity Error"
  kSerialTransmitQueueFull = 10003, // "Tranceive Queue is full"
};

// The text of a code above; "OK" for 0; the system's text for any other number.
std::string SerialErrorText(int code);

// The device path of a port name (see above); empty for an empty name.
std::string SerialDevicePath(std::string_view portName);

// The system calls the port makes, replaceable so that tests can inject
// EINTR, EAGAIN, short writes, and EIO/ENXIO (a USB modem pulled out).
struct SerialSystemCalls {
  std::function<int(const char* path, int flags)> open;
  std::function<int(int fd)> close;
  std::function<ssize_t(int fd, void* buffer, size_t size)> read;
  std::function<ssize_t(int fd, const void* buffer, size_t size)> write;
  std::function<int(pollfd* fds, nfds_t count, int timeoutMs)> poll;
  std::function<int(int fd, termios* settings)> tcgetattr;
  std::function<int(int fd, int actions, const termios* settings)> tcsetattr;
  std::function<int(int fd, int queue)> tcflush;
  std::function<int(int fd, unsigned long request, void* argument)> ioctl;
  std::function<int(int fd, int operation)> flock;

  static const SerialSystemCalls& Real();
};

class SerialPort {
 public:
  explicit SerialPort(const SerialSystemCalls& calls = SerialSystemCalls::Real());
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens the port exclusively; raises DTR and RTS and purges both directions.
  // Opening an open port fails with 9992; a port held by another process with 9991.
  bool Open(std::string_view portName);
  // Speed in bits per second; 8 data bits, parity 'N'/'E'/'O', 1 or 2 stop
  // bits, no flow control, DTR and RTS held on. An unsupported speed gives 9993.
  bool Configure(int baudRate, int dataBits = 8, char parity = 'N', int stopBits = 1);
  // Discards everything buffered in both directions.
  bool Purge();
  // Drops DTR and RTS and releases the port; harmless on a closed port.
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Writes every byte within `timeoutMs`; 9997 when the time runs out.
  bool Write(std::string_view data, int timeoutMs);
  // Everything waiting, waiting up to `timeoutMs` for the first byte; empty
  // with 9997 when nothing came.
  std::string ReadAvailable(int timeoutMs);
  // True when bytes are waiting or arrive within `timeoutMs`.
  bool WaitForData(int timeoutMs);

  // A read or write that finds the device gone (EIO, ENXIO, ENODEV, a hang-up)
  // closes the port and reports it here, once.
  std::function<void()> OnClosed;

  int LastError() const { return lastError_; }
  std::string LastErrorText() const { return SerialErrorText(lastError_); }

 private:
  bool Fail(int code);
  bool Succeed();
  // Closes the port after the device went away, leaves `code` and reports
  // OnClosed once per opening; returns false.
  bool DeviceLost(int code);
  // poll() for `event` until the deadline: the returned events, 0 when the
  // time ran out, -1 on failure (LastError set, the port maybe closed).
  int WaitFor(short event, std::chrono::steady_clock::time_point deadline);
  void SetModemLines(bool on);  // DTR and RTS
  void Release();               // unlock and close the descriptor

  const SerialSystemCalls& calls_;
  int fd_ = -1;
  int lastError_ = kSerialOk;
  bool closedReported_ = false;
  std::string pending_;  // bytes read while noticing a hang-up, not yet handed out
};

}  // namespace platform
