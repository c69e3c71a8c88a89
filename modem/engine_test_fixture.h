#pragma once
// The modem component with its engine against the simulated modem on a real
// pseudo-terminal, driven through the headless main loop. Every event the
// component raises is recorded in order.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "modem/engine_thread.h"
#include "modem/engine_timing.h"
#include "modem/instance_settings.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"
#include "platform/headless_main_loop.h"
#include "platform/recording_dialogs.h"
#include "platform/test_folder.h"
#include "tools/modemsim/modem_simulator.h"

namespace modem {

struct RecordedEvent {
  std::string name;
  std::string text;  // OnQuietError: ErrorText; OnAfterComRx: the lines, each followed by CR LF; else the values
};

class EngineTest : public ::testing::Test {
 protected:
  // `timingScale` shortens every wait of the engine (1 = the real values).
  explicit EngineTest(double timingScale = 0.1) : scale_(timingScale) {}

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    platform::InstallDialogs(&dialogs);
    gsm.SetAppDir((folder.Path() / "").string());
    ApplyWorkingInstanceSettings(gsm);
    gsm.SetComPort(sim.PortPath());
    RecordEvents();
  }

  void TearDown() override {
    gsm.SetActive(false);
    platform::InstallDialogs(nullptr);
    // The component reports; it never shows a box itself.
    EXPECT_TRUE(dialogs.Texts().empty());
  }

  void RecordEvents() {
    auto note = [this](const char* name, std::string text = {}) { events.push_back({name, std::move(text)}); };
    gsm.OnConnecting = [note](TZoGSM&) { note("OnConnecting"); };
    gsm.OnConnected = [note](TZoGSM&) { note("OnConnected"); };
    gsm.OnDisconnected = [note](TZoGSM&) { note("OnDisconnected"); };
    gsm.OnGSMActivate = [note](TZoGSM&) { note("OnGSMActivate"); };
    gsm.OnGSMDeActivate = [note](TZoGSM&) { note("OnGSMDeActivate"); };
    gsm.OnQuietError = [note](TZoGSM& sender) { note("OnQuietError", sender.ErrorText()); };
    gsm.OnAfterComRx = [note](TZoGSM&, const std::vector<std::string>& lines) {
      note("OnAfterComRx", JoinLines(lines));
    };
    gsm.OnCheckSignalPower = [note](TZoGSM&, int signal, bool acPower, int battery, const std::string& kind) {
      note("OnCheckSignalPower", std::to_string(signal) + " " + (acPower ? "true" : "false") + " " +
                                     std::to_string(battery) + " " + kind);
    };
    gsm.OnGetModelGSM = [note](TZoGSM&, const std::string& model, const std::string& imei, const std::string& bios,
                               int sim, int phone) {
      note("OnGetModelGSM", model + " " + imei + " " + bios + " " + std::to_string(sim) + " " + std::to_string(phone));
    };
    gsm.OnSendProgress = [note](TZoGSM&, int queue) { note("OnSendProgress", std::to_string(queue)); };
    // Marker|NrTel|SendingStatus|SMSText|SMSRef|SMSPartNr|SMSTotal|WaitReport
    gsm.OnAfterSend = [note](TZoGSM&, std::string& marker, const std::string& nrTel, int& status,
                             const std::string& text, int ref, int partNr, int total, bool waitReport) {
      note("OnAfterSend", marker + "|" + nrTel + "|" + std::to_string(status) + "|" + text + "|" +
                              std::to_string(ref) + "|" + std::to_string(partNr) + "|" + std::to_string(total) + "|" +
                              (waitReport ? "true" : "false"));
    };
    gsm.OnGetPhoneBook = [note](TZoGSM&) { note("OnGetPhoneBook"); };
    gsm.OnMisuse = [this](TZoGSM&, const std::string& text) { misuses.push_back(text); };
  }

  // Runs the main loop until `done` or the timeout.
  bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    return loop.RunUntil(done, timeout);
  }

  // Index of the first event at or after `from` with this name whose text
  // contains `part`; -1 when there is none.
  int Find(const std::string& name, const std::string& part = {}, int from = 0) const {
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < events.size(); ++i) {
      if (events[i].name == name && Contains(events[i].text, part)) return static_cast<int>(i);
    }
    return -1;
  }

  bool WaitForEvent(const std::string& name, const std::string& part = {}, int from = 0,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    return WaitFor([&] { return Find(name, part, from) >= 0; }, timeout);
  }

  // Activates the component, requests the connection and waits for the
  // status report that follows a successful one.
  bool Connect() {
    gsm.SetActive(true);
    gsm.SetConnected(true);
    return WaitForEvent("OnQuietError", "OK", Find("OnConnected"));
  }

  // How many times the modem received exactly this command.
  int Sent(const std::string& command) const {
    const std::vector<std::string> commands = sim.Commands();
    return static_cast<int>(std::count(commands.begin(), commands.end(), command));
  }

  // The engine has no queued command left.
  bool QueueEmpty() const { return gsm.Engine() != nullptr && gsm.Engine()->CommandQueue.Empty(); }

  // Waits for the report of a queued command's answer.
  bool WaitForReport(const std::string& command, int from = 0) {
    return WaitForEvent("OnAfterComRx", "******* AT Command ********\r\n" + command + "\r\n", from);
  }

  // Connects and waits until the first power and signal queries are answered.
  bool ConnectAndSettle() { return Connect() && WaitForReport("AT+CSQ", Find("OnConnected")); }

  // The names of the recorded events, without the modem traffic.
  std::vector<std::string> Names(bool withTraffic = false) const {
    std::vector<std::string> names;
    for (const RecordedEvent& e : events) {
      if (withTraffic || e.name != "OnAfterComRx") names.push_back(e.name);
    }
    return names;
  }

  std::string Dump() const {
    std::string text;
    for (const RecordedEvent& e : events) text += e.name + " " + e.text + "\n";
    return text;
  }

  timing::ScopedTimingScale scale_;
  platform::TestFolder folder;
  platform::HeadlessMainLoop loop;
  platform::RecordingDialogs dialogs;
  modemsim::ModemSimulator sim;
  TZoGSM gsm{loop};
  std::vector<RecordedEvent> events;
  std::vector<std::string> misuses;  // the texts of OnMisuse, in order
};

}  // namespace modem
