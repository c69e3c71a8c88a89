#include "app/window/frm_main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/window/testing/memory_view.h"
#include "app/window/test_support.h"
#include "app/window/window_test_fixture.h"
#include "modem/engine_timing.h"
#include "platform/headless_main_loop.h"
#include "tools/modemsim/modem_simulator.h"

namespace app {
namespace {

constexpr const char* kPlacementKey = "\\Software\\Talvane\\frmMain";

class MainWindow : public testing::WindowTest {
 protected:
  std::string Setting(const char* name) {
    std::string value;
    return env.registry.ReadString(kSettingsKey, name, value) == platform::RegistryStatus::Ok ? value : "<none>";
  }
  std::optional<std::uint32_t> Flag(const char* name) {
    std::uint32_t value = 0;
    if (env.registry.ReadDword(kSettingsKey, name, value) != platform::RegistryStatus::Ok) return std::nullopt;
    return value;
  }
};

TEST_F(MainWindow, EveryLabelStartsWithItsCaptionColourAndState) {
  Start();
  struct Case {
    MemoryLabel& label;
    const char* caption;
    TColor color;
    bool bold;
    bool enabled;
  };
  const Case cases[] = {
      {view.TabSheet1, "Wysyłka masowa", clBlack, false, true},
      {view.TabSheet2, "Ustawienia", clBlack, false, true},
      {view.GroupBox1, " Import danych z arkusza ", clBlack, false, true},
      {view.GroupBox2, " Treść wiadomości  SMS ", clBlack, false, true},
      {view.Label6, "SMS: 0", 0x800040, true, true},
      {view.Label7, "Znak: 0", 0x800040, true, true},
      {view.GroupBox7, " Obsługa manualna ", clBlack, false, true},
      {view.Label33, "Nr telefonu:", clBlack, false, true},
      {view.Label4, "Status wykonywanych zadań:", clGray, false, true},
      {view.Label5, "TELEFONY", clBlack, false, true},
      {view.lbWszystkie0, "Wczytane:", clGray, false, true},
      {view.lbWszystkie, "0", clGray, false, true},
      {view.lbPrawidlowe0, "Prawidłowe:", clBlue, true, false},
      {view.lbPrawidlowe, "0", clBlue, true, false},
      {view.lbDuplikaty0, "Duplikaty:", clFuchsia, false, false},
      {view.lbDuplikaty, "0", clFuchsia, false, false},
      {view.lbKorekty0, "Korekty:", 0xFF8000, false, false},
      {view.lbKorekty, "0", 0xFF8000, false, false},
      {view.lbBledy0, "Odrzucone:", clRed, false, false},
      {view.lbBledy, "0", clRed, false, false},
      {view.GroupBox4, " Kreator ", clBlack, false, true},
      {view.GroupBox3, " Port komunikacyjny ", clBlack, false, true},
      {view.GroupBox6, " Ustawienia zaawansowane ", clBlack, false, true},
      {view.GroupBox5, " Stan modemu GSM ", clBlack, false, true},
      {view.Label10, "test modemu", clBlue, false, true},
      {view.Label8, "zasilanie", clBlack, false, true},
      {view.Label9, "sygnał anteny", clBlack, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label.Name());
    EXPECT_EQ(c.label.Caption(), Ansi(c.caption));
    EXPECT_EQ(c.label.Font().Color, c.color);
    EXPECT_EQ(c.label.Font().Bold, c.bold);
    EXPECT_EQ(c.label.Font().Name, "Tahoma");
    EXPECT_EQ(c.label.Enabled(), c.enabled);
    EXPECT_TRUE(c.label.Visible());
  }
  EXPECT_TRUE(view.Label10.Font().Underline);
}

TEST_F(MainWindow, ButtonsBoxesEditorsAndGaugesStartAsDesigned) {
  Start();
  EXPECT_EQ(view.frmMain.Caption(), Ansi("Talvane ver.1.02"));
  EXPECT_EQ(view.frmMain.ClientWidth(), 838);
  EXPECT_EQ(view.frmMain.ClientHeight(), 752);
  EXPECT_EQ(view.frmMain.MinimumWidth(), 846);
  EXPECT_EQ(view.frmMain.MinimumHeight(), 786);
  EXPECT_EQ(view.PageControl1.ActivePageIndex(), 0);

  EXPECT_EQ(view.BitBtn1.Caption(), Ansi("Otwórz plik XLS"));
  EXPECT_EQ(view.BitBtn3.Caption(), Ansi("WYŚLIJ"));
  EXPECT_EQ(view.BitBtn4.Caption(), Ansi("Zatrzymaj"));
  EXPECT_EQ(view.btnZapisz.Caption(), Ansi("Zapisz ustawienia"));
  EXPECT_EQ(view.BitBtn2.Caption(), Ansi("Zapisz ustawienia"));
  EXPECT_EQ(view.BitBtn5.Caption(), Ansi("Wyszukaj modem GSM"));
  EXPECT_EQ(view.BitBtn6.Caption(), Ansi("Dodaj"));

  EXPECT_EQ(view.CheckBox3.Caption(), Ansi("Wykluczaj duplikaty"));
  EXPECT_TRUE(view.CheckBox3.Checked());
  EXPECT_EQ(view.CheckBox4.Caption(), Ansi("Zezwalaj na używanie polskich znaków"));
  EXPECT_FALSE(view.CheckBox4.Checked());
  EXPECT_EQ(view.CheckBox5.Caption(), Ansi("Wyślij jako FLASH SMS"));
  EXPECT_FALSE(view.CheckBox5.Checked());
  EXPECT_EQ(view.CheckBox1.Caption(), Ansi("Sprawdzaj stan sygnału anteny"));
  EXPECT_EQ(view.CheckBox2.Caption(), Ansi("Sprawdzaj stan zasilania"));
  EXPECT_EQ(view.RadioButton1.Caption(), Ansi("Tylko numery telefonów"));
  EXPECT_TRUE(view.RadioButton1.Checked());
  EXPECT_FALSE(view.RadioButton1.Visible());
  EXPECT_EQ(view.RadioButton2.Caption(), Ansi("Numery tel wraz z wiadomościami"));
  EXPECT_FALSE(view.RadioButton2.Enabled());
  EXPECT_FALSE(view.RadioButton2.Visible());

  EXPECT_EQ(view.Memo1.Text(), "");
  EXPECT_EQ(view.Memo1.MaxLength(), 1224);
  EXPECT_EQ(view.Memo1.Font(), (TFont{"Verdana", 10, true, false, false, 0x3E3E3E}));
  EXPECT_EQ(view.Memo1.Color(), clWhite);
  EXPECT_FALSE(view.Memo2.Visible());
  EXPECT_EQ(view.Edit1.MaxLength(), 24);  // room for "+48 600 100 200" and the like
  EXPECT_EQ(view.Edit1.Font(), (TFont{"Verdana", 9, true}));
  EXPECT_EQ(view.ComboBox1.Font(), (TFont{"Tahoma", 8, true, false, false, clBlue}));

  EXPECT_EQ(view.LogMemo.LineCount(), 0);
  EXPECT_EQ(view.LogMemo.InsertionAttributes(), (TFont{"Tahoma", 9, false, false, false, 0x3E3E3E}));
  EXPECT_EQ(view.LogMemo.Color(), clWhite);
  EXPECT_FALSE(view.LogMemo.AutoFontSwitching());

  for (MemoryGauge* gauge : {&view.Gauge2, &view.Gauge3}) {
    EXPECT_EQ(gauge->MaxValue(), 100);
    EXPECT_EQ(gauge->ForeColor(), clYellow);
    EXPECT_EQ(gauge->Color(), clBlack);
  }
  EXPECT_EQ(view.ProgressBar1.MaxValue(), 100);
  EXPECT_FALSE(view.Gauge1.Visible());
  EXPECT_EQ(view.Gauge1.ForeColor(), 0x80FF00u);
  EXPECT_EQ(view.Gauge1.Progress(), 0);
  EXPECT_TRUE(view.StatusBar1.Hosts(view.Gauge1));

  EXPECT_EQ(view.StatusBar1.PanelCount(), 4);
  EXPECT_EQ(view.StatusBar1.PanelText(0), Ansi("Modem wyłączony"));
  EXPECT_EQ(view.StatusBar1.PanelStyle(0), TPanelStyle::OwnerDraw);
  EXPECT_EQ(view.StatusBar1.PanelStyle(1), TPanelStyle::Text);
  EXPECT_EQ(view.StatusBar1.PanelText(2), "kol [-,-]");
  EXPECT_EQ(view.StatusBar1.PanelText(3), "");

  EXPECT_EQ(view.OpenDialog1.Filter(),
            Ansi("Wszystkie obsługiwane (*.xls;*.xlsx;*.csv;*.txt)|*.xls;*.xlsx;*.csv;*.txt|EXCEL (*.xls)|*.xls|"
                 "EXCEL (*.xlsx)|*.xlsx|Pliki tekstowe (*.csv;*.txt)|*.csv;*.txt"));
  EXPECT_EQ(view.OpenDialog1.FilterIndex(), 1);
  EXPECT_EQ(view.OpenDialog1.DefaultExt(), "*.xls");

  EXPECT_FALSE(form->Timer1().Enabled());
  EXPECT_EQ(form->Timer1().Interval(), 500);
  EXPECT_FALSE(form->Timer2().Enabled());
  EXPECT_EQ(form->Timer2().Interval(), 300);
  EXPECT_FALSE(form->Timer3().Enabled());
  EXPECT_EQ(form->Timer3().Interval(), 100);
  EXPECT_TRUE(form->Timer4().Enabled());
  EXPECT_EQ(form->Timer4().Interval(), 1000);

  EXPECT_EQ(tel.frmTelList.Caption(), Ansi("Lista numerów"));
  EXPECT_FALSE(tel.frmTelList.Visible());
  EXPECT_EQ(tel.frmTelList.ClientWidth(), 293);
  EXPECT_EQ(tel.frmTelList.ClientHeight(), 484);
  EXPECT_EQ(tel.ListBox1.Color(), 0xFFFF80u);
  EXPECT_EQ(tel.Usun1.Caption(), Ansi("Usuń"));

  EXPECT_EQ(form->ProgramDirectory(), (env.ProgramDir() / "").string());
}

TEST_F(MainWindow, ModemComponentsCarryTheirDesignSettings) {
  Start();
  modem::TZoGSM& z1 = form->ZoGSM1();
  EXPECT_EQ(z1.InstanceName(), "Talvane");
  EXPECT_EQ(z1.BaudRate(), "115200");
  EXPECT_EQ(z1.InitStrings(), (std::vector<std::string>{"AT&F", "ATE0", "AT+CMGF=0"}));
  EXPECT_EQ(z1.PrefixForCountry(), "+48");
  EXPECT_EQ(z1.ResetCMD(), "AT&F");
  EXPECT_TRUE(z1.DisableIncomingSMS());
  EXPECT_FALSE(z1.SMSReport());
  EXPECT_EQ(z1.SMSMergeMax(), 10);
  EXPECT_FALSE(z1.GetUnreaded());
  EXPECT_FALSE(z1.DeleteSMSafterRead());
  EXPECT_EQ(z1.RecipientSepStart(), '=');
  EXPECT_EQ(z1.RecipientSepStop(), '.');
  EXPECT_EQ(z1.HangUpSignalCount(), 0);
  EXPECT_TRUE(z1.DisableAutoRxSMS());
  EXPECT_FALSE(z1.CheckNumberSyntax());
  EXPECT_FALSE(z1.EnableCIEV());
  EXPECT_FALSE(z1.Active());
  EXPECT_TRUE(z1.OnConnected && z1.OnDisconnected && z1.OnConnecting && z1.OnAfterComRx && z1.OnQuietError);

  EXPECT_TRUE(env.dialogs.Boxes().empty());
}

TEST_F(MainWindow, FirstStartWithoutSettingsUsesTheDefaultsAndWritesNothing) {
  Start();
  EXPECT_EQ(view.ComboBox1.Text(), "COM1");
  EXPECT_EQ(form->ZoGSM1().ComPort(), "COM1");
  EXPECT_TRUE(view.CheckBox1.Checked());
  EXPECT_TRUE(view.CheckBox2.Checked());
  EXPECT_TRUE(form->ZoGSM1().CanCheckSignal());
  EXPECT_TRUE(form->ZoGSM1().CanCheckPower());
  EXPECT_FALSE(env.registry.KeyExists(kSettingsKey));
  EXPECT_FALSE(std::filesystem::exists(env.registry.File()));
}

TEST_F(MainWindow, StoredSettingsReachTheBoxesAndTheModem) {
  env.registry.WriteString(kSettingsKey, "PortCOM", "/dev/ttyUSB0");
  env.registry.WriteDword(kSettingsKey, "CheckSignal", 0);
  env.registry.WriteString(kSettingsKey, "CheckPower", "0");  // not an integer: read fails
  Start();
  view.Gauge3.SetProgress(40);
  EXPECT_EQ(view.ComboBox1.Text(), "/dev/ttyUSB0");
  EXPECT_EQ(form->ZoGSM1().ComPort(), "/dev/ttyUSB0");
  EXPECT_FALSE(view.CheckBox1.Checked());
  EXPECT_FALSE(form->ZoGSM1().CanCheckSignal());
  EXPECT_TRUE(view.CheckBox2.Checked());
  EXPECT_TRUE(form->ZoGSM1().CanCheckPower());
}

TEST_F(MainWindow, AStoredZeroUnchecksTheBoxThroughItsClickReaction) {
  env.registry.WriteDword(kSettingsKey, "CheckSignal", 0);
  env.registry.WriteDword(kSettingsKey, "CheckPower", 0);
  // The gauges start at 0 anyway; give them a value the click reaction must clear.
  view.Gauge3.SetProgress(77);
  view.Gauge2.SetProgress(66);
  Start();
  EXPECT_EQ(view.Gauge3.Progress(), 0);
  EXPECT_EQ(view.Gauge2.Progress(), 0);
  EXPECT_FALSE(form->ZoGSM1().CanCheckPower());
}

TEST_F(MainWindow, SavingThePortStoresItTrimmedAndGivesItUntrimmedToTheModem) {
  Start();
  view.ComboBox1.SetFontColor(clGray);
  view.ComboBox1.Type(" /dev/ttyUSB1 ");
  Click(view.btnZapisz);
  EXPECT_EQ(form->ZoGSM1().ComPort(), " /dev/ttyUSB1 ");
  EXPECT_EQ(Setting("PortCOM"), "/dev/ttyUSB1");
  EXPECT_EQ(view.ComboBox1.Font().Color, clBlue);
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].text, Ansi("Ustawienia zostały pomyślnie zapisane       "));
  EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" INFORMACJA"));
  EXPECT_EQ(env.dialogs.Boxes()[0].icon, platform::DialogIcon::Information);
  // Nothing else was saved.
  EXPECT_FALSE(Flag("CheckSignal"));

  // The next start shows the saved port.
  Stop();
  MemoryMainView next;
  TfrmTelList nextList(tel.View());
  TfrmMain again(loop, next.View(), nextList, "/opt/talvane/Talvane.exe");
  EXPECT_EQ(next.ComboBox1.Text(), "/dev/ttyUSB1");
}

