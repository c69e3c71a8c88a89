// The port box of the real window: a port chosen or typed there is the port
// "test modemu" and "WYŚLIJ" connect to, saved or not; only "Zapisz
// ustawienia" keeps it for the next start.

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/campaign.h"
#include "app/qt/qt_window_fixture.h"
#include "modem/engine_timing.h"
#include "modem/modem_search.h"
#include "tools/modemsim/modem_simulator.h"

namespace app::qt {
namespace {

constexpr const char* kSavedPort = "/dev/talvane-saved-port";

class QtPortBox : public QtWindow {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator.Start());
    env.registry.WriteString(kSettingsKey, "PortCOM", kSavedPort);
    Start();
    const std::string modemPort = simulator.PortPath();
    form->ZoGSM1().Search().SetPortSource([modemPort] { return std::vector<std::string>{kSavedPort, modemPort}; });
    combo = Find<QComboBox>("ComboBox1");
  }

  std::string StoredPort() {
    std::string stored;
    env.registry.ReadString(kSettingsKey, "PortCOM", stored);
    return stored;
  }
  bool LogHas(const AnsiString& line) {
    for (int i = 0; i < form->View().LogMemo->LineCount(); ++i) {
      if (form->View().LogMemo->Line(i) == line) return true;
    }
    return false;
  }
  AnsiString ConnectedLine() const { return Ansi("Nawiązano połączenie modemem GSM - Port ") + simulator.PortPath(); }

  modem::timing::ScopedTimingScale fast{0.05};
  modemsim::ModemSimulator simulator;
  QComboBox* combo = nullptr;
};

TEST_F(QtPortBox, APortChosenFromTheListIsTheOneTheTestConnectsTo) {
  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
  QApplication::setActiveWindow(mainWindow->Widget());
  combo->setFocus();  // the list of the ports present
  Settle();
  const int index = combo->findText(QString::fromStdString(simulator.PortPath()));
  ASSERT_GE(index, 0);
  combo->setCurrentIndex(index);

  QTest::mouseClick(Find<QWidget>("Label10"), Qt::LeftButton);  // "test modemu"
  // The log's line comes with the connection's event, which may follow the
  // component's state by a turn of the loop.
  ASSERT_TRUE(WaitFor([&] { return form->ZoGSM1().Connected() && LogHas(ConnectedLine()); }, 20000));
  EXPECT_EQ(form->ZoGSM1().ComPort(), simulator.PortPath());
  EXPECT_EQ(StoredPort(), kSavedPort);  // chosen, not saved

  QTest::mouseClick(Find<QPushButton>("BitBtn4"), Qt::LeftButton);  // "Zatrzymaj"
  ASSERT_TRUE(WaitFor([&] { return !form->ZoGSM1().Connected(); }, 20000));
  // Saving keeps it for the next start, as ever.
  Find<QPushButton>("btnZapisz")->click();
  EXPECT_EQ(StoredPort(), simulator.PortPath());
}

TEST_F(QtPortBox, APortTypedIntoTheBoxIsTheOneTheCampaignSendsThrough) {
  // A number as an import leaves it.
  form->ResultWorkbook().Create();
  form->SetResultFilePath((env.folder / "lista_out.xls").string());
  form->NumberList().Add(ListRecipient("600100200", 1));
  form->ResultWorkbook().WriteNumberRow(1, "600100200");
  auto* editor = Find<QPlainTextEdit>("Memo1");
  editor->setFocus();
  QTest::keyClicks(editor, "Promocja");
  combo->setEditText(QString::fromStdString(" " + simulator.PortPath() + " "));
  WaitFor([] { return false; }, 400);  // the pause after typing

  auto* send = Find<QPushButton>("BitBtn3");
  ASSERT_TRUE(WaitFor([&] { return send->isEnabled(); }, 2000));
  QTest::mouseClick(send, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return form->Campaign().Finished(); }, 60000));
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 1);
  EXPECT_EQ(form->ZoGSM1().ComPort(), simulator.PortPath());
  EXPECT_TRUE(LogHas(ConnectedLine()));
  EXPECT_EQ(StoredPort(), kSavedPort);
}

}  // namespace
}  // namespace app::qt
