#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/box_from_worker.h"
#include "platform/main_loop_contract.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_main_loop.h"
#include "platform/recording_dialogs.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// One application for the whole test program, on the offscreen platform.
void EnsureApplication() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "platform_qt_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // kept until the process ends
}

using testing::PumpUntil;

// The contract every main loop keeps (platform/main_loop_contract.h) is
// instantiated for this loop at the end of the file.
struct QtLoops {
  static std::unique_ptr<MainLoop> Make() {
    EnsureApplication();
    return std::make_unique<QtMainLoop>();
  }
};

// Answers the next modal box by pressing the button with `text`, after
// recording what the box showed.
struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;  // the one Enter presses
  QThread* thread = nullptr;  // the thread the box lives on
};

void AnswerNextBox(BoxSeen& seen, QMessageBox::StandardButton answer, std::function<void()> whileOpen = {}) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [&seen, answer, whileOpen, poll] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      QTimer::singleShot(5, *poll);
      return;
    }
    if (whileOpen) whileOpen();
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.thread = box->thread();
    seen.buttons.clear();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text().remove('&');
    seen.defaultButton = box->standardButton(box->defaultButton());
    if (answer == QMessageBox::NoButton) box->reject();  // closed with Escape or the title bar
    else box->button(answer)->click();
    *poll = nullptr;  // break the cycle
  };
  QTimer::singleShot(5, *poll);
}

TEST(QtDialogs, ShowsTheTextsIconAndButtonsAndReturnsTheChoice) {
  EnsureApplication();
  QtDialogs dialogs;
  BoxSeen seen;

  AnswerNextBox(seen, QMessageBox::No);
  // " PYTANIE" and "Chesz zakończyć ..." in Windows-1250.
  EXPECT_EQ(dialogs.ShowMessage("Chesz zako\xF1" "czy\xE6 wysy\xB3" "anie wiadomo\x9C" "ci ?   ", " PYTANIE",
                                DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::No);
  EXPECT_EQ(seen.title, " PYTANIE");
  EXPECT_EQ(seen.text, QString::fromUtf8("Chesz zakończyć wysyłanie wiadomości ?   "));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons.size(), 3);

  AnswerNextBox(seen, QMessageBox::NoButton);
  EXPECT_EQ(dialogs.ShowMessage("q", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::Cancel);
  AnswerNextBox(seen, QMessageBox::Yes);
  EXPECT_EQ(dialogs.ShowMessage("q", " PYTANIE", DialogIcon::Question, DialogButtons::YesNoCancel),
            DialogResult::Yes);

  AnswerNextBox(seen, QMessageBox::Ok);
  EXPECT_EQ(dialogs.ShowMessage("x", " B\xA3\xA5" "D !", DialogIcon::Error, DialogButtons::Ok), DialogResult::Ok);
  EXPECT_EQ(seen.title, QString::fromUtf8(" BŁĄD !"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons.size(), 1);
}

TEST(QtDialogs, EnterSaysYesToAQuestionButNoToACautiousOne) {
  EnsureApplication();
  QtDialogs dialogs;
  BoxSeen seen;
  const std::vector<std::pair<DialogButtons, QMessageBox::StandardButton>> cases = {
      {DialogButtons::YesNoCancel, QMessageBox::Yes}, {DialogButtons::YesNoCancelDefaultNo, QMessageBox::No}};
  for (const auto& [buttons, byDefault] : cases) {
    AnswerNextBox(seen, QMessageBox::Cancel);
    EXPECT_EQ(dialogs.ShowMessage("q", " PYTANIE", DialogIcon::Question, buttons), DialogResult::Cancel);
    EXPECT_EQ(seen.buttons.size(), 3);
    EXPECT_EQ(seen.defaultButton, byDefault);
  }
}

TEST(QtDialogs, ABoxRaisedOnAWorkerIsShownOnTheMainThread) {
  EnsureApplication();
  QtMainLoop loop;
  QtDialogs dialogs;
  InstallDialogs(&dialogs, &loop);
  BoxSeen seen;
  AnswerNextBox(seen, QMessageBox::Yes);
  std::optional<DialogResult> answer;
  {
    testing::BoxFromWorker box("PDU ERROR (length): 0011");
    answer = box.AnswerAfterPumping(loop);
  }
  InstallDialogs(nullptr);
  EXPECT_EQ(answer, DialogResult::Yes);
  EXPECT_EQ(seen.text, "PDU ERROR (length): 0011");
  EXPECT_EQ(seen.thread, QApplication::instance()->thread());
}

// The same hand-over with the recording service on the Qt loop: the box is
// recorded on the Qt main thread, and the worker gets the scripted answer.
TEST(QtDialogs, ABoxRaisedOnAWorkerIsRecordedOnTheQtMainThread) {
  EnsureApplication();
  QtMainLoop loop;
  RecordingDialogs recording;
  recording.ScriptAnswers({DialogResult::No});
  InstallDialogs(&recording, &loop);
  std::optional<DialogResult> answer;
  {
    testing::BoxFromWorker box("PDU ERROR (length): 0011");
    answer = box.AnswerAfterPumping(loop);
  }
  InstallDialogs(nullptr);
  EXPECT_EQ(answer, DialogResult::No);
  ASSERT_EQ(recording.Boxes().size(), 1u);
  EXPECT_EQ(recording.Boxes()[0].text, "PDU ERROR (length): 0011");
  EXPECT_EQ(recording.Boxes()[0].thread, std::this_thread::get_id());
  EXPECT_EQ(QThread::currentThread(), QApplication::instance()->thread());
}

TEST(QtDialogs, TimersAndPostedWorkRunWhileABoxIsOpen) {
  EnsureApplication();
  QtMainLoop loop;
  QtDialogs dialogs;
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(5);
  timer->Start();
  std::atomic<bool> invoked = false;
  std::thread worker([&] { invoked = loop.InvokeBlocking([] {}); });
  BoxSeen seen;
  // Keep the box open until the worker's call and a few ticks went through.
  std::function<void()> waitInside = [&] { PumpUntil(loop, [&] { return invoked && ticks >= 3; }); };
  AnswerNextBox(seen, QMessageBox::Ok, waitInside);
  dialogs.ShowMessage("info", " INFORMACJA", DialogIcon::Information, DialogButtons::Ok);
  worker.join();
  EXPECT_TRUE(invoked);
  EXPECT_GE(ticks, 3);
}

}  // namespace

namespace testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MainLoopContract, QtLoops);
}  // namespace testing
}  // namespace platform
