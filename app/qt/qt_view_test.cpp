// The real Qt widgets of the window on Qt's offscreen platform.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/window/frm_main.h"
#include "app/qt/idle_hook.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_gauge_widget.h"
#include "app/qt/qt_look.h"
#include "app/qt/qt_window_fixture.h"
#include "app/qt/tel_list_window.h"
#include "app/window/test_support.h"
#include "app/window/zo_tools.h"
#include "platform/qt/qt_main_loop.h"

namespace app::qt {
namespace {

TEST_F(QtWindow, TheWindowHasItsDesignedSizeAndCaption) {
  Start();
  QWidget* window = mainWindow->Widget();
  EXPECT_EQ(window->objectName(), "frmMain");
  EXPECT_EQ(window->windowTitle(), "Talvane ver.1.02");
  EXPECT_EQ(window->size(), QSize(838, 752));
  EXPECT_EQ(window->minimumSize(), QSize(838, 752));  // outer 846 x 786
  EXPECT_EQ(mainWindow->Form().Width(), 846);
  EXPECT_EQ(mainWindow->Form().Height(), 786);

  auto* tabs = Find<QTabWidget>("PageControl1");
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(tabs->tabText(0), Utf8("Wysyłka masowa"));
  EXPECT_EQ(tabs->tabText(1), "Ustawienia");
  EXPECT_EQ(tabs->widget(0)->objectName(), "TabSheet1");
  EXPECT_EQ(tabs->widget(1)->objectName(), "TabSheet2");
  EXPECT_EQ(tabs->tabBar()->tabRect(0).size(), QSize(150, 35));
  EXPECT_FALSE(tabs->tabIcon(0).isNull());

  auto* splitter = Find<QSplitter>("Splitter1");
  EXPECT_EQ(splitter->orientation(), Qt::Vertical);
  // Neither panel is lower than designed, nor than its controls need.
  EXPECT_GE(Find<QWidget>("Panel1")->minimumSizeHint().height(), 230);
  EXPECT_GE(Find<QWidget>("Panel2")->minimumSizeHint().height(), 119);
  EXPECT_EQ(Find<QGroupBox>("GroupBox2")->minimumHeight(), 214);
  // Dragging the splitter cannot squeeze either panel below its minimum.
  splitter->setSizes({10, 1000});
  EXPECT_GE(splitter->sizes()[0], 230);
  splitter->setSizes({1000, 10});
  EXPECT_GE(splitter->sizes()[1], 119);
}

TEST_F(QtWindow, EveryLabelAndGroupShowsItsCaptionInItsColour) {
  Start();
  struct Case {
    const char* name;
    const char* caption;
    QColor color;
    bool bold;
    bool enabled;
  };
  const QColor black(0, 0, 0);
  const Case labels[] = {
      {"Label6", "SMS: 0", QColor(0x80, 0x00, 0x40), true, true},
      {"Label7", "Znak: 0", QColor(0x80, 0x00, 0x40), true, true},
      {"Label33", "Nr telefonu:", black, false, true},
      {"Label4", "Status wykonywanych zadań:", QColor(0x80, 0x80, 0x80), false, true},
      {"Label5", "TELEFONY", black, false, true},
      {"lbWszystkie0", "Wczytane:", QColor(0x80, 0x80, 0x80), false, true},
      {"lbWszystkie", "0", QColor(0x80, 0x80, 0x80), false, true},
      {"lbPrawidlowe0", "Prawidłowe:", QColor(0, 0, 0xFF), true, false},
      {"lbPrawidlowe", "0", QColor(0, 0, 0xFF), true, false},
      {"lbDuplikaty0", "Duplikaty:", QColor(0xFF, 0, 0xFF), false, false},
      {"lbDuplikaty", "0", QColor(0xFF, 0, 0xFF), false, false},
      {"lbKorekty0", "Korekty:", QColor(0xFF, 0x80, 0), false, false},
      {"lbKorekty", "0", QColor(0xFF, 0x80, 0), false, false},
      {"lbBledy0", "Odrzucone:", QColor(0xFF, 0, 0), false, false},
      {"lbBledy", "0", QColor(0xFF, 0, 0), false, false},
      {"Label10", "test modemu", QColor(0, 0, 0xFF), false, true},
      {"Label8", "zasilanie", black, false, true},
      {"Label9", "sygnał anteny", black, false, true},
  };
  for (const Case& c : labels) {
    SCOPED_TRACE(c.name);
    auto* label = Find<QLabel>(c.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), Utf8(c.caption));
    EXPECT_EQ(TextColor(label), c.color);
    EXPECT_EQ(label->font().bold(), c.bold);
    EXPECT_EQ(label->font().family(), "Tahoma");
    EXPECT_EQ(label->isEnabled(), c.enabled);
    EXPECT_TRUE(label->isVisible());
  }
  EXPECT_TRUE(Find<QLabel>("Label10")->font().underline());
  EXPECT_EQ(Find<QLabel>("Label10")->cursor().shape(), Qt::PointingHandCursor);

