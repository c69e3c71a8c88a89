// A campaign in the real Qt window on the offscreen platform against the
// simulated modem on a pseudo-terminal: the text typed into the editor, the
// "WYŚLIJ" button clicked, the window while sending and at the end (saved as
// screenshots beside the build's other documentation pictures).

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/campaign.h"
#include "app/window/frm_main.h"
#include "app/qt/idle_hook.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_look.h"
#include "app/qt/qt_test_application.h"
#include "app/qt/qt_window_fixture.h"
#include "app/qt/tel_list_window.h"
#include "app/window/test_support.h"
#include "modem/engine_timing.h"
#include "platform/qt/qt_main_loop.h"
#include "tools/modemsim/modem_simulator.h"

namespace app::qt {
namespace {

void SaveScreenshot(QWidget* widget, const char* name) {
  const std::filesystem::path folder = std::filesystem::path(TALVANE_BINARY_DIR) / "docs";
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / name;
  ASSERT_TRUE(widget->grab().toImage().save(QString::fromStdString(file.string())));
  EXPECT_GT(std::filesystem::file_size(file), 10000u);
}

TEST(QtCampaign, TypedTextGoesToEveryNumberWhileTheWindowShowsTheProgress) {
  TestApplication();
  modem::timing::ScopedTimingScale fast(0.05);
  testing::TestEnvironment env;
  modemsim::ModemSimulator simulator;
  ASSERT_TRUE(simulator.Start());
  platform::QtMainLoop loop;
  MainWindow mainWindow;
  TelListWindow telWindow(mainWindow.Widget());
  TfrmTelList telList(telWindow.View());
  TfrmMain form(loop, mainWindow.View(), telList, "/opt/talvane/Talvane.exe");
  const QMetaObject::Connection idle = RunWhenIdle(mainWindow.Widget(), [&] { form.ApplicationIdle(); });
  mainWindow.Form().Show();
  form.UseStartPort(simulator.PortPath());

  // The numbers as an import leaves them.
  const std::filesystem::path resultFile = env.folder / "klienci_out.xls";
  form.ResultWorkbook().Create();
  form.SetResultFilePath(resultFile.string());
  for (const char* number : {"600100200", "60010020x", "600100201", "600100202"}) {
    form.NumberList().Add(app::ListRecipient(number));
  }
  form.ResultWorkbook().WriteList(form.NumberList());

  auto* editor = mainWindow.Widget()->findChild<QPlainTextEdit*>("Memo1");
  ASSERT_NE(editor, nullptr);
  editor->setFocus();
  // Key clicks carry no Polish letters: those come as text input does.
  editor->insertPlainText(QString::fromUtf8("Zażółć gęślą jaźń - wyprzedaż"));
  QTest::keyClicks(editor, " do niedzieli!");
  WaitFor([] { return false; }, 400);  // the pause after typing
  EXPECT_EQ(editor->toPlainText(), QString::fromUtf8("Zazolc gesla jazn - wyprzedaz do niedzieli!"));

  auto* send = mainWindow.Widget()->findChild<QPushButton*>("BitBtn3");
  ASSERT_NE(send, nullptr);
  ASSERT_TRUE(WaitFor([&] { return send->isEnabled(); }, 2000));
  QTest::mouseClick(send, Qt::LeftButton);

  ASSERT_TRUE(WaitFor([&] { return form.SentCounter() >= 2; }, 60000));
  SaveScreenshot(mainWindow.Widget(), "campaign_sending.png");
  EXPECT_TRUE(form.View().Gauge1->Visible());
  EXPECT_FALSE(send->isEnabled());

  ASSERT_TRUE(WaitFor([&] { return form.Campaign().Finished(); }, 60000));
  WaitFor([] { return false; }, 100);
  SaveScreenshot(mainWindow.Widget(), "campaign_finished.png");
  // The number with a letter never went out: the end says so rather than success.
  EXPECT_EQ(form.View().StatusBar1->PanelText(3), Ansi("Wysyłka zakończona: wysłano 3, nie wysłano 1"));
  EXPECT_EQ(form.View().Gauge1->Progress(), 4);
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 3);
  QObject::disconnect(idle);
}

}  // namespace
}  // namespace app::qt
