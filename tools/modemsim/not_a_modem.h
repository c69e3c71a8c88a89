#pragma once
// Serial ports where no modem answers, for the modem search: a pseudo-terminal
// that reads everything and answers nothing, or one that answers every line
// with noise instead of a result code (a device of another kind). Each counts
// the command lines it received, so tests can tell how often it was tried.
// Every method is safe from any thread.

#include <atomic>
#include <string>
#include <thread>

namespace modemsim {

class NotAModem {
 public:
  enum class Kind { Silent, Garbage };

  explicit NotAModem(Kind kind) : kind_(kind) {}
  ~NotAModem() { Stop(); }
  NotAModem(const NotAModem&) = delete;
  NotAModem& operator=(const NotAModem&) = delete;

  bool Start(std::string* error = nullptr);
  void Stop();
  std::string PortPath() const { return path_; }
  // Lines ended by CR received so far ("AT" twice is one connection attempt).
  int LinesReceived() const { return lines_; }

 private:
  void Serve();

  Kind kind_;
  int master_ = -1;
  int slave_ = -1;  // held open so that the master never sees a hang-up
  std::string path_;
  std::thread server_;
  std::atomic<bool> stop_{false};
  std::atomic<int> lines_{0};
};

}  // namespace modemsim