TEST_F(MainWindow, CheckBoxClicksReachTheModemButOnlyTheButtonSaves) {
  Start();
  view.Gauge3.SetProgress(50);
  view.Gauge2.SetProgress(50);
  view.CheckBox1.Click();
  EXPECT_FALSE(form->ZoGSM1().CanCheckSignal());
  EXPECT_EQ(view.Gauge3.Progress(), 0);
  EXPECT_EQ(view.Gauge2.Progress(), 50);
  view.CheckBox2.Click();
  EXPECT_FALSE(form->ZoGSM1().CanCheckPower());
  EXPECT_EQ(view.Gauge2.Progress(), 0);
  view.CheckBox2.Click();
  EXPECT_TRUE(form->ZoGSM1().CanCheckPower());
  EXPECT_FALSE(env.registry.KeyExists(kSettingsKey));

  Click(view.BitBtn2);
  EXPECT_EQ(Flag("CheckSignal"), 0u);
  EXPECT_EQ(Flag("CheckPower"), 1u);
  EXPECT_EQ(Setting("PortCOM"), "<none>");
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].text, Ansi("Ustawienia zostały pomyślnie zapisane       "));
}

TEST_F(MainWindow, AFailedSaveStillShowsTheBox) {
  std::ofstream(env.folder / "blocker") << "x";
  platform::Registry blocked(env.folder / "blocker" / "registry.reg");
  Start();
  platform::InstallRegistry(&blocked);
  Click(view.btnZapisz);
  Click(view.BitBtn2);
  platform::InstallRegistry(&env.registry);
  EXPECT_EQ(env.dialogs.Boxes().size(), 2u);
}

