#pragma once
// The engine's serial port: opening and closing, timed writes and reads, a
// line buffer for text read past a terminator, and the AT exchange. Every
// operation leaves LastError()/LastErrorText(): 0 and "OK" on success, a link
// code (9991 to 10003) or a system error number otherwise. Nothing throws.
//
// Threads: the engine thread alone owns its link; it has no locks.

#include <functional>
#include <string>
#include <string_view>

#include "platform/serial_port.h"

namespace modem {

// The answer of one AT exchange.
struct AtAnswer {
  std::string response;  // every line but the echo, each followed by CR LF
  bool ok = false;       // the modem ended with "OK"
};

class SerialLink {
 public:
  // The most text a read collects while it looks for a terminator.
  static constexpr size_t kBufferSize = 4096;

  explicit SerialLink(const platform::SerialSystemCalls& calls = platform::SerialSystemCalls::Real());
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Opens the port exclusively; DTR and RTS raised, both directions purged.
  bool Open(std::string_view portName);
  // The speed with 8 data bits, no parity, 1 stop bit, no flow control.
  bool Configure(int baudRate);
  // Discards everything buffered, the line buffer included.
  bool Purge();
  // Purges and releases the port; reports the close through OnPortClosed.
  void Close();
  bool IsActive() const { return port_.IsOpen(); }

  // Writes every byte within WriteTimeout; 9997 when it runs out.
  bool SendText(std::string_view text);
  // The line buffer when it holds text, otherwise everything waiting, waiting
  // up to `timeoutMs` for the first byte; nothing at all fails with 9997.
  std::string ReceivePacket(int timeoutMs);
  // The text before `terminator` (which is dropped); what follows stays
  // buffered. `timeoutMs` bounds each wait for a packet. On a timeout: empty
  // text, 9997, and the partial text stays buffered.
  std::string ReceiveUntil(int timeoutMs, std::string_view terminator);
  // One line; CR, LF, CR LF or LF CR end it (a pair counts once, also when
  // its second character comes in the next packet). Empty lines are returned.
  std::string ReceiveLine(int timeoutMs);
  // True at once when bytes are waiting, else waits up to `timeoutMs`.
  bool WaitForData(int timeoutMs);

  // Sends the command and a CR, then collects answer lines (AtTimeout each)
  // until "OK", "ERROR" or a failed read. Lines equal to the command (the
  // modem's echo) are left out.
  AtAnswer ExchangeAT(std::string_view command);

  int WriteTimeout;
  int AtTimeout;

  int LastError() const { return lastError_; }
  std::string LastErrorText() const { return platform::SerialErrorText(lastError_); }

  // Runs whenever the port closes: by Close() or because the device went away.
  std::function<void()> OnPortClosed;
  // The device went away under an open port (a USB modem pulled out, the
  // other end of a pseudo-terminal closed). Stays set until taken or until
  // the next Open().
  bool PortLost() const { return portLost_; }
  // The text of the error that revealed the loss.
  std::string PortLostText() const { return platform::SerialErrorText(portLostError_); }
  bool TakePortLost();

 private:
  bool Fail(int code);
  bool Succeed();
  bool FailNotOpen();
  bool TakeError(bool ok);  // copies the port's result
  // Reads one packet from the port into `text`; applies a pending line-end
  // pair. False (with the error set) when nothing came.
  bool ReadInto(std::string& text, int timeoutMs);

  platform::SerialPort port_;
  std::string lineBuffer_;
  char pendingPairEnd_ = 0;  // second character of a line-end pair still to skip
  int lastError_ = 0;
  bool portLost_ = false;
  int portLostError_ = 0;
};

}  // namespace modem
