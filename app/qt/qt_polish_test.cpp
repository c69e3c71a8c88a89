// Polish in the real window: the status bar's date as Polish users read it,
// and Qt's own texts and date formats while the program's language lives.

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/qt/polish_language.h"
#include "app/qt/qt_status_bar.h"
#include "app/qt/qt_window_fixture.h"

namespace app::qt {
namespace {

TEST_F(QtWindow, TheStatusBarShowsDayMonthAndYearWithDots) {
  Start();
  QTest::qWait(1100);  // the clock's first tick
  const QString shown = Find<StatusBarWidget>("StatusBar1")->Panels()[1].text;
  EXPECT_TRUE(QRegularExpression(R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d$)").match(shown).hasMatch())
      << shown.toStdString();
}

TEST(QtPolishLanguage, QtTextsAndDatesArePolishWhileTheProgramsLanguageLives) {
  TestApplication();
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  {
    const PolishLanguage polish;
    EXPECT_EQ(QLocale().language(), QLocale::Polish);
    EXPECT_EQ(QLocale().territory(), QLocale::Poland);
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 11), QLocale::ShortFormat), "11.12.2026");
    ASSERT_TRUE(polish.QtTextsInstalled());
    // The buttons of the message boxes and the texts of the file dialog.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Anuluj"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QString::fromUtf8("Otwórz"));
  }
  EXPECT_EQ(QLocale().language(), QLocale::English);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
  QLocale::setDefault(QLocale::system());
}

// The file dialog of "Otwórz plik XLS" while the program speaks Polish: its
// list shows a file's date and size as Polish users read them.
TEST_F(QtWindow, TheFileDialogListsDatesAndSizesInPolish) {
  Start();
  const PolishLanguage polish;
  const std::filesystem::path file = env.folder / "klienci.xls";
  std::ofstream(file) << std::string(1536, 'x');
  QFile written(QString::fromStdString(file.string()));
  ASSERT_TRUE(written.open(QIODevice::ReadWrite));
  ASSERT_TRUE(written.setFileTime(QDateTime(QDate(2026, 3, 5), QTime(7, 8, 9)), QFileDevice::FileModificationTime));
  written.close();

  QString shownDate;
  QString shownSize;
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    auto* list = dialog->findChild<QTreeView*>();
    if (list == nullptr) return;
    const QAbstractItemModel* model = list->model();
    const QModelIndex folder = list->rootIndex();
    for (int row = 0; row < model->rowCount(folder); ++row) {
      if (model->index(row, 0, folder).data().toString() != "klienci.xls") continue;
      shownSize = model->index(row, 1, folder).data().toString();
      shownDate = model->index(row, 3, folder).data().toString();
      dialog->reject();
    }
  });
  look.start(50);
  QTimer giveUp;  // a dialog that never lists the file is closed all the same
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] {
    if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
  });
  giveUp.start(10000);
  TOpenDialog& open = *form->View().OpenDialog1;
  open.SetFileName(file.string());
  EXPECT_FALSE(open.Execute());
  EXPECT_EQ(shownDate.toStdString(), "5.03.2026 07:08");
  EXPECT_EQ(shownSize.toStdString(), "1,50 KiB");
}

}  // namespace
}  // namespace app::qt
