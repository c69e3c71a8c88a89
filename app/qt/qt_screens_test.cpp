// The window on small screens: the real widgets on the offscreen platform's
// screens of an office laptop (1366 x 768) and a netbook (1024 x 600), beside
// a large first screen (qt_test_application.h).

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/qt/qt_window_fixture.h"

namespace app::qt {
namespace {

// A widget's rectangle on the desktop.
QRect OnDesktop(const QWidget* widget) { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }

// A widget's rectangle in its window's coordinates.
QRect InWindow(const QWidget* widget) { return {widget->mapTo(widget->window(), QPoint(0, 0)), widget->size()}; }

// The part of a widget its window shows: its rectangle clipped by every
// widget it lies in (a scrolled page shows a part of its content).
QRect ShownPart(const QWidget* widget) {
  QRect shown = widget->rect();
  for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
    shown.translate(w->pos());
    shown = shown.intersected(w->parentWidget()->rect());
  }
  return shown;
}

class QtSmallScreen : public QtWindow {
 protected:
  // Starts the window where it was last closed: on `screen`, at its designed
  // size (a window moved there from a larger screen, or a laptop whose
  // screen is all there is).
  void StartOn(const QRect& screen) { StartAt(screen.topLeft() + QPoint(40, 10)); }
  void StartAt(const QPoint& topLeft) {
    Start();
    mainWindow->Widget()->setGeometry(QRect(topLeft, QSize(838, 752)));
    Settle();
    mainWindow->Widget()->close();
    Stop();
    Start();
  }

  QWidget* SendButton() { return Find<QPushButton>("BitBtn3"); }
  QWidget* StopButton() { return Find<QPushButton>("BitBtn4"); }
  QScrollArea* SendingPage() { return Find<QScrollArea>("TabSheet1"); }

  // "TELEFONY" and its counters, "WYŚLIJ" and "Zatrzymaj".
  std::vector<QWidget*> SendingControls() {
    std::vector<QWidget*> controls{Find<QWidget>("Label5")};
    for (const char* name : {"lbWszystkie", "lbPrawidlowe", "lbDuplikaty", "lbKorekty", "lbBledy"}) {
      controls.push_back(Find<QWidget>(name));
      controls.push_back(Find<QWidget>((std::string(name) + "0").c_str()));
    }
    controls.push_back(SendButton());
    controls.push_back(StopButton());
    return controls;
  }

  // Every control is shown whole and none lies on another.
  void ExpectShownApart(const std::vector<QWidget*>& controls) {
    for (size_t i = 0; i < controls.size(); ++i) {
      QWidget* control = controls[i];
      const QString name = control->objectName();
      EXPECT_TRUE(control->isVisible()) << name.toStdString();
      EXPECT_EQ(ShownPart(control), InWindow(control)) << name.toStdString() << " is not shown whole";
      for (size_t j = i + 1; j < controls.size(); ++j) {
        EXPECT_FALSE(InWindow(control).intersects(InWindow(controls[j])))
            << name.toStdString() << " lies on " << controls[j]->objectName().toStdString();
      }
    }
  }

  // Drags the splitter's handle by `distance` pixels, as a user does.
  void DragSplitter(int distance) {
    QSplitterHandle* handle = mainWindow->Splitter()->handle(1);
    const QPoint middle = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, middle);
    QTest::mouseMove(handle, middle + QPoint(0, distance / 2));
    QTest::mouseMove(handle, middle + QPoint(0, distance));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, middle + QPoint(0, distance));
    Settle();
  }
};

struct SmallScreen {
  const char* name;
  QRect screen;
  bool maximised;
  bool fitsWithoutScrolling;  // the sending page shows every control at once
};

const SmallScreen kSmallScreens[] = {
    {"laptop", kLaptopScreen, false, true},
    {"laptop, maximised", kLaptopScreen, true, true},
    {"netbook", kNetbookScreen, false, false},
    {"netbook, maximised", kNetbookScreen, true, false},
};

TEST_F(QtSmallScreen, TheWindowFitsTheScreenAndSendingStaysInReach) {
  for (const SmallScreen& small : kSmallScreens) {
    SCOPED_TRACE(small.name);
    StartOn(small.screen);
    QWidget* window = mainWindow->Widget();
    if (small.maximised) {
      window->showMaximized();
      Settle();
    }
    // The window with its frame is on the screen, and the window manager
    // could make it as small as the screen.
    EXPECT_EQ(window->screen()->geometry(), small.screen);
    EXPECT_TRUE(small.screen.contains(window->frameGeometry()))
        << window->frameGeometry().y() << "+" << window->frameGeometry().height();
    EXPECT_LE(window->minimumHeight(), small.screen.height());
    EXPECT_LE(window->minimumWidth(), small.screen.width());

    auto* statusBar = Find<QWidget>("StatusBar1");
    EXPECT_EQ(ShownPart(statusBar), InWindow(statusBar));
    EXPECT_EQ(InWindow(statusBar).bottom(), window->height() - 1);

    QScrollArea* page = SendingPage();
    ASSERT_NE(page, nullptr);
    if (small.fitsWithoutScrolling) {
      EXPECT_FALSE(page->verticalScrollBar()->isVisible());
    } else {
      // Too small for the whole page: it scrolls to the controls.
      page->ensureWidgetVisible(SendButton());
      page->ensureWidgetVisible(StopButton());
      Settle();
    }
    ExpectShownApart(SendingControls());
    for (QWidget* control : {statusBar, SendButton()}) {
      EXPECT_TRUE(small.screen.contains(OnDesktop(control)))
          << control->objectName().toStdString() << " is off the screen";
    }
    Stop();
  }
}

