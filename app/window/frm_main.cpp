// TfrmMain: construction, the availability rule, closing and destruction.

#include "app/window/frm_main.h"

#include <algorithm>

#include "app/core/campaign.h"
#include "app/window/frm_main_design.h"
#include "app/window/modem_boxes.h"
#include "app/window/message_editor.h"
#include "app/window/zo_tools.h"
#include "modem/instance_settings.h"
#include "modem/modem_search.h"
#include "platform/port_list.h"
#include "platform/program_dir.h"

namespace app {

TfrmMain::TfrmMain(platform::MainLoop& loop, const TfrmMainView& view, TfrmTelList& telList,
                   std::filesystem::path programFile)
    : loop_(loop),
      view_(view),
      telList_(telList),
      programFile_(programFile.empty() ? platform::ProgramFile() : std::move(programFile)),
      actImportuj_("actImportuj", Ansi("Otwórz plik XLS")),
      actWyslij_("actWyslij", Ansi("WYŚLIJ")),
      actZatrzymaj_("actZatrzymaj", Ansi("Zatrzymaj")),
      actZapiszPort_("actZapiszPort", Ansi("Zapisz ustawienia")) {
  design::LoadDesign(view_);
  CreateComponents();
  BindEvents();
  BindNumberEvents();

  zoFormStorage1_ = std::make_unique<TZoFormStorage>(*view_.frmMain, programFile_);
  zoFormStorage1_->SetIniFileName(TZoFormStorage::kAppIniName);
  zoFormStorage1_->SetTypeIniName(TApplicationIniName::asAppIniName);
  zoFormStorage1_->SetUseRegistry(true);
  zoFormStorage1_->Loaded();

  FormCreate();
}

TfrmMain::~TfrmMain() {
  if (view_.frmMain->OnDestroy) view_.frmMain->OnDestroy();
  // The view outlives the logic: leave it no handler that points here.
  zoFormStorage1_.reset();
  campaign_.reset();
  messageEditor_.reset();
  UnbindEvents();
}

void TfrmMain::CreateComponents() {
  zoGSM1_ = std::make_unique<modem::TZoGSM>(loop_);
  ShowModemMessagesInBoxes(*zoGSM1_);
  modem::ApplyWorkingInstanceSettings(*zoGSM1_);

  auto timer = [this](int interval, bool enabled) {
    std::unique_ptr<platform::Timer> t = loop_.CreateTimer();
    t->SetInterval(interval);
    t->SetEnabled(enabled);
    return t;
  };
  timer1_ = timer(500, false);
  timer2_ = timer(300, false);
  timer3_ = timer(100, false);
  timer4_ = timer(1000, true);
  startupTimer_ = timer(1, false);
}

void TfrmMain::BindEvents() {
  actImportuj_.Bind(*view_.BitBtn1);
  actWyslij_.Bind(*view_.BitBtn3);
  actZatrzymaj_.Bind(*view_.BitBtn4);
  actZapiszPort_.Bind(*view_.btnZapisz);
  actZapiszPort_.OnExecute = [this] { actZapiszPortExecute(); };

  view_.frmMain->OnShow = [this] { FormShow(); };
  view_.frmMain->OnClose = [this] { FormClose(); };
  view_.frmMain->OnDestroy = [this] { FormDestroy(); };
  view_.BitBtn2->OnClick = [this] { BitBtn2Click(); };
  view_.CheckBox1->OnClick = [this] { CheckBox1Click(); };
  view_.CheckBox2->OnClick = [this] { CheckBox2Click(); };
  view_.ComboBox1->OnEnter = [this] { ComboBox1Enter(); };
  view_.StatusBar1->OnDrawPanel = [this](TCanvas& canvas, int index, const TRect& rect) {
    StatusBar1DrawPanel(canvas, index, rect);
  };
  timer4_->OnTimer = [this] { Timer4Timer(); };
  BindModemEvents();
  BindModemPanel();
  messageEditor_ = std::make_unique<TMessageEditor>(view_, *timer2_);
  CreateCampaign();
}

void TfrmMain::BindModemEvents() {
  modem::TZoGSM& z = *zoGSM1_;
  z.OnConnecting = [this](modem::TZoGSM&) { ZoGSM1Connecting(); };
  z.OnConnected = [this](modem::TZoGSM&) { ZoGSM1Connected(); };
  z.OnDisconnected = [this](modem::TZoGSM&) { ZoGSM1Disconnected(); };
  // Bound on purpose although the window ignores them: a bound OnAfterComRx
  // makes the component empty the engine's received lines at every report.
  z.OnAfterComRx = [](modem::TZoGSM&, const std::vector<std::string>&) {};
  z.OnQuietError = [](modem::TZoGSM&) {};
}

void TfrmMain::UnbindEvents() {
  for (TButton* button : {view_.BitBtn1, view_.BitBtn3, view_.BitBtn4, view_.btnZapisz, view_.BitBtn2,
                          view_.BitBtn6}) {
    button->OnClick = nullptr;
  }
  view_.frmMain->OnShow = nullptr;
  view_.frmMain->OnCloseQuery = nullptr;
  view_.frmMain->OnClose = nullptr;
  view_.frmMain->OnDestroy = nullptr;
  view_.CheckBox1->OnClick = nullptr;
  view_.CheckBox2->OnClick = nullptr;
  view_.ComboBox1->OnEnter = nullptr;
  view_.StatusBar1->OnDrawPanel = nullptr;
  UnbindModemPanel();
}

void TfrmMain::FormCreate() {
  numberList_.Clear();
  view_.StatusBar1->HostControl(*view_.Gauge1);
  view_.StatusBar1->SetPanelStyle(1, TPanelStyle::Text);
  view_.PageControl1->SetActivePageIndex(0);
  programDirectory_ = (platform::ProgramDirectory() / "").string();

  const std::string port = RegReadStr("PortCOM", "COM1", kSettingsKey);
  zoGSM1_->SetComPort(port);
  view_.ComboBox1->SetText(port);

  // Changing a box runs its click reaction, which copies the state to the
  // component; the copies below cover a box that did not change.
  view_.CheckBox1->SetChecked(RegReadBool("CheckSignal", true, kSettingsKey));
  zoGSM1_->SetCanCheckSignal(view_.CheckBox1->Checked());
  view_.CheckBox2->SetChecked(RegReadBool("CheckPower", true, kSettingsKey));
  zoGSM1_->SetCanCheckPower(view_.CheckBox2->Checked());

  view_.LogMemo->SetAutoFontSwitching(false);
  view_.frmMain->SetCaption(Ansi("Talvane ver.1.02"));
}

void TfrmMain::FormShow() {
  // Asked from the loop, so that the question stands over a window already drawn.
  if (startupQuestionDone_) return;
  startupTimer_->OnTimer = [this] {
    startupTimer_->Stop();
    OfferUnfinishedCampaign();
  };
  startupTimer_->Start();
}

void TfrmMain::ApplicationIdle() {
  const bool connected = zoGSM1_->Connected();
  // Inside a running import neither another import, nor the send command,
  // nor a manual number may start.
  actImportuj_.SetEnabled(!connected && !importRunning_);
  actWyslij_.SetEnabled(!numberList_.Empty() && !connected && !importRunning_);
  view_.Label10->SetEnabled(!connected);
  actZapiszPort_.SetEnabled(!connected);
  view_.BitBtn6->SetEnabled(!connected && !importRunning_);
  view_.Label33->SetEnabled(!connected && !importRunning_);
  view_.Edit1->SetEnabled(!connected && !importRunning_);
  actZatrzymaj_.SetEnabled(true);
  // The search button is back once no search runs and no result waits for
  // its box, also after a search the component refused or that ended when
  // the modem was switched off.
  view_.BitBtn5->SetEnabled(!zoGSM1_->Searching() && !timer3_->Enabled());

  TEditor& memo = *view_.Memo1;
  if (connected) {
    memo.SetColor(design::kMemoConnectedBackground);
    memo.SetFontColor(design::kMemoConnectedTextColor);
    memo.SetFontStyle(true, true);
  } else {
    // The red of a refused start stays until the text changes.
    if (memo.Color() != clRed) memo.SetColor(clWhite);
    memo.SetFontColor(design::kMemoTextColor);
    memo.SetFontStyle(true, false);
  }
}

void TfrmMain::UseStartPort(const std::string& port) {
  // The port joins the ports of the machine, for the port box and the search.
  zoGSM1_->Search().SetPortSource([port] {
    std::vector<std::string> ports = platform::ListSerialPorts();
    if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
    return ports;
  });
  zoGSM1_->RefreshComPorts();
  zoGSM1_->SetComPort(port);
  view_.ComboBox1->SetText(port);
}

void TfrmMain::FormClose() {
  zoGSM1_->SetActive(false);
  if (resultWorkbook_.Exists() && !resultFilePath_.empty()) resultWorkbook_.SaveAs(resultFilePath_);
}

void TfrmMain::FormDestroy() {
  numberList_.Clear();
  resultWorkbook_.Discard();
}

}  // namespace app
