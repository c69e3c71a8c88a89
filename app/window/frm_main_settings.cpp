// TfrmMain: the settings page (port, signal and power checks).

#include "app/window/frm_main.h"
#include "app/window/zo_tools.h"
#include "platform/text.h"

namespace app {

namespace {

void SettingsSaved() { InfoBox(Ansi("Ustawienia zostały pomyślnie zapisane       "), Ansi(" INFORMACJA")); }

}  // namespace

void TfrmMain::actZapiszPortExecute() {
  if (zoGSM1_->Active()) zoGSM1_->SetActive(false);
  view_.ComboBox1->SetFontColor(clBlue);
  zoGSM1_->SetComPort(view_.ComboBox1->Text());
  RegWriteStr("PortCOM", platform::TrimControl(view_.ComboBox1->Text()), kSettingsKey);
  SettingsSaved();
}

void TfrmMain::UseChosenPort() {
  // The user connects to the port shown; only "Zapisz ustawienia" keeps it
  // for the next start.
  zoGSM1_->SetComPort(platform::TrimControl(view_.ComboBox1->Text()));
}

void TfrmMain::BitBtn2Click() {
  RegWriteBool("CheckSignal", view_.CheckBox1->Checked(), kSettingsKey);
  RegWriteBool("CheckPower", view_.CheckBox2->Checked(), kSettingsKey);
  SettingsSaved();
}

void TfrmMain::CheckBox1Click() {
  zoGSM1_->SetCanCheckSignal(view_.CheckBox1->Checked());
  if (!view_.CheckBox1->Checked()) view_.Gauge3->SetProgress(0);
}

void TfrmMain::CheckBox2Click() {
  zoGSM1_->SetCanCheckPower(view_.CheckBox2->Checked());
  if (!view_.CheckBox2->Checked()) view_.Gauge2->SetProgress(0);
}

void TfrmMain::ComboBox1Enter() {
  zoGSM1_->RefreshComPorts();
  view_.ComboBox1->SetItems(zoGSM1_->PortList());
}

}  // namespace app