TEST_F(QtSmallScreen, DraggingTheSplitterKeepsTheCountersAndButtonsApart) {
  StartOn(kLaptopScreen);
  QSplitter* splitter = mainWindow->Splitter();
  const std::vector<QWidget*> textControls{Find<QWidget>("Label6"), Find<QWidget>("Label7"),
                                           Find<QWidget>("CheckBox4"), Find<QWidget>("CheckBox5")};
  for (int distance : {2000, -2000}) {
    SCOPED_TRACE(distance);
    const int before = splitter->sizes()[0];
    DragSplitter(distance);
    // The handle moved as far as the panels allow, and no farther.
    EXPECT_NE(splitter->sizes()[0], before);
    ExpectShownApart(SendingControls());
    ExpectShownApart(textControls);
  }
}

TEST_F(QtSmallScreen, OnALargeScreenTheWindowKeepsItsSizeAndPlace) {
  // Left partly beyond the screen's right edge, it comes back whole, at its
  // size; placed and sized by the user, it comes back as it was.
  StartAt(QPoint(kLargeScreen.right() - 600, 100));
  QWidget* window = mainWindow->Widget();
  EXPECT_TRUE(kLargeScreen.contains(window->frameGeometry()));
  EXPECT_EQ(window->size(), QSize(838, 752));
  EXPECT_EQ(window->minimumSize(), QSize(838, 752));

  window->setGeometry(300, 200, 900, 800);
  Settle();
  window->close();
  Stop();
  Start();
  EXPECT_EQ(mainWindow->Widget()->geometry(), QRect(300, 200, 900, 800));
}

TEST_F(QtSmallScreen, MovedToASmallerScreenTheWindowCanBeMadeAsSmallAsIt) {
  Start();
  QWidget* window = mainWindow->Widget();
  window->move(kLaptopScreen.topLeft() + QPoint(20, 0));
  Settle();
  ASSERT_EQ(window->screen()->geometry(), kLaptopScreen);
  EXPECT_LE(window->minimumHeight(), kLaptopScreen.height());
  // Sized to the screen as a window manager maximising it would.
  const QRect outer = window->frameGeometry();
  const QRect inner = window->geometry();
  window->setGeometry(kLaptopScreen.marginsRemoved(QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                                                            outer.right() - inner.right(),
                                                            outer.bottom() - inner.bottom())));
  Settle();
  EXPECT_TRUE(kLaptopScreen.contains(window->frameGeometry()));

  // Back on the large screen the designed minimum holds again.
  window->move(kLargeScreen.topLeft() + QPoint(100, 100));
  Settle();
  ASSERT_EQ(window->screen()->geometry(), kLargeScreen);
  EXPECT_EQ(window->minimumSize(), QSize(838, 752));
}

// Columns without ink between the first and the last inked column of `text`.
int GapColumns(const QFont& font, const QString& text) {
  QImage image(240, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(10, 28, text);
  }
  std::vector<bool> inked(image.width());
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height() && !inked[x]; ++y) inked[x] = qGray(image.pixel(x, y)) < 160;
  }
  int first = 0;
  int last = image.width() - 1;
  while (first < last && !inked[first]) ++first;
  while (last > first && !inked[last]) --last;
  int gaps = 0;
  for (int x = first; x <= last; ++x) gaps += inked[x] ? 0 : 1;
  return gaps;
}

TEST(QtFonts, BoldTextKeepsItsLettersAsCloseAsRegularText) {
  TestApplication();
  // The port box shows the port in bold Tahoma; bold letters are wider, so
  // the gaps between them cannot be wider than between regular ones.
  for (const char* text : {"/dev/pts/3", "/dev/ttyUSB0", "SMS: 0  Znak: 0"}) {
    for (int size : {8, 9}) {
      SCOPED_TRACE(std::string(text) + " " + std::to_string(size) + " pt");
      QFont regular("Tahoma", size);
      QFont bold = regular;
      bold.setBold(true);
      EXPECT_LE(GapColumns(bold, text), GapColumns(regular, text) + 1);
    }
  }
}

}  // namespace
}  // namespace app::qt