  const std::pair<const char*, const char*> groups[] = {
      {"GroupBox1", " Import danych z arkusza "}, {"GroupBox2", " Treść wiadomości  SMS "},
      {"GroupBox7", " Obsługa manualna "},        {"GroupBox4", " Kreator "},
      {"GroupBox3", " Port komunikacyjny "},      {"GroupBox6", " Ustawienia zaawansowane "},
      {"GroupBox5", " Stan modemu GSM "},
  };
  for (const auto& [name, title] : groups) EXPECT_EQ(Find<QGroupBox>(name)->title(), Utf8(title)) << name;
}

TEST_F(QtWindow, ButtonsBoxesAndEditorsStartAsDesigned) {
  Start();
  const std::pair<const char*, const char*> buttons[] = {
      {"BitBtn1", "Otwórz plik XLS"}, {"BitBtn3", "WYŚLIJ"},   {"BitBtn4", "Zatrzymaj"},
      {"btnZapisz", "Zapisz ustawienia"}, {"BitBtn2", "Zapisz ustawienia"}, {"BitBtn5", "Wyszukaj modem GSM"},
      {"BitBtn6", "Dodaj"},
  };
  for (const auto& [name, caption] : buttons) {
    auto* button = Find<QPushButton>(name);
    EXPECT_EQ(button->text(), Utf8(caption)) << name;
    EXPECT_FALSE(button->icon().isNull()) << name;
  }
  // With no numbers the send button waits; the rest is available.
  EXPECT_FALSE(Find<QPushButton>("BitBtn3")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("BitBtn1")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("BitBtn4")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("BitBtn6")->isDefault());

  struct Box {
    const char* name;
    const char* caption;
    bool checked;
    bool visible;
    bool enabled;
  };
  const Box boxes[] = {
      {"CheckBox3", "Wykluczaj duplikaty", true, true, true},
      {"CheckBox4", "Zezwalaj na używanie polskich znaków", false, true, true},
      {"CheckBox5", "Wyślij jako FLASH SMS", false, true, true},
      {"CheckBox1", "Sprawdzaj stan sygnału anteny", true, false, true},  // on the hidden settings page
      {"CheckBox2", "Sprawdzaj stan zasilania", true, false, true},
      {"RadioButton1", "Tylko numery telefonów", true, false, true},
      {"RadioButton2", "Numery tel wraz z wiadomościami", false, false, false},
  };
  for (const Box& b : boxes) {
    SCOPED_TRACE(b.name);
    auto* box = Find<QAbstractButton>(b.name);
    EXPECT_EQ(box->text(), Utf8(b.caption));
    EXPECT_EQ(box->isChecked(), b.checked);
    EXPECT_EQ(box->isVisible(), b.visible);
    EXPECT_EQ(box->isEnabled(), b.enabled);
  }
  EXPECT_NE(qobject_cast<QRadioButton*>(Find<QAbstractButton>("RadioButton1")), nullptr);
  EXPECT_TRUE(Find<QAbstractButton>("RadioButton1")->isHidden());
  EXPECT_FALSE(Find<QAbstractButton>("CheckBox1")->isHidden());

  auto* memo = Find<QPlainTextEdit>("Memo1");
  EXPECT_EQ(memo->toPlainText(), "");
  EXPECT_EQ(memo->font().family(), "Verdana");
  EXPECT_EQ(memo->font().pointSize(), 10);
  EXPECT_TRUE(memo->font().bold());
  EXPECT_EQ(TextColor(memo, QPalette::Text), QColor(0x3E, 0x3E, 0x3E));
  EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(Find<QPlainTextEdit>("Memo2")->isHidden());
  auto* edit = Find<QLineEdit>("Edit1");
  EXPECT_EQ(edit->maxLength(), 24);  // room for "+48 600 100 200" and the like
  EXPECT_EQ(edit->font().family(), "Verdana");
  EXPECT_EQ(edit->font().pointSize(), 9);
  EXPECT_TRUE(edit->font().bold());
  auto* combo = Find<QComboBox>("ComboBox1");
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(combo->currentText(), "COM1");
  EXPECT_TRUE(combo->font().bold());
  EXPECT_EQ(TextColor(combo->lineEdit(), QPalette::Text), QColor(0, 0, 0xFF));
  auto* log = Find<QPlainTextEdit>("LogMemo");
  EXPECT_TRUE(log->isReadOnly());
  EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(log->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->maximum(), 100);

  for (const char* name : {"Gauge2", "Gauge3"}) {
    auto* gauge = Find<GaugeWidget>(name);
    EXPECT_EQ(gauge->ForeColor(), QColor(Qt::yellow)) << name;
    EXPECT_EQ(gauge->BackColor(), QColor(Qt::black)) << name;
  }
  auto* progress = Find<GaugeWidget>("Gauge1");
  EXPECT_TRUE(progress->isHidden());
  EXPECT_EQ(progress->parentWidget()->objectName(), "StatusBar1");
  EXPECT_EQ(progress->ForeColor(), QColor(0x80, 0xFF, 0x00));

  // The phone list window exists, hidden.
  EXPECT_EQ(telWindow->Widget()->windowTitle(), Utf8("Lista numerów"));
  EXPECT_FALSE(telWindow->Widget()->isVisible());
  EXPECT_EQ(telWindow->Widget()->size(), QSize(293, 484));
  auto* list = telWindow->Widget()->findChild<QListWidget*>("ListBox1");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));
  auto* usun = telWindow->Widget()->findChild<QAction*>("Usun1");
  ASSERT_NE(usun, nullptr);
  EXPECT_EQ(usun->text(), Utf8("Usuń"));
}

