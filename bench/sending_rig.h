#pragma once
// The modem component on the simulated modem over a pseudo-terminal,
// connected and ready to send, for the benchmarks that time a message's way
// through the component.
//
// Threads: the rig lives on the benchmark's thread, which runs the main loop;
// `aboutToSubmit` runs on the engine's thread.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "modem/engine_thread.h"
#include "modem/instance_settings.h"
#include "modem/zogsm.h"
#include "platform/headless_main_loop.h"
#include "platform/recording_dialogs.h"
#include "platform/test_folder.h"
#include "tools/modemsim/modem_simulator.h"

namespace bench {

// Counts the reports of judged parts (OnAfterSend).
struct SendingRig {
  using Clock = std::chrono::steady_clock;

  platform::TestFolder folder;
  platform::HeadlessMainLoop loop;
  platform::RecordingDialogs dialogs;
  modemsim::ModemSimulator sim;
  std::unique_ptr<modem::TZoGSM> gsm;
  int reports = 0;
  Clock::time_point lastReport;
  // Set before Connect: the component's OnAboutToSubmit and OnPartReport.
  std::function<bool(const modem::TQueuedPart&)> aboutToSubmit;
  std::function<void(const modem::TPartReport&)> partReported;

  SendingRig() { platform::InstallDialogs(&dialogs); }
  ~SendingRig() {
    if (gsm) gsm->SetActive(false);
    gsm.reset();
    platform::InstallDialogs(nullptr);
  }

  // Connects the component to the started simulated modem; false when it
  // does not come up within `limit`.
  bool Connect(std::chrono::seconds limit) {
    gsm = std::make_unique<modem::TZoGSM>(loop);
    modem::ApplyWorkingInstanceSettings(*gsm);
    gsm->SetAppDir((folder.Path() / "").string());
    gsm->SetComPort(sim.PortPath());
    gsm->SetCheckPwrSig(false);
    bool connected = false;
    gsm->OnConnected = [&connected](modem::TZoGSM&) { connected = true; };
    gsm->OnAfterSend = [this](modem::TZoGSM&, std::string&, const std::string&, int&, const std::string&, int, int, int,
                              bool) {
      lastReport = Clock::now();
      ++reports;
    };
    if (aboutToSubmit) gsm->OnAboutToSubmit = aboutToSubmit;
    if (partReported)
      gsm->OnPartReport = [this](modem::TZoGSM&, const modem::TPartReport& report) { partReported(report); };
    gsm->SetActive(true);
    gsm->SetConnected(true);
    const bool up = loop.RunUntil([&] { return connected && gsm->Engine()->CommandQueue.Empty(); }, limit);
    gsm->OnConnected = nullptr;
    gsm->SetSMSNumber("600100200");
    return up;
  }

  // Sends `text`; true once its `parts` reports came within `limit`.
  bool Send(const std::string& text, int parts, std::chrono::seconds limit) {
    gsm->SetSMSText(text);
    const int before = reports;
    if (gsm->SendSMS() != parts) return false;
    return loop.RunUntil([&] { return reports >= before + parts; }, limit);
  }
};

}  // namespace bench
