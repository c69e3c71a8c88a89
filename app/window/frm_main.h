#pragma once
// TfrmMain: the main window's logic, written against the view of its named
// elements. It owns the modem component (ZoGSM1), the window state shared by the
// import, the composer, the campaign and the manual entry, the four timers
// and the placement store.
//
// Threads: main thread only: every handler runs from the main loop, and the
// modem engine reaches the form only through the component's events.

#include <filesystem>
#include <memory>
#include <string>

#include "app/window/action.h"
#include "app/window/frm_main_view.h"
#include "app/window/frm_tel_list.h"
#include "app/core/number_list.h"
#include "app/core/result_workbook.h"
#include "app/window/zo_form_storage.h"
#include "modem/zogsm.h"
#include "platform/main_loop.h"

namespace journal {
class TCampaignJournal;
}

namespace app {

class TCampaign;
struct TImportResult;
struct TUnfinishedCampaign;
class TCampaignScreen;
class TMessageEditor;

// Where the settings live in the settings store.
inline constexpr const char* kSettingsKey = "software\\Talvane\\GSM";

class TfrmMain {
 public:
  // Loads the design into the view, binds the events, builds the placement
  // store and runs FormCreate. `programFile` names the program for the
  // placement key (the running executable when empty).
  TfrmMain(platform::MainLoop& loop, const TfrmMainView& view, TfrmTelList& telList,
           std::filesystem::path programFile = {});
  // Raises the window's OnDestroy (placement save, then FormDestroy).
  ~TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // The availability rule and the look of the message editor; run whenever
  // the window is idle (its message queue has become empty).
  void ApplicationIdle();

  // Shows `port` in the port box and gives it to ZoGSM1 without saving it:
  // the port of the simulated modem that the start script runs.
  void UseStartPort(const std::string& port);

  // ---- Parts of the window, for its views and tests ----
  const TfrmMainView& View() const { return view_; }
  TfrmTelList& TelList() { return telList_; }
  modem::TZoGSM& ZoGSM1() { return *zoGSM1_; }
  TZoFormStorage& ZoFormStorage1() { return *zoFormStorage1_; }
  TAction& actImportuj() { return actImportuj_; }
  TAction& actWyslij() { return actWyslij_; }
  TAction& actZatrzymaj() { return actZatrzymaj_; }
  TAction& actZapiszPort() { return actZapiszPort_; }
  platform::Timer& Timer1() { return *timer1_; }
  platform::Timer& Timer2() { return *timer2_; }
  platform::Timer& Timer3() { return *timer3_; }
  platform::Timer& Timer4() { return *timer4_; }

  // ---- Window state ----
  TNumberList& NumberList() { return numberList_; }
  // Directory of the program file, ending with a separator.
  const std::string& ProgramDirectory() const { return programDirectory_; }
  const std::string& InputFilePath() const { return inputFilePath_; }
  const std::string& ResultFilePath() const { return resultFilePath_; }
  int SentCounter() const;
  TResultWorkbook& ResultWorkbook() { return resultWorkbook_; }
  // Where the result workbook is saved (set by the import and the manual entry).
  void SetResultFilePath(const std::string& path) { resultFilePath_ = path; }
  TMessageEditor& MessageEditor() { return *messageEditor_; }
  TCampaign& Campaign() { return *campaign_; }
  // The campaigns are written into `journal` instead of the journal of the
  // program's data folder (opened at start-up when it is there, at the first
  // campaign otherwise). Given before the window's first show, it is the
  // journal asked about an unfinished campaign.
  void UseJournal(std::unique_ptr<journal::TCampaignJournal> journal);
  // The import's reading loop is running (it lets the window handle events).
  bool ImportRunning() const { return importRunning_; }
  // Set by the test connection ("test modemu"), cleared by the stop command.
  bool TestConnection() const { return testConnection_; }

 private:
  void CreateComponents();
  void BindEvents();
  void BindModemEvents();
  void UnbindEvents();

  // Construction, closing and destruction of the window.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();

