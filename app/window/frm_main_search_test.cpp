// The modem panel of the main window on the memory view: the signal and
// power gauges, the test connection and the modem search, against the
// simulated modem and ports without a modem on real pseudo-terminals.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/window/frm_main.h"
#include "app/window/testing/memory_view.h"
#include "app/window/test_support.h"
#include "app/window/window_test_fixture.h"
#include "modem/engine_timing.h"
#include "modem/modem_search.h"
#include "platform/headless_main_loop.h"
#include "platform/program_dir.h"
#include "tools/modemsim/modem_simulator.h"
#include "tools/modemsim/not_a_modem.h"

namespace app {
namespace {

constexpr TColor kOrange = 0xFF5300;

class ModemPanel : public testing::WindowTest {
 protected:
  ModemPanel() { Start(); }

  modem::TZoGSM& Modem() { return form->ZoGSM1(); }
  void SignalPower(int signal, bool acPower, int battery, const std::string& kind) {
    Modem().OnCheckSignalPower(Modem(), signal, acPower, battery, kind);
  }
  int LogLinesWith(const std::string& text) const {
    int count = 0;
    for (int i = 0; i < view.LogMemo.LineCount(); ++i) count += view.LogMemo.Line(i).find(text) != std::string::npos;
    return count;
  }

