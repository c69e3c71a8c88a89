#pragma once
// The modem search of TZoGSM: the list of serial ports and the walk over it
// that asks the engine to connect on one port after the other until a modem
// answers. The component owns one ModemSearch and forwards PortList,
// RefreshComPorts, SearchModem, Searching and SearchTimer to it; its
// dispatchers tell the search how each attempt ended.
//
// Main thread only, like the component.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/main_loop.h"

namespace modem {

class TZoGSM;

// The names of the serial ports to search, in any order (RefreshComPorts
// sorts them); nothing when the system's list cannot be read.
using PortSource = std::function<std::optional<std::vector<std::string>>()>;

// Port of the last report of a search that found no modem.
inline constexpr const char* kNoModemPort = "brak modemu";
// Pause between the end of one attempt and the next port.
inline constexpr int kSearchStepMs = 500;

class ModemSearch {
 public:
  ModemSearch(TZoGSM& component, platform::MainLoop& loop);
  ~ModemSearch();
  ModemSearch(const ModemSearch&) = delete;
  ModemSearch& operator=(const ModemSearch&) = delete;

  // Port names, in natural order after RefreshComPorts.
  const std::vector<std::string>& PortList() const { return portList_; }
  // Ports to search in the given order (until the next RefreshComPorts).
  void SetPortList(std::vector<std::string> ports) { portList_ = std::move(ports); }
  // Where RefreshComPorts takes the ports from; empty: the system's serial ports.
  void SetPortSource(PortSource source) { source_ = std::move(source); }
  // PortList := the ports of the source, in natural order (COM2 before COM10).
  // A list that cannot be read is reported quietly and leaves PortList empty.
  void RefreshComPorts();

  // Starts a search over PortList. Refused with a message when the engine is
  // not running or a modem is connected; nothing happens for an empty list.
  void SearchModem();

  bool Searching() const { return searching_; }
  // Index in PortList of the next port to try.
  int SearchIndex() const { return searchIndex_; }
  platform::Timer& SearchTimer() { return *timer_; }

  // Argument slots of OnSearchProgress.
  int SearchProgress() const { return progress_; }
  const std::string& SearchPort() const { return port_; }
  int SearchFound() const { return found_; }

  // The engine reported a connection: the search ends with the port found.
  void ConnectionReported();
  // The engine reported a disconnection: the attempt failed; the next port
  // follows after the step pause, or the search ends without a modem.
  void DisconnectionReported();
  // The engine has ended (the component was switched off): the search ends
  // without a report, since no attempt will report any more.
  void EngineEnded();

 private:
  // One step: reports the port about to be tried and asks for a connection there.
  void Step();
  void Report(int progress, const std::string& port, int found);

  TZoGSM& component_;
  std::unique_ptr<platform::Timer> timer_;
  PortSource source_;
  std::vector<std::string> portList_;
  bool searching_ = false;
  int searchIndex_ = 0;
  int progress_ = 0;
  std::string port_;
  int found_ = -1;
};

}  // namespace modem