TEST_F(MainWindow, ThePortBoxListsThePortsPresentWhenItGetsTheFocus) {
  Start();
  form->UseStartPort("/dev/pts/77");
  view.ComboBox1.Focus();
  // The start port is one of the component's ports, for the box and the search.
  const std::vector<AnsiString> ports = form->ZoGSM1().PortList();
  EXPECT_EQ(std::count(ports.begin(), ports.end(), "/dev/pts/77"), 1);
  EXPECT_EQ(view.ComboBox1.Items(), ports);
  view.ComboBox1.Focus();  // listed once, however often the box is entered
  EXPECT_EQ(view.ComboBox1.Items(), ports);
  // The start port is shown and used, not saved.
  EXPECT_EQ(view.ComboBox1.Text(), "/dev/pts/77");
  EXPECT_EQ(form->ZoGSM1().ComPort(), "/dev/pts/77");
  EXPECT_FALSE(env.registry.KeyExists(kSettingsKey));
}

TEST_F(MainWindow, SavingThePortDeactivatesAnActiveModemFirst) {
  modem::timing::ScopedTimingScale fast(0.05);
  Start();
  form->ZoGSM1().SetActive(true);  // e.g. during a modem search: active, not connected
  ASSERT_TRUE(form->ZoGSM1().Active());
  form->ApplicationIdle();
  ASSERT_TRUE(view.btnZapisz.Enabled());
  Click(view.btnZapisz);
  EXPECT_FALSE(form->ZoGSM1().Active());
  EXPECT_EQ(env.dialogs.Boxes().size(), 1u);
}