TEST_F(QtWindow, TheStatusBarDrawsTheModemPanelAndShowsTheClock) {
  Start();
  QTest::qWait(1100);
  auto* bar = Find<StatusBarWidget>("StatusBar1");
  EXPECT_FALSE(bar->Panels()[1].text.isEmpty());  // the clock
  EXPECT_EQ(bar->Panels()[2].text, "kol [-,-]");
  const QImage image = bar->grab().toImage();
  const QRect panel = bar->PanelRect(0);
  EXPECT_EQ(panel.width(), 150);
  // Red panel with a black outline and yellow text.
  EXPECT_EQ(image.pixelColor(panel.left() + 3, panel.top() + 3), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(panel.left(), panel.center().y()), QColor(Qt::black));
  int yellow = 0;
  for (int x = panel.left(); x < panel.right(); ++x) {
    for (int y = panel.top(); y < panel.bottom(); ++y) yellow += image.pixelColor(x, y) == QColor(Qt::yellow);
  }
  EXPECT_GT(yellow, 20);

  // Owner-drawn panel 1 hosts the progress gauge.
  form->View().StatusBar1->SetPanelStyle(1, TPanelStyle::OwnerDraw);
  form->View().Gauge1->SetVisible(true);
  form->View().StatusBar1->Repaint();
  const QRect gauge = Find<GaugeWidget>("Gauge1")->geometry();
  const QRect second = bar->PanelRect(1);
  EXPECT_EQ(gauge, QRect(second.left() + 1, second.top(), second.width() - 7, second.height()));
}