  // Numbers in: the import and the manual entry (frm_main_import.cpp).
  void BindNumberEvents();
  void actImportujExecute();
  void TakeImport(const TImportResult& result);
  void BitBtn6Click();

  // Settings.
  void actZapiszPortExecute();
  void BitBtn2Click();
  void CheckBox1Click();
  void CheckBox2Click();
  void ComboBox1Enter();
  // The port chosen in the port box, saved or not, for the next connection.
  void UseChosenPort();

  // Status bar and connection events.
  void StatusBar1DrawPanel(TCanvas& canvas, int index, const TRect& rect);
  void Timer4Timer();
  void ZoGSM1Connecting();
  void ZoGSM1Connected();
  void ZoGSM1Disconnected();
  void ZoGSM1CheckSignalPower(int signal, bool acPower, int batteryStatus, const std::string& stringSignal);
  void ShowNoModemGauges();

  // The test connection and the modem search (frm_main_search.cpp).
  void BindModemPanel();
  void UnbindModemPanel();
  void Label10Click();
  // "Zatrzymaj" during a test connection (no campaign running): the
  // connection ends, the numbers stay. False when there is none to end.
  bool EndTestConnection();
  void BitBtn5Click();
  void ZoGSM1SearchProgress(int progress, const std::string& port, int found);
  void Timer3Timer();

  // Message composition and the send campaign.
  void CreateCampaign();
  void actWyslijExecute();
  // The settings of the settings page and the journal given to the campaign
  // about to start; false (the operator told why) without a journal.
  bool PrepareCampaign();
  // The journal of the program's data folder; false (the operator told why)
  // when it cannot be opened.
  bool OpenJournal();
  void actZatrzymajExecute();

  // Earlier campaigns of the journal (frm_main_resume.cpp): the question
  // about an unfinished one at start-up, and the same list again.
  // Once, after the window's first show: the newest unfinished campaign of
  // the journal, if any, offered for continuing.
  void OfferUnfinishedCampaign();
  // The journal of the program's data folder when it is there; a journal
  // that cannot be opened now is left to the campaign's start to report.
  journal::TCampaignJournal* ExistingJournal();
  // Asks about the messages in doubt, then continues the campaign; false
  // when the campaign refused to continue.
  bool ContinueCampaign(const TUnfinishedCampaign& unfinished);
  // Before "WYŚLIJ" starts a campaign: when the text already went to some of
  // the list's numbers, the operator chooses. False when nothing is to start
  // now (cancelled, or an earlier campaign continued instead).
  bool SettleEarlierSends();

  platform::MainLoop& loop_;
  TfrmMainView view_;
  TfrmTelList& telList_;
  std::filesystem::path programFile_;

  std::unique_ptr<modem::TZoGSM> zoGSM1_;
  std::unique_ptr<TZoFormStorage> zoFormStorage1_;
  std::unique_ptr<platform::Timer> timer1_;
  std::unique_ptr<platform::Timer> timer2_;
  std::unique_ptr<platform::Timer> timer3_;
  std::unique_ptr<platform::Timer> timer4_;
  // Fires once the window is shown and the loop runs: the start-up question.
  std::unique_ptr<platform::Timer> startupTimer_;

  TAction actImportuj_;
  TAction actWyslij_;
  TAction actZatrzymaj_;
  TAction actZapiszPort_;

  TNumberList numberList_;
  std::string programDirectory_;
  std::string inputFilePath_;
  std::string resultFilePath_;
  TResultWorkbook resultWorkbook_;
  std::unique_ptr<TMessageEditor> messageEditor_;
  // Opened at the first campaign; outlives the campaign that writes into it.
  std::unique_ptr<journal::TCampaignJournal> journal_;
  std::unique_ptr<TCampaignScreen> campaignScreen_;
  std::unique_ptr<TCampaign> campaign_;
  bool testConnection_ = false;
  bool importRunning_ = false;
  // The start-up question is asked at most once, and never once a campaign began.
  bool startupQuestionDone_ = false;
  std::string startPort_;  // shown in the port box's list as well
};

}  // namespace app
