// The phone list window of the real program: a tool window of the main
// window (kept above it), shown with its whole frame on the screen.

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "app/qt/qt_window_fixture.h"

namespace app::qt {
namespace {

class QtTelList : public QtWindow {
 protected:
  void SetUp() override { Start(); }

  void TypeNumber(const char* number) {
    Find<QLineEdit>("Edit1")->setText(number);
    Find<QPushButton>("BitBtn6")->click();  // "Dodaj"
    Settle();
  }
  QRect Available() const { return telWindow->Widget()->screen()->availableGeometry(); }
};

TEST_F(QtTelList, TheListStaysAboveTheMainWindowAsItsToolWindow) {
  TypeNumber("600123456");
  QWidget* list = telWindow->Widget();
  ASSERT_TRUE(list->isVisible());
  EXPECT_TRUE(list->isWindow());
  EXPECT_EQ(list->windowType(), Qt::Tool);
  EXPECT_EQ(list->parentWidget(), mainWindow->Widget());
  ASSERT_NE(list->windowHandle(), nullptr);
  EXPECT_EQ(list->windowHandle()->transientParent(), mainWindow->Widget()->windowHandle());
  EXPECT_FALSE(telList->View().frmTelList->Topmost());  // above its owner only, not above every window

  // Clicking the main window leaves it the list's owner; the next number
  // shows the list again as a tool window of it.
  QTest::mouseClick(mainWindow->Widget(), Qt::LeftButton);
  TypeNumber("600123457");
  EXPECT_EQ(list->windowType(), Qt::Tool);
  EXPECT_EQ(list->windowHandle()->transientParent(), mainWindow->Widget()->windowHandle());
}

// A window manager places the client area where it is asked and draws the
// title bar above it: a place near the top of the screen would put the
// title bar off it, and the window could no longer be moved.
TEST_F(QtTelList, TheListIsShownWithItsTitleBarOnTheScreen) {
  QWidget* list = telWindow->Widget();
  TypeNumber("600123456");
  EXPECT_TRUE(Available().contains(list->frameGeometry()));
  EXPECT_EQ(list->geometry().left(), 10);

  const struct {
    const char* when;
    bool shown;
  } cases[] = {{"while hidden", false}, {"while shown", true}};
  for (const auto& c : cases) {
    if (!c.shown) list->hide();
    telList->ShowAt(-100, -100);
    Settle();
    EXPECT_TRUE(list->isVisible()) << c.when;
    EXPECT_TRUE(Available().contains(list->frameGeometry())) << c.when;
    EXPECT_EQ(list->frameGeometry().topLeft(), Available().topLeft()) << c.when;
  }
}

}  // namespace
}  // namespace app::qt