TEST_F(MainWindow, SendNeedsNumbersAndTheRestFollowsTheModem) {
  Start();
  auto enabledWhileDisconnected = [&] {
    EXPECT_TRUE(view.BitBtn1.Enabled());
    EXPECT_TRUE(view.btnZapisz.Enabled());
    EXPECT_TRUE(view.Label10.Enabled());
    EXPECT_TRUE(view.BitBtn6.Enabled());
    EXPECT_TRUE(view.Label33.Enabled());
    EXPECT_TRUE(view.Edit1.Enabled());
    EXPECT_TRUE(view.BitBtn4.Enabled());
  };
  EXPECT_FALSE(form->actWyslij().Enabled());
  EXPECT_FALSE(view.BitBtn3.Enabled());
  EXPECT_FALSE(view.BitBtn3.Click());
  enabledWhileDisconnected();

  form->NumberList().Add(ListRecipient("600123456"));
  form->ApplicationIdle();
  EXPECT_TRUE(view.BitBtn3.Enabled());
  enabledWhileDisconnected();
  EXPECT_EQ(view.Memo1.Color(), clWhite);
  EXPECT_EQ(view.Memo1.Font().Color, 0x3E3E3Eu);
  EXPECT_TRUE(view.Memo1.Font().Bold);
  EXPECT_FALSE(view.Memo1.Font().Italic);

  form->NumberList().Clear();
  form->ApplicationIdle();
  EXPECT_FALSE(view.BitBtn3.Enabled());
}