TEST_F(QtWindow, LogLinesKeepTheirOwnColoursAndFonts) {
  Start();
  TLogView& log = *form->View().LogMemo;
  log.AppendLine("\r\nImport danych z arkusza excel");
  AppendLogLine(log, Ansi("Próba nawiązania połączenia z modemem GSM - Port /dev/pts/3"), 0, 9, "Tahoma",
                TLogFontStyle::Regular, clGray);
  AppendLogLine(log, Ansi("Nawiązano połączenie modemem GSM - Port /dev/pts/3"), 9, 12, "Verdana",
                TLogFontStyle::Bold, clGreen);
  log.SetInsertionColor(clBlue);
  log.AppendLine(Ansi("Ilość prawidłowych, nie powtarzających się pozycji: 2"));

  QtLog& qtLog = mainWindow->Log();
  ASSERT_EQ(log.LineCount(), 5);
  EXPECT_EQ(log.Line(1), "Import danych z arkusza excel");
  EXPECT_EQ(qtLog.CharAttributes(1, 0), (TFont{"Tahoma", 9, false, false, false, 0x3E3E3E}));
  EXPECT_EQ(qtLog.CharAttributes(2, 5), (TFont{"Tahoma", 9, false, false, false, clGray}));
  EXPECT_EQ(qtLog.CharAttributes(3, 0), (TFont{"Verdana", 12, true, false, false, clGreen}));
  EXPECT_EQ(qtLog.CharAttributes(3, 8), (TFont{"Verdana", 12, true, false, false, clGreen}));
  EXPECT_EQ(qtLog.CharAttributes(3, 9).Color, 0x3E3E3Eu);  // past the coloured length
  EXPECT_TRUE(qtLog.CharAttributes(4, 0).Bold);             // AppendLogLine left bold insertion
  EXPECT_EQ(qtLog.CharAttributes(4, 0).Color, clBlue);
  EXPECT_EQ(log.CaretPosition(), log.TextLength());

  // Trimming and scrolling on the real control.
  log.Clear();
  for (int i = 0; i < 401; ++i) log.AppendLine("line " + std::to_string(i));
  auto* edit = Find<QPlainTextEdit>("LogMemo");
  edit->verticalScrollBar()->setValue(0);
  AppendLogLine(log, "Koniec importu", 0, 9, "Tahoma", TLogFontStyle::Regular, clGray);
  EXPECT_EQ(log.LineCount(), 352);
  EXPECT_EQ(log.Line(0), "line 50");
  EXPECT_EQ(log.Line(351), "Koniec importu");
  Settle();
  EXPECT_GT(edit->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect()));
  EXPECT_TRUE(edit->updatesEnabled());
}

