// TfrmMain: the test connection ("test modemu") and the modem search of the
// settings page ("Wyszukaj modem GSM"), with its progress gauge, the port
// box and the box that names the port found.

#include "app/window/frm_main.h"
#include "app/window/zo_tools.h"
#include "modem/modem_search.h"

namespace app {

namespace {

constexpr int kMessagePanel = 3;
constexpr int kGaugePanel = 1;

}  // namespace

void TfrmMain::BindModemPanel() {
  view_.Label10->OnClick = [this] { Label10Click(); };
  view_.BitBtn5->OnClick = [this] { BitBtn5Click(); };
  timer3_->OnTimer = [this] { Timer3Timer(); };
  modem::TZoGSM& z = *zoGSM1_;
  z.OnCheckSignalPower = [this](modem::TZoGSM&, int signal, bool acPower, int batteryStatus,
                                const std::string& stringSignal) {
    ZoGSM1CheckSignalPower(signal, acPower, batteryStatus, stringSignal);
  };
  z.OnSearchProgress = [this](modem::TZoGSM&, int progress, const std::string& port, int found) {
    ZoGSM1SearchProgress(progress, port, found);
  };
  z.OnGSMDeActivate = [this](modem::TZoGSM&) { ShowNoModemGauges(); };
}

void TfrmMain::UnbindModemPanel() {
  view_.Label10->OnClick = nullptr;
  view_.BitBtn5->OnClick = nullptr;
}

void TfrmMain::Label10Click() {
  modem::TZoGSM& z = *zoGSM1_;
  if (z.Connected()) return;
  UseChosenPort();
  z.SetActive(true);
  z.SetCanCheckSignal(view_.CheckBox1->Checked());
  z.SetCanCheckPower(view_.CheckBox2->Checked());
  z.SetSuppressAutoReconnect(true);  // a failed test is not retried on its own
  z.SetConnected(true);
  view_.StatusBar1->SetPanelText(kMessagePanel, Ansi("testowe połączenie z modemem GSM"));
  testConnection_ = true;
}

bool TfrmMain::EndTestConnection() {
  if (!testConnection_ || timer1_->Enabled()) return false;
  // Automatic reconnection is off for a test already; a later campaign keeps its own.
  if (zoGSM1_->Active()) zoGSM1_->SetConnected(false);
  view_.StatusBar1->SetPanelText(kMessagePanel, "");
  testConnection_ = false;
  return true;
}

void TfrmMain::BitBtn5Click() {
  view_.BitBtn5->SetEnabled(false);
  view_.StatusBar1->SetPanelText(kMessagePanel, Ansi("Kreator - wyszukiwanie modemu - czekaj..."));
  view_.ProgressBar1->SetRange(view_.ProgressBar1->MinValue(), 100);
  modem::TZoGSM& z = *zoGSM1_;
  z.RefreshComPorts();
  z.SetActive(true);
  z.SearchModem();
  // Refused (its message has been shown) or no port to try: nothing runs,
  // so the panel must not ask the user to wait. The idle rule gives the
  // button back.
  if (!z.Searching()) view_.StatusBar1->SetPanelText(kMessagePanel, "");
}

void TfrmMain::ZoGSM1SearchProgress(int progress, const std::string& port, int found) {
  TGauge& gauge = *view_.Gauge1;
  TStatusBar& bar = *view_.StatusBar1;
  gauge.SetRange(gauge.MinValue(), 100);
  bar.SetPanelStyle(kGaugePanel, TPanelStyle::OwnerDraw);
  gauge.SetVisible(true);
  gauge.SetProgress(progress);
  view_.ProgressBar1->SetProgress(progress);

  view_.ComboBox1->SetText(port);
  view_.ComboBox1->SetFontColor(clGray);

  if (found == 1) {
    // The box comes from Timer3, once the component's reaction has returned.
    timer3_->Start();
    gauge.SetVisible(false);
    view_.ComboBox1->SetFontColor(clRed);
    bar.SetPanelStyle(kGaugePanel, TPanelStyle::Text);
  } else if (found == 0) {
    view_.BitBtn5->SetEnabled(true);
    gauge.SetVisible(false);
    bar.SetPanelStyle(kGaugePanel, TPanelStyle::Text);
    bar.SetPanelText(kMessagePanel, "");  // the search is over: no more waiting
  }
  bar.Repaint();
}

void TfrmMain::Timer3Timer() {
  timer3_->Stop();
  const std::string port = zoGSM1_->ComPort();
  view_.StatusBar1->SetPanelText(kMessagePanel, Ansi("Znaleziono modem GSM - port: ") + port);
  loop_.ProcessPendingEvents();  // so that the panel is painted before the box
  InfoBox(Ansi("Znaleziono modem GSM na porcie komunikacyjnym ") + port + std::string(11, ' ') +
              "\r\n\r\n(Zapisz ustawienia)",
          Ansi(" INFORMACJA"));
  zoGSM1_->SetActive(false);
  view_.ComboBox1->SetFontColor(clBlue);
  view_.StatusBar1->SetPanelText(kMessagePanel, "");
  view_.BitBtn5->SetEnabled(true);
}

}  // namespace app
