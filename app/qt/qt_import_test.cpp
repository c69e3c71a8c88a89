// The import and the phone list window on the real Qt widgets (offscreen):
// the file chosen in the real file dialog as a user chooses it, the list
// window at (10, 10), the counters, and the pop-up menu of the list.

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window/import_test_support.h"
#include "app/qt/qt_window_fixture.h"
#include "modem/engine_timing.h"

namespace app::qt {
namespace {

using namespace app::testing;

// A user in front of the file dialog that "Otwórz plik XLS" opens: once the
// dialog has the keyboard, types the file's full path into the name field
// and presses Enter as soon as "Open" takes it (the dialog lists a folder a
// moment after showing it). By the deadline every dialog still open is
// closed, so a fault fails the test instead of leaving it waiting for a user
// who never comes.
class FileDialogUser {
 public:
  explicit FileDialogUser(const fs::path& file) : path_(QString::fromStdString(file.string())) {
    QObject::connect(&tick_, &QTimer::timeout, [this] { Step(); });
  }

  // Watches for the dialog while `open` makes the window open it and returns.
  void Answer(const std::function<void()>& open) {
    clock_.start();
    tick_.start(20);
    open();
    tick_.stop();
    if (state_ == State::WaitingForDialog && problem_.isEmpty()) problem_ = "no file dialog was opened";
  }

  QString NameFilters() const { return filters_; }
  // The folder the dialog showed first.
  QString StartFolder() const { return startFolder_; }
  // Empty when the dialog took the file.
  QString Problem() const { return problem_; }

 private:
  enum class State { WaitingForDialog, Typing, Pressed };

  void Step() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (modal != nullptr && dialog == nullptr && state_ != State::WaitingForDialog) {
      // The dialog answered with a box of its own ("File not found", ...).
      auto* box = qobject_cast<QMessageBox*>(modal);
      GiveUp("the file dialog showed a box: " + (box ? box->text() : modal->windowTitle()));
      return;
    }
    if (dialog == nullptr) {
      if (state_ == State::WaitingForDialog && clock_.elapsed() > Deadline()) GiveUp("no file dialog was opened");
      return;
    }
    auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    QPushButton* open = buttons != nullptr ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (field == nullptr || open == nullptr) {
      GiveUp("the file dialog has no name field or no Open button (a native dialog?)");
      return;
    }
    if (clock_.elapsed() > Deadline()) {
      GiveUp(QString("the file dialog did not take the file in time (step %1, folder \"%2\", name field \"%3\", "
                     "Open %4, %5)")
                 .arg(static_cast<int>(state_))
                 .arg(dialog->directory().absolutePath(), field->text(),
                      open->isEnabled() ? "enabled" : "disabled",
                      field->hasFocus() ? "focused" : "not focused"));
      return;
    }
    // The dialog follows what is typed only while its name field has the
    // keyboard (an unfocused field gets its text rewritten from the list).
    if (!dialog->isActiveWindow()) return;
    if (!field->hasFocus()) {
      field->setFocus();
      return;
    }
    switch (state_) {
      case State::WaitingForDialog:
        filters_ = dialog->nameFilters().join(";;");
        startFolder_ = dialog->directory().absolutePath();
        Type(field, path_);
        state_ = State::Typing;
        break;
      case State::Typing:
        if (PressEnterWhenTaken(field, open, path_)) {
          state_ = State::Pressed;
          pressedAt_ = clock_.elapsed();
        }
        break;
      case State::Pressed:
        // Still open a while later: the key went elsewhere (to the list of
        // completions); look again and press once more.
        if (clock_.elapsed() - pressedAt_ > 1000) state_ = State::Typing;
        break;
    }
  }

  static void Type(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
  }

  // Presses Enter in the name field once it holds `text` and "Open" is
  // enabled; tells whether it did.
  static bool PressEnterWhenTaken(QLineEdit* field, QPushButton* open, const QString& text) {
    if (field->text() != text) {
      Type(field, text);
      return false;
    }
    if (!open->isEnabled()) return false;  // the folder is not listed yet
    QTest::keyClick(field, Qt::Key_Return);
    return true;
  }

  static qint64 Deadline() { return static_cast<qint64>(20000 * modem::timing::TestSlowdown()); }