TEST_F(QtWindow, WidgetsDriveTheLogicAndTheIdleRuleFollows) {
  Start();
  // Clicking the signal box reaches the modem and clears its gauge.
  form->View().Gauge3->SetProgress(60);
  Find<QCheckBox>("CheckBox1")->click();
  EXPECT_FALSE(form->ZoGSM1().CanCheckSignal());
  EXPECT_EQ(Find<GaugeWidget>("Gauge3")->Progress(), 0);

  // A number makes the send button available once the window is idle.
  form->NumberList().Add(app::ListRecipient("600123456"));
  Settle();
  EXPECT_TRUE(Find<QPushButton>("BitBtn3")->isEnabled());

  // The port box lists the ports present when it gets the focus.
  auto* tabs = Find<QTabWidget>("PageControl1");
  tabs->setCurrentIndex(1);
  QApplication::setActiveWindow(mainWindow->Widget());
  auto* combo = Find<QComboBox>("ComboBox1");
  combo->setFocus();
  Settle();
  QStringList expected;
  for (const std::string& port : form->ZoGSM1().PortList()) expected << QString::fromStdString(port);
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(combo->currentText(), "COM1");

  // Typing a port and saving it.
  combo->setEditText(" /dev/ttyUSB0 ");
  Find<QPushButton>("btnZapisz")->click();
  EXPECT_EQ(form->ZoGSM1().ComPort(), " /dev/ttyUSB0 ");
  std::string stored;
  EXPECT_EQ(env.registry.ReadString(kSettingsKey, "PortCOM", stored), platform::RegistryStatus::Ok);
  EXPECT_EQ(stored, "/dev/ttyUSB0");
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" INFORMACJA"));
}

TEST_F(QtWindow, ThePlacementComesBackAtTheNextStart) {
  Start();
  const QScreen* screen = mainWindow->Widget()->screen();
  // First start: the designed size, centred (where the screen has room for
  // the whole window; the offscreen screen is smaller and keeps it on screen).
  EXPECT_EQ(mainWindow->Widget()->size(), QSize(838, 752));
  if (screen->geometry().width() >= 846 && screen->geometry().height() >= 786) {
    EXPECT_EQ(mainWindow->Form().Left(), (screen->geometry().width() - 846) / 2);
    EXPECT_EQ(mainWindow->Form().Top(), (screen->geometry().height() - 786) / 2);
  }
  mainWindow->Widget()->setGeometry(12, 34, 900, 780);
  Settle();
  bool quit = false;
  mainWindow->Form().AfterClose = [&] { quit = true; };
  mainWindow->Widget()->close();
  EXPECT_TRUE(quit);
  EXPECT_FALSE(form->ZoGSM1().Active());
  Stop();

  Start();
  EXPECT_EQ(mainWindow->Widget()->size(), QSize(900, 780));
  EXPECT_EQ(mainWindow->Widget()->geometry().topLeft(), QPoint(12, 34));
  EXPECT_EQ(mainWindow->Form().Width(), 908);
}

TEST_F(QtWindow, ScreenshotOfTheMainWindow) {
  env.registry.WriteString(kSettingsKey, "PortCOM", "/dev/ttyUSB0");
  Start();
  TLogView& log = *form->View().LogMemo;
  AppendLogLine(log, Ansi("Próba nawiązania połączenia z modemem GSM - Port /dev/ttyUSB0"), 0, 9, "Tahoma",
                TLogFontStyle::Regular, clGray);
  AppendLogLine(log, Ansi("Nawiązano połączenie modemem GSM - Port /dev/ttyUSB0"), 0, 9, "Tahoma",
                TLogFontStyle::Regular, clGreen);
  AppendLogLine(log, Ansi("Modem GSM odłączony"), 0, 9, "Tahoma", TLogFontStyle::Regular, clBlack);
  form->View().Gauge2->SetProgress(100);
  form->View().Gauge3->SetProgress(64);
  QTest::qWait(1100);  // the clock's first tick
  Settle();

  const QImage image = mainWindow->Widget()->grab().toImage();
  EXPECT_EQ(image.size(), QSize(838, 752));
  const std::filesystem::path folder = std::filesystem::path(TALVANE_BINARY_DIR) / "docs";
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "main_window.png";
  ASSERT_TRUE(image.save(QString::fromStdString(file.string())));
  EXPECT_GT(std::filesystem::file_size(file), 10000u);
}

}  // namespace
}  // namespace app::qt
