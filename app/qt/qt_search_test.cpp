// The modem search from the settings page of the real window on Qt's
// offscreen platform: ports without a modem and the simulated modem on
// pseudo-terminals, found under names that sort like USB serial ports.

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/qt/qt_gauge_widget.h"
#include "app/qt/qt_status_bar.h"
#include "app/qt/qt_window_fixture.h"
#include "app/window/zo_tools.h"
#include "modem/engine_timing.h"
#include "modem/modem_search.h"
#include "tools/modemsim/modem_simulator.h"
#include "tools/modemsim/not_a_modem.h"

namespace app::qt {
namespace {

// Message boxes answered at once, with what the window showed at that moment.
class WatchedDialogs final : public platform::Dialogs {
 public:
  explicit WatchedDialogs(std::function<void()> look) : look_(std::move(look)) {}
  platform::DialogResult ShowMessage(const std::string& text, const std::string& caption, platform::DialogIcon,
                                     platform::DialogButtons) override {
    texts.push_back(text);
    captions.push_back(caption);
    look_();
    return platform::DialogResult::Ok;
  }
  std::vector<std::string> texts;
  std::vector<std::string> captions;

 private:
  std::function<void()> look_;
};

struct Seen {
  int progress;
  std::string port;
  int found;
  QString shown;
  QColor color;
  bool gaugeVisible;
  int bar;
};

TEST_F(QtWindow, SearchFindsTheModemOnTheThirdPortAndNamesItInABox) {
  modem::timing::ScopedTimingScale fast(0.1);
  modemsim::ModemSimulator simulator;
  modemsim::NotAModem silent(modemsim::NotAModem::Kind::Silent);
  modemsim::NotAModem noise(modemsim::NotAModem::Kind::Garbage);
  ASSERT_TRUE(simulator.Start());
  ASSERT_TRUE(silent.Start());
  ASSERT_TRUE(noise.Start());
  // Names in the order of a machine's USB serial ports; ttyUSB10 is gone.
  const std::filesystem::path dev = env.folder / "dev";
  std::filesystem::create_directories(dev);
  std::filesystem::create_symlink(silent.PortPath(), dev / "ttyUSB1");
  std::filesystem::create_symlink(noise.PortPath(), dev / "ttyUSB2");
  std::filesystem::create_symlink(simulator.PortPath(), dev / "ttyUSB3");
  const std::string modemPort = (dev / "ttyUSB3").string();

  Start();
  form->ZoGSM1().Search().SetPortSource([&] {
    return std::vector<std::string>{(dev / "ttyUSB10").string(), modemPort, (dev / "ttyUSB1").string(),
                                    (dev / "ttyUSB2").string()};
  });
  auto* combo = Find<QComboBox>("ComboBox1");
  auto* bar = Find<StatusBarWidget>("StatusBar1");
  auto* gauge = Find<GaugeWidget>("Gauge1");
  auto* progressBar = Find<QProgressBar>("ProgressBar1");
  auto* button = Find<QPushButton>("BitBtn5");
  auto comboColor = [&] { return combo->lineEdit()->palette().color(QPalette::Active, QPalette::Text); };

  std::vector<Seen> seen;
  auto windowReaction = form->ZoGSM1().OnSearchProgress;
  form->ZoGSM1().OnSearchProgress = [&](modem::TZoGSM& sender, int progress, const std::string& port, int found) {
    windowReaction(sender, progress, port, found);
    seen.push_back({progress, port, found, combo->currentText(), comboColor(), gauge->isVisible(),
                    progressBar->value()});
  };
  QColor colorAtBox;
  QString panelAtBox;
  WatchedDialogs dialogs([&] {
    colorAtBox = comboColor();
    panelAtBox = bar->Panels()[3].text;
  });
  platform::InstallDialogs(&dialogs);

  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  button->click();
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(bar->Panels()[3].text, Utf8("Kreator - wyszukiwanie modemu - czekaj..."));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.texts.empty(); }, 60000));
  Settle();
  platform::InstallDialogs(&env.dialogs);

  // Each port tried shows in grey with the gauge over panel 1; the find in red.
  const QColor grey(0x80, 0x80, 0x80);
  ASSERT_EQ(seen.size(), 4u);
  const std::string tried[] = {(dev / "ttyUSB1").string(), (dev / "ttyUSB2").string(), modemPort};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].progress, 25 * (i + 1));
    EXPECT_EQ(seen[i].port, tried[i]);
    EXPECT_EQ(seen[i].found, -1);
    EXPECT_EQ(seen[i].shown, QString::fromStdString(tried[i]));
    EXPECT_EQ(seen[i].color, grey);
    EXPECT_TRUE(seen[i].gaugeVisible);
    EXPECT_EQ(seen[i].bar, 25 * (i + 1));
  }
  EXPECT_EQ(seen[3].progress, 0);
  EXPECT_EQ(seen[3].port, modemPort);
  EXPECT_EQ(seen[3].found, 1);
  EXPECT_EQ(seen[3].color, QColor(Qt::red));
  EXPECT_FALSE(seen[3].gaugeVisible);

  // The box names the port, while the port box is still red.
  ASSERT_EQ(dialogs.texts.size(), 1u);
  EXPECT_EQ(dialogs.texts[0], Ansi("Znaleziono modem GSM na porcie komunikacyjnym ") + modemPort +
                                  "           \r\n\r\n(Zapisz ustawienia)");
  EXPECT_EQ(dialogs.captions[0], " INFORMACJA");
  EXPECT_EQ(colorAtBox, QColor(Qt::red));
  EXPECT_EQ(panelAtBox, QString::fromStdString("Znaleziono modem GSM - port: " + modemPort));

  // Afterwards: the port in blue, the modem switched off, the button back.
  EXPECT_EQ(combo->currentText(), QString::fromStdString(modemPort));
  EXPECT_EQ(comboColor(), QColor(Qt::blue));
  EXPECT_FALSE(form->ZoGSM1().Active());
  EXPECT_EQ(form->ZoGSM1().ComPort(), modemPort);
  EXPECT_TRUE(button->isEnabled());
  EXPECT_TRUE(bar->Panels()[3].text.isEmpty());
  EXPECT_EQ(bar->Panels()[1].style, TPanelStyle::Text);
  // Found, not saved: the user is asked to save it.
  EXPECT_FALSE(env.registry.KeyExists(kSettingsKey));
}

}  // namespace
}  // namespace app::qt