  void GiveUp(const QString& problem) {
    if (problem_.isEmpty()) problem_ = problem;
    tick_.stop();
    while (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
  }

  QString path_;
  QTimer tick_;
  QElapsedTimer clock_;
  qint64 pressedAt_ = 0;
  State state_ = State::WaitingForDialog;
  QString filters_;
  QString startFolder_;
  QString problem_;
};

class QtImport : public QtWindow {
 protected:
  QtImport() : home_("HOME", (env.folder / "home").string()) {
    fs::create_directories(env.folder / "home");
    Start();
  }

  // The user picks `file` in the file dialog that "Otwórz plik XLS" opens.
  void ImportThroughTheDialog(const fs::path& file) {
    FileDialogUser user(file);
    user.Answer([this] { Find<QPushButton>("BitBtn1")->click(); });
    Settle();
    EXPECT_EQ(user.Problem().toStdString(), "");
    EXPECT_EQ(user.NameFilters().toStdString(),
              "Wszystkie obsługiwane (*.xls *.xlsx *.csv *.txt);;EXCEL (*.xls);;EXCEL (*.xlsx);;"
              "Pliki tekstowe (*.csv *.txt)");
  }
  template <class W>
  W* FindIn(QWidget* root, const char* name) {
    W* widget = root->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Opens the list's pop-up menu on its current row and tells whether "Usuń"
  // is enabled; `choose` chooses it (when enabled), else the menu is closed.
  bool UsunEnabledInPopup(QListWidget* list, bool choose = false) {
    bool enabled = false;
    QTimer::singleShot(50, [&] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        QAction* usun = menu->actions().at(0);
        enabled = usun->isEnabled();
        if (choose && enabled) usun->trigger();
        menu->close();
      }
    });
    emit list->customContextMenuRequested(QPoint(5, 5));
    return enabled;
  }
  // The user types `text` into the empty number field and presses Enter.
  void TypeNumberAndEnter(const char* text) {
    auto* edit = Find<QLineEdit>("Edit1");
    edit->clear();
    QTest::keyClicks(edit, text);
    ASSERT_EQ(edit->text().toStdString(), text);
    QTest::keyClick(edit, Qt::Key_Return);
    Settle();
  }
  std::vector<std::string> ListRows() {
    auto* rows = FindIn<QListWidget>(telWindow->Widget(), "ListBox1");
    std::vector<std::string> texts;
    for (int i = 0; i < rows->count(); ++i) texts.push_back(rows->item(i)->text().toStdString());
    return texts;
  }

 private:
  ScopedEnv home_;
};

TEST_F(QtImport, AfterAnImportTheListWindowAndTheCountersShowTheNumbers) {
  const fs::path file = env.folder / "klienci.xls";
  WriteSheet(file, {{Text("600123456")}, {Text("600123456")}, {Text("48600123457")}, {Text("123")}});
  ImportThroughTheDialog(file);

  QWidget* list = telWindow->Widget();
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->geometry().topLeft(), QPoint(10, 10));
  auto* rows = FindIn<QListWidget>(list, "ListBox1");
  ASSERT_EQ(rows->count(), 3);
  EXPECT_EQ(rows->item(0)->text(), " L.p.\tNumer telefonu");
  EXPECT_EQ(rows->item(1)->text(), "1\t600123456");
  EXPECT_EQ(rows->item(2)->text(), "2\t600123457");
  EXPECT_EQ(rows->currentRow(), 0);

  struct Counter {
    const char* name;
    const char* text;
    bool enabled;
  };
  const Counter counters[] = {
      {"lbWszystkie", "3", true}, {"lbPrawidlowe", "2", true},  {"lbPrawidlowe0", nullptr, true},
      {"lbDuplikaty", "1", true}, {"lbDuplikaty0", nullptr, true}, {"lbKorekty", "1", true},
      {"lbKorekty0", nullptr, true}, {"lbBledy", "1", true},       {"lbBledy0", nullptr, true},
  };
  for (const Counter& c : counters) {
    auto* label = Find<QLabel>(c.name);
    if (c.text) {
      EXPECT_EQ(label->text(), c.text) << c.name;
    }
    EXPECT_EQ(label->isEnabled(), c.enabled) << c.name;
  }
  EXPECT_TRUE(Find<QPushButton>("BitBtn3")->isEnabled());
  // The sheet was marked and written back, and the _out file written.
  EXPECT_TRUE(fs::exists(env.folder / "klienci_out.xls"));