TEST_F(MainWindow, StatusPanelZeroIsDrawnByTheWindow) {
  Start();
  view.StatusBar1.Repaint();
  const MemoryCanvas& canvas = view.StatusBar1.LastPaint();
  ASSERT_EQ(canvas.fills.size(), 2u);
  EXPECT_EQ(canvas.fills[0].rect, (TRect{0, 0, 150, 19}));
  EXPECT_EQ(canvas.fills[0].color, clRed);
  EXPECT_TRUE(canvas.fills[1].frame);
  EXPECT_EQ(canvas.fills[1].color, clBlack);
  ASSERT_EQ(canvas.texts.size(), 1u);
  // 15 characters of 5 pixels: 75 - 37.5 rounded to even.
  EXPECT_EQ(canvas.texts[0].x, 75 - 38);
  EXPECT_EQ(canvas.texts[0].y, 2);
  EXPECT_EQ(canvas.texts[0].text, Ansi("Modem wyłączony"));
  EXPECT_EQ(canvas.texts[0].font.Color, clYellow);
  EXPECT_TRUE(canvas.texts[0].font.Bold);

  // Once panel 1 is owner-drawn, the progress gauge is placed over it.
  view.StatusBar1.SetPanelStyle(1, TPanelStyle::OwnerDraw);
  view.StatusBar1.SetPanelText(0, Ansi("łączenie..."));  // 11 characters: 75 - 27.5 rounded to even
  view.StatusBar1.Repaint();
  EXPECT_EQ(view.Gauge1.BoundsRect(), (TRect{151, 0, 344, 19}));
  EXPECT_EQ(view.StatusBar1.LastPaint().texts[0].x, 75 - 28);
  view.StatusBar1.SetPanelText(0, Ansi("Modem OK"));  // 40 pixels, no tie
  view.StatusBar1.Repaint();
  EXPECT_EQ(view.StatusBar1.LastPaint().texts[0].x, 75 - 20);
}

