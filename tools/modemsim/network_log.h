#pragma once
// What the simulated network accepted: one line per submission it took (the
// modem answered "+CMGS: n" or a bare "OK"), so that a test can tell how many
// times a customer got each part, whatever the program under test believes.
//   accepted<TAB>DESTINATION<TAB>MR<TAB>CONCATREF<TAB>PART<TAB>PARTS<TAB>PDU
// DESTINATION as the PDU states it ("+" before an international number), MR
// the message reference the modem gave, CONCATREF/PART/PARTS "-" for a
// single-part message.

#include <cstdio>
#include <string>
#include <vector>

namespace modemsim {

// The line (without its line end) for the submitted `pdu` (hexadecimal, SMSC
// information first) accepted with message reference `reference`.
std::string NetworkLogLine(int reference, const std::string& pdu);

// The lines, kept in memory and, once a file is opened, appended to it and
// flushed one by one (a test reads the file while the simulator runs, and
// finds every accepted line even when the simulator is killed).
class NetworkLog {
 public:
  NetworkLog() = default;
  ~NetworkLog();
  NetworkLog(const NetworkLog&) = delete;
  NetworkLog& operator=(const NetworkLog&) = delete;

  bool OpenFile(const std::string& path, std::string* error);
  void Accepted(int reference, const std::string& pdu);
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  std::FILE* file_ = nullptr;
};

}  // namespace modemsim