  // "Usuń" only on a number row.
  rows->setCurrentRow(0);
  EXPECT_FALSE(UsunEnabledInPopup(rows));
  rows->setCurrentRow(1);
  EXPECT_TRUE(UsunEnabledInPopup(rows));
}

TEST_F(QtImport, AFileThatCannotBeOpenedLeavesTheCountersAtZero) {
  const fs::path file = env.folder / "zepsuty.xls";
  // Binary bytes that are neither a workbook nor a text list (a text file
  // would be read as a list, whatever its name).
  const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
  std::ofstream(file, std::ios::binary) << png;
  ImportThroughTheDialog(file);
  EXPECT_FALSE(telWindow->Widget()->isVisible());
  EXPECT_EQ(Find<QLabel>("lbPrawidlowe")->text(), "0");
  ASSERT_EQ(env.dialogs.Texts().size(), 1u);
  EXPECT_EQ(FileBytes(file), png);
  EXPECT_FALSE(fs::exists(env.folder / "zepsuty_out.xls"));
}

TEST_F(QtImport, TheFileDialogStartsInTheDocumentsFolder) {
  const fs::path file = env.folder / "home" / "klienci.xls";
  WriteSheet(file, {{Text("600123456")}});
  FileDialogUser user(file);
  user.Answer([this] { Find<QPushButton>("BitBtn1")->click(); });
  Settle();
  EXPECT_EQ(user.Problem().toStdString(), "");
  EXPECT_EQ(fs::path(user.StartFolder().toStdString()), env.folder / "home");
}

TEST_F(QtImport, ANumberPastedWithItsCountryCodeIsTakenWhole) {
  auto* edit = Find<QLineEdit>("Edit1");
  for (const char* pasted : {"+48600100777", "+48 600 100 778"}) {
    edit->clear();
    edit->insert(QString::fromUtf8(pasted));  // as a paste inserts it: within the field's length
    EXPECT_EQ(edit->text().toStdString(), pasted);
    QTest::keyClick(edit, Qt::Key_Return);
    Settle();
  }
  EXPECT_TRUE(env.dialogs.Texts().empty());
  EXPECT_EQ(ListRows(), (std::vector<std::string>{" L.p.\tNumer telefonu", "1\t600100777", "2\t600100778"}));
}

TEST_F(QtImport, NumbersTypedWithEnterJoinTheListAndThePopupMenuRemovesThem) {
  const std::string header = " L.p.\tNumer telefonu";
  TypeNumberAndEnter("600123456");
  QWidget* list = telWindow->Widget();
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->geometry().topLeft(), QPoint(10, 10));
  EXPECT_EQ(ListRows(), (std::vector<std::string>{header, "1\t600123456"}));
  EXPECT_EQ(Find<QLabel>("lbPrawidlowe")->text(), "1");

  // The same again with repeats left out; a number of the wrong length.
  TypeNumberAndEnter("600123456");
  EXPECT_EQ(ListRows().size(), 2u);
  EXPECT_TRUE(env.dialogs.Texts().empty());
  TypeNumberAndEnter("060012345");
  ASSERT_EQ(env.dialogs.Texts().size(), 1u);
  EXPECT_EQ(env.dialogs.Texts()[0], Ansi("Numer telefonu musi mieć 9 cyfr !     "));
  EXPECT_EQ(ListRows().size(), 2u);

  // Removing row 2 of 3 renumbers; removing the last row closes the window.
  TypeNumberAndEnter("600123457");
  TypeNumberAndEnter("600123458");
  auto* rows = FindIn<QListWidget>(list, "ListBox1");
  rows->setCurrentRow(2);
  ASSERT_TRUE(UsunEnabledInPopup(rows, /*choose=*/true));
  EXPECT_EQ(ListRows(), (std::vector<std::string>{header, "1\t600123456", "2\t600123458"}));
  EXPECT_EQ(Find<QLabel>("lbPrawidlowe")->text(), "2");
  for (int left = 2; left > 0; --left) {
    rows->setCurrentRow(1);
    ASSERT_TRUE(UsunEnabledInPopup(rows, /*choose=*/true));
  }
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(Find<QLabel>("lbPrawidlowe")->text(), "0");
}

}  // namespace
}  // namespace app::qt
