// The activity log on the real Qt control while the user clicks and selects
// in it: lines still go to the end, each in its own colour and weight.

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <vector>

#include "app/qt/qt_window_fixture.h"
#include "app/window/zo_tools.h"

namespace app::qt {
namespace {

// What the user does in the log before a line arrives.
enum class UserAction { None, Click, SelectWord, DragSelect };

struct LogStep {
  UserAction action;
  int atLine;          // where the user acts
  const char* text;    // the line the window writes next
  bool plain;          // a plain line (insertion attributes) or one with its own
  TColor color;
  bool bold;
};

class QtLogInUse : public QtWindow {
 protected:
  void SetUp() override {
    Start();
    edit = Find<QPlainTextEdit>("LogMemo");
  }

  // Where a character of a line is drawn, in the log's viewport.
  QPoint PointAt(int line, int column) const {
    QTextCursor cursor(edit->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    return edit->cursorRect(cursor).center();
  }

  void Act(UserAction action, int line) {
    QWidget* area = edit->viewport();
    switch (action) {
      case UserAction::None:
        return;
      case UserAction::Click:
        QTest::mouseClick(area, Qt::LeftButton, {}, PointAt(line, 3));
        ASSERT_FALSE(edit->textCursor().atEnd()) << "the click did not move the caret";
        break;
      case UserAction::SelectWord:
        QTest::mouseDClick(area, Qt::LeftButton, {}, PointAt(line, 1));
        ASSERT_TRUE(edit->textCursor().hasSelection()) << "the double click selected nothing";
        break;
      case UserAction::DragSelect:
        QTest::mousePress(area, Qt::LeftButton, {}, PointAt(line, 2));
        QTest::mouseMove(area, PointAt(line, 8));
        QTest::mouseRelease(area, Qt::LeftButton, {}, PointAt(line, 8));
        ASSERT_TRUE(edit->textCursor().hasSelection()) << "the drag selected nothing";
        break;
    }
    Settle();
  }

  void Write(const LogStep& step) {
    TLogView& log = *form->View().LogMemo;
    if (step.plain) {
      log.SetInsertionColor(step.color);
      log.SetInsertionBold(step.bold);
      log.AppendLine(Ansi(step.text));
    } else {
      AppendLogLine(log, Ansi(step.text), 0, 9, "Tahoma", step.bold ? TLogFontStyle::Bold : TLogFontStyle::Regular,
                    step.color);
    }
  }

  QPlainTextEdit* edit = nullptr;
};

TEST_F(QtLogInUse, LinesGoToTheEndInTheirOwnAttributesWhereverTheUserClickedOrSelected) {
  const std::vector<LogStep> steps = {
      {UserAction::None, 0, "Próba nawiązania połączenia z modemem GSM - Port /dev/ttyUSB0", false, clGray, false},
      {UserAction::Click, 0, "Nawiązano połączenie modemem GSM - Port /dev/ttyUSB0", false, clGreen, false},
      {UserAction::Click, 1, "Ilość prawidłowych, nie powtarzających się pozycji: 3", true, clBlue, true},
      {UserAction::Click, 2, "BŁĄD! nie udało się wysłać wiadomości do: +48600100201", true, clBlue, true},
      {UserAction::SelectWord, 0, "W pliku XLS pozycje błędne zaznaczone są na CZERWONO", false, clRed, false},
      {UserAction::DragSelect, 2, "Koniec importu", false, clGray, false},
      {UserAction::Click, 4, "Modem GSM odłączony", false, clBlack, false},
      {UserAction::SelectWord, 6, "Pogrubiony wpis", false, clGreen, true},
  };
  TLogView& log = *form->View().LogMemo;
  QtLog& qtLog = mainWindow->Log();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    Act(steps[i].action, steps[i].atLine);
    Write(steps[i]);
    Settle();
    ASSERT_EQ(log.LineCount(), static_cast<int>(i) + 1);
    // Every line so far keeps its text and, over its whole length, its
    // colour and weight.
    for (std::size_t line = 0; line <= i; ++line) {
      const LogStep& expected = steps[line];
      const int index = static_cast<int>(line);
      ASSERT_EQ(log.Line(index), Ansi(expected.text)) << "after step " << i;
      const int length = edit->document()->findBlockByNumber(index).length() - 1;
      for (int column = 0; column < length; ++column) {
        const TFont shown = qtLog.CharAttributes(index, column);
        ASSERT_EQ(shown.Color, expected.color) << "line " << line << " column " << column << " after step " << i;
        ASSERT_EQ(shown.Bold, expected.bold) << "line " << line << " column " << column << " after step " << i;
      }
    }
    if (!steps[i].plain) {
      EXPECT_TRUE(edit->textCursor().atEnd());
      EXPECT_FALSE(edit->textCursor().hasSelection());
    }
  }
}

}  // namespace
}  // namespace app::qt