TEST_F(MainWindow, TheClockRunsInPanelOneWhileItIsPlainText) {
  Start();
  loop.ProcessEventsFor(1100);
  const AnsiString shown = view.StatusBar1.PanelText(1);
  EXPECT_FALSE(shown.empty());
  view.StatusBar1.SetPanelStyle(1, TPanelStyle::OwnerDraw);
  view.StatusBar1.SetPanelText(1, "gauge");
  loop.ProcessEventsFor(1100);
  EXPECT_EQ(view.StatusBar1.PanelText(1), "gauge");
}

TEST_F(MainWindow, WhileConnectedOnlyStopIsAvailableAndClosingDeactivatesFirst) {
  modem::timing::ScopedTimingScale fast(0.05);
  modemsim::ModemSimulator simulator;
  ASSERT_TRUE(simulator.Start());
  const std::string port = simulator.PortPath();
  Start();
  form->NumberList().Add(ListRecipient("600123456"));
  form->UseStartPort(port);
  modem::TZoGSM& z = form->ZoGSM1();
  z.SetActive(true);
  z.SetConnected(true);
  // Connected is set before the engine reports it; wait for the report.
  ASSERT_TRUE(loop.RunUntil([&] { return view.StatusBar1.PanelText(0) == "Modem OK"; }, std::chrono::seconds(20)));
  ASSERT_TRUE(z.Connected());
  form->ApplicationIdle();

  EXPECT_FALSE(view.BitBtn1.Enabled());
  EXPECT_FALSE(view.BitBtn3.Enabled());
  EXPECT_FALSE(view.btnZapisz.Enabled());
  EXPECT_FALSE(view.Label10.Enabled());
  EXPECT_FALSE(view.BitBtn6.Enabled());
  EXPECT_FALSE(view.Label33.Enabled());
  EXPECT_FALSE(view.Edit1.Enabled());
  EXPECT_TRUE(view.BitBtn4.Enabled());
  EXPECT_EQ(view.Memo1.Color(), 0xF0F0F0u);
  EXPECT_EQ(view.Memo1.Font().Color, clGray);
  EXPECT_TRUE(view.Memo1.Font().Bold);
  EXPECT_TRUE(view.Memo1.Font().Italic);
  EXPECT_FALSE(view.Memo1.ReadOnly());

  // The connection events reached the status bar and the log.
  EXPECT_EQ(view.StatusBar1.PanelText(0), "Modem OK");
  EXPECT_EQ(view.StatusBar1.PanelStyle(1), TPanelStyle::OwnerDraw);
  ASSERT_GE(view.LogMemo.LineCount(), 2);
  EXPECT_EQ(view.LogMemo.Line(0), Ansi("Próba nawiązania połączenia z modemem GSM - Port ") + port);
  EXPECT_EQ(view.LogMemo.CharAttributes(0, 0).Color, clGray);
  EXPECT_EQ(view.LogMemo.Line(1), Ansi("Nawiązano połączenie modemem GSM - Port ") + port);
  EXPECT_EQ(view.LogMemo.CharAttributes(1, 0).Color, clGreen);
  view.StatusBar1.Repaint();
  EXPECT_EQ(view.StatusBar1.LastPaint().fills[0].color, 0x80FF00u);
  EXPECT_EQ(view.StatusBar1.LastPaint().texts[0].font.Color, clBlack);

  // Closing: the placement is saved, then the modem is switched off.
  view.frmMain.Close();
  EXPECT_FALSE(z.Active());
  EXPECT_FALSE(view.frmMain.Visible());
  EXPECT_TRUE(env.registry.KeyExists(kPlacementKey));
  // The port of the simulated start was never saved.
  EXPECT_EQ(Setting("PortCOM"), "<none>");
}

TEST_F(MainWindow, DestroyingTheWindowSavesThePlacementAgainAndEmptiesTheList) {
  Start();
  form->NumberList().Add(ListRecipient("600123456"));
  view.frmMain.SetLeft(-20);
  view.frmMain.Close();
  std::filesystem::remove(env.registry.File());
  Stop();
  std::string left;
  EXPECT_EQ(env.registry.ReadString(kPlacementKey, "Left", left), platform::RegistryStatus::Ok);
  EXPECT_EQ(left, "-20");
  // The view keeps no handler of the destroyed logic.
  EXPECT_FALSE(view.frmMain.OnDestroy);
  EXPECT_FALSE(view.btnZapisz.OnClick);
  EXPECT_FALSE(view.StatusBar1.OnDrawPanel);
}

}  // namespace
}  // namespace app
