// Polish in the real window: the status bar's date as Polish users read it,
// and Qt's own texts and date formats while the program's language lives.

#include <QCoreApplication>
#include <QDate>
#include <QFileDialog>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

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

}  // namespace
}  // namespace app::qt