  modem::timing::ScopedTimingScale fast{0.1};
};

TEST_F(ModemPanel, SignalGaugeColours) {
  struct Case {
    int signal;
    TColor color;
  } cases[] = {
      {29, clRed},     {30, kOrange},  {45, kOrange},   {46, clYellow}, {100, clYellow},
      {0, clRed},      {-1, clRed},    {150, clRed},    // outside 0..100: position only
      {60, clYellow},  {101, clYellow}, {-7, clYellow},
  };
  for (const Case& c : cases) {
    SignalPower(c.signal, false, -1, "ANT");
    EXPECT_EQ(view.Gauge3.Progress(), c.signal);
    EXPECT_EQ(view.Gauge3.ForeColor(), c.color) << c.signal;
  }
  EXPECT_EQ(view.Gauge2.Progress(), 0);  // a signal report leaves the power gauge alone
  EXPECT_EQ(view.Label8.Caption(), "zasilanie");
}

TEST_F(ModemPanel, PowerGaugeAndSourceLabel) {
  struct Case {
    bool acPower;
    int battery;
    int shown;
    TColor color;
    const char* label;
  } cases[] = {
      {false, 19, 19, clRed, "bateria"},    {false, 20, 20, clYellow, "bateria"},
      {false, 0, 0, clRed, "bateria"},      {true, 5, 100, clYellow, "zasilacz"},
      {true, 100, 100, clYellow, "zasilacz"}, {false, 85, 85, clYellow, "bateria"},
  };
  for (const Case& c : cases) {
    SignalPower(-1, c.acPower, c.battery, "BAT");
    EXPECT_EQ(view.Gauge2.Progress(), c.shown) << c.battery;
    EXPECT_EQ(view.Gauge2.ForeColor(), c.color) << c.battery;
    EXPECT_EQ(view.Label8.Caption(), c.label);
  }
  EXPECT_EQ(view.Gauge3.Progress(), 0);  // a power report leaves the signal gauge alone
}

TEST_F(ModemPanel, OnlyTheExactKindsMoveAGauge) {
  SignalPower(40, false, -1, "ANT");
  SignalPower(-1, false, 15, "BAT");
  for (const char* kind : {"ant", "bat", "ANT ", " BAT", "", "CSQ"}) {
    SignalPower(99, true, 99, kind);
    EXPECT_EQ(view.Gauge3.Progress(), 40) << kind;
    EXPECT_EQ(view.Gauge2.Progress(), 15) << kind;
    EXPECT_EQ(view.Label8.Caption(), "bateria") << kind;
  }
}

// Without a modem the gauges show no modem: nothing measured, in their
// starting colours, under their starting captions.
TEST_F(ModemPanel, GaugesShowNoModemOnceTheModemIsGone) {
  form->UseStartPort("/dev/talvane-no-such-port");
  const struct {
    const char* how;
    std::function<void()> loseTheModem;
  } cases[] = {
      {"disconnected", [&] { Modem().OnDisconnected(Modem()); }},
      {"deactivated",
       [&] {
         Modem().SetActive(true);
         Modem().SetActive(false);
       }},
  };
  for (const auto& c : cases) {
    SignalPower(40, false, -1, "ANT");
    SignalPower(-1, false, 15, "BAT");
    ASSERT_EQ(view.Label8.Caption(), "bateria");
    c.loseTheModem();
    EXPECT_EQ(view.Label8.Caption(), "zasilanie") << c.how;
    EXPECT_EQ(view.Label9.Caption(), Ansi("sygnał anteny")) << c.how;
    for (MemoryGauge* gauge : {&view.Gauge2, &view.Gauge3}) {
      EXPECT_EQ(gauge->Progress(), 0) << c.how;
      EXPECT_EQ(gauge->ForeColor(), clYellow) << c.how;
    }
  }
}

TEST_F(ModemPanel, TestConnectionConnectsWithoutRetriesAndTheGaugesFollowTheModem) {
  modemsim::ModemSimulator simulator;
  ASSERT_TRUE(simulator.Start());
  form->UseStartPort(simulator.PortPath());
  view.CheckBox2.Click();  // no power checks
  view.Label10.Click();
  EXPECT_TRUE(Modem().Active());
  EXPECT_TRUE(Modem().SuppressAutoReconnect());
  EXPECT_FALSE(Modem().CanCheckPower());
  EXPECT_TRUE(Modem().CanCheckSignal());
  EXPECT_TRUE(form->TestConnection());
  EXPECT_EQ(view.StatusBar1.PanelText(3), Ansi("testowe połączenie z modemem GSM"));

  ASSERT_TRUE(RunUntil([&] { return view.Gauge3.Progress() > 0; }));
  EXPECT_EQ(view.StatusBar1.PanelText(0), "Modem OK");
  EXPECT_EQ(view.Gauge3.Progress(), 85);  // +CSQ: 17,99
  EXPECT_EQ(view.Gauge3.ForeColor(), clYellow);
  EXPECT_EQ(view.Gauge2.Progress(), 0);  // power not asked for
  EXPECT_FALSE(view.Label10.Enabled());

  // Clicking again while connected does nothing.
  view.Label10.OnClick();
  loop.ProcessEventsFor(300);
  EXPECT_EQ(LogLinesWith(Ansi("Próba nawiązania połączenia")), 1);
  EXPECT_TRUE(form->TestConnection());
}

// "Zatrzymaj" is the only way out of a test connection (the send command
// waits for the modem to be free): it ends the connection and nothing else.
TEST_F(ModemPanel, StoppingATestConnectionKeepsTheNumbersTheCountersAndTheSendCommand) {
  modemsim::ModemSimulator simulator;
  ASSERT_TRUE(simulator.Start());
  form->UseStartPort(simulator.PortPath());
  for (const char* number : {"600100200", "600100201"}) {
    view.Edit1.SetText(number);
    ASSERT_TRUE(Click(view.BitBtn6));
  }
  ASSERT_TRUE(view.BitBtn3.Enabled());
  view.Label10.Click();
  ASSERT_TRUE(RunUntil([&] { return view.Gauge3.Progress() > 0; }));
  EXPECT_FALSE(view.BitBtn3.Enabled());

  ASSERT_TRUE(Click(view.BitBtn4));
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  EXPECT_FALSE(form->TestConnection());
  ASSERT_TRUE(RunUntil([&] { return !Modem().Connected(); }));
  EXPECT_EQ(form->NumberList().Numbers(), (std::vector<std::string>{"600100200", "600100201"}));
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "2");
  EXPECT_TRUE(view.lbPrawidlowe.Enabled());
  EXPECT_TRUE(view.lbPrawidlowe0.Enabled());
  EXPECT_TRUE(tel.frmTelList.Visible());
  EXPECT_EQ(tel.ListBox1.Count(), 3);
  EXPECT_TRUE(form->ResultWorkbook().Exists());
  EXPECT_TRUE(view.BitBtn3.Enabled());
  EXPECT_EQ(view.StatusBar1.PanelText(0), Ansi("Modem wyłączony"));
  EXPECT_EQ(view.StatusBar1.PanelText(3), "");
  EXPECT_EQ(view.Gauge3.Progress(), 0);  // no modem, no signal
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
}

TEST_F(ModemPanel, AFailedTestConnectionIsNotRetriedAndStaysPending) {
  form->UseStartPort("/dev/talvane-no-such-port");
  Modem().SetACTimerInterval(200);
  view.Label10.Click();
  ASSERT_TRUE(RunUntil([&] { return LogLinesWith(Ansi("Modem GSM odłączony")) == 1; }));
  loop.ProcessEventsFor(1000);  // several reconnect intervals
  EXPECT_EQ(LogLinesWith(Ansi("Próba nawiązania połączenia")), 1);
  EXPECT_FALSE(Modem().ReconnectTimer().Enabled());
  EXPECT_TRUE(Modem().Active());
  EXPECT_TRUE(form->TestConnection());
  EXPECT_EQ(view.StatusBar1.PanelText(3), Ansi("testowe połączenie z modemem GSM"));
}

TEST_F(ModemPanel, SearchWithoutAModemGivesTheButtonBackAndShowsNoModem) {
  modemsim::NotAModem silent(modemsim::NotAModem::Kind::Silent);
  ASSERT_TRUE(silent.Start());
  Modem().Search().SetPortSource([&] { return std::vector<std::string>{silent.PortPath(), "/dev/talvane-missing"}; });
  view.PageControl1.SetActivePageIndex(1);
  ASSERT_TRUE(view.BitBtn5.Click());
  EXPECT_FALSE(view.BitBtn5.Enabled());
  EXPECT_EQ(view.StatusBar1.PanelText(3), Ansi("Kreator - wyszukiwanie modemu - czekaj..."));
  EXPECT_EQ(view.ProgressBar1.MaxValue(), 100);

  // While it runs: the port tried in grey, the gauge over panel 1, the button off.
  ASSERT_TRUE(RunUntil([&] { return view.ComboBox1.Text() == silent.PortPath(); }));
  EXPECT_EQ(view.ComboBox1.Font().Color, clGray);
  EXPECT_TRUE(view.Gauge1.Visible());
  EXPECT_EQ(view.StatusBar1.PanelStyle(1), TPanelStyle::OwnerDraw);
  EXPECT_FALSE(view.BitBtn5.Enabled());

  ASSERT_TRUE(RunUntil([&] { return view.BitBtn5.Enabled(); }));
  EXPECT_EQ(view.ComboBox1.Text(), "brak modemu");
  EXPECT_EQ(view.ComboBox1.Font().Color, clGray);
  EXPECT_EQ(view.ProgressBar1.Progress(), 0);
  EXPECT_FALSE(view.Gauge1.Visible());
  EXPECT_EQ(view.StatusBar1.PanelStyle(1), TPanelStyle::Text);
  EXPECT_EQ(view.StatusBar1.PanelText(3), "");
  EXPECT_TRUE(Modem().Active());
  EXPECT_TRUE(env.dialogs.Boxes().empty());
}

TEST_F(ModemPanel, ARefusedSearchGivesTheButtonBack) {
  modemsim::ModemSimulator simulator;
  ASSERT_TRUE(simulator.Start());
  form->UseStartPort(simulator.PortPath());
  view.Label10.Click();
  ASSERT_TRUE(RunUntil([&] { return Modem().Connected(); }));
  const AnsiString port = view.ComboBox1.Text();

  ASSERT_TRUE(view.BitBtn5.Click());
  ASSERT_EQ(env.dialogs.Texts(), std::vector<std::string>{Ansi("SEARCH MODEM - Połączenie z modemem jest już AKTYWNE!")});
  form->ApplicationIdle();
  EXPECT_TRUE(view.BitBtn5.Enabled());
  EXPECT_EQ(view.StatusBar1.PanelText(3), "");
  EXPECT_EQ(view.ComboBox1.Text(), port);
  EXPECT_TRUE(Modem().Connected());
}

TEST_F(ModemPanel, WhatTheComponentsReportIsShownInBoxes) {
  // The components show nothing themselves: the window shows their misuse
  // in a plain box captioned with the program's name and a PDU that cannot
  // be read in the "PDU ERROR" error box, as the component did once.
  Modem().SetCheckInterval(0);
  Modem().SetConnected(true);  // inactive
  Modem().DoPduError("PDU ERROR (TPDCS): 0004");
  const std::vector<platform::RecordingDialogs::Box> boxes = env.dialogs.Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  const std::string program = platform::ProgramFile().stem().string();
  EXPECT_EQ(boxes[0].text, Ansi("Możliwe wartości to: 1..1000 s"));
  EXPECT_EQ(boxes[0].caption, program);
  EXPECT_EQ(boxes[0].icon, platform::DialogIcon::None);
  EXPECT_EQ(boxes[1].text, Ansi("Nie włączona usługa GSM dla portu: ") + Modem().ComPort());
  EXPECT_EQ(boxes[1].caption, program);
  EXPECT_EQ(boxes[2].text, "PDU ERROR (TPDCS): 0004");
  EXPECT_EQ(boxes[2].caption, "Talvane");
  EXPECT_EQ(boxes[2].icon, platform::DialogIcon::Error);
}

}  // namespace
}  // namespace app
