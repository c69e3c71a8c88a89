// The question about an unfinished campaign in the real Qt window on the
// offscreen platform: the window starts on a journal that a killed campaign
// left, the question stands over the window in a real message box (saved as
// a screenshot beside the build's other documentation pictures), "Tak"
// continues the campaign and "Nie" to the second question keeps the message
// in doubt from going out again.

#include <QMessageBox>
#include <QPointer>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/core/campaign.h"
#include "app/qt/polish_language.h"
#include "app/qt/qt_window_fixture.h"
#include "journal/journal_test_support.h"
#include "modem/engine_timing.h"
#include "platform/qt/qt_dialogs.h"
#include "sms/sms_decoder.h"
#include "tools/modemsim/modem_simulator.h"

namespace app::qt {
namespace {

// The window with the box over it, as the screen shows them: the offscreen
// platform keeps every window apart.
QImage WindowWithBox(QWidget* window, QWidget* box) {
  QImage image = window->grab().toImage();
  QPainter painter(&image);
  painter.drawPixmap(box->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0)), box->grab());
  return image;
}

class QtResume : public QtWindow {
 protected:
  // The journal as a program killed mid-way through six numbers left it:
  // the first message sent, the second submitted without an answer, the
  // third taken, the rest queued.
  void KilledCampaign() {
    auto journal = journal::testing::OpenJournal(env.ProgramDir() / "journal.sqlite");
    ASSERT_TRUE(journal);
    std::vector<journal::TRecipientEntry> entries;
    for (const char* number : {"600100200", "600100201", "600100202", "600100203", "600100204", "600100205"}) {
      entries.push_back({static_cast<int>(entries.size()) + 1, number, number, std::string("+48") + number});
    }
    const journal::TNewCampaign campaign{Ansi("Dzień dobry! Zapraszamy na wyprzedaż do niedzieli."), false, false,
                                         (env.folder / "klienci.xls").string(),
                                         (env.folder / "klienci_out.xls").string()};
    auto id = journal->CreateCampaign(campaign, entries);
    ASSERT_TRUE(id);
    const std::string port = simulator.PortPath();
    journal::testing::SendPart(*journal, journal::testing::TakeOrFail(*journal, *id, port).id, 1, 1, port);
    ASSERT_TRUE(journal->RecordSubmitting({journal::testing::TakeOrFail(*journal, *id, port).id, 1, 1, {}, port}));
    journal::testing::TakeOrFail(*journal, *id, port);
  }

  // The window started as the program starts it, its boxes real ones.
  void StartWithRealBoxes() {
    mainWindow = std::make_unique<MainWindow>();
    dialogs = std::make_unique<platform::QtDialogs>(mainWindow->Widget());
    platform::InstallDialogs(dialogs.get(), &loop);
    telWindow = std::make_unique<TelListWindow>(mainWindow->Widget());
    telList = std::make_unique<TfrmTelList>(telWindow->View());
    form = std::make_unique<TfrmMain>(loop, mainWindow->View(), *telList, "/opt/talvane/Talvane.exe");
    form->UseStartPort(simulator.PortPath());
    idle = RunWhenIdle(mainWindow->Widget(), [this] { form->ApplicationIdle(); });
    mainWindow->Form().Show();
  }

  // Runs `answer` on the next message box once it is open and drawn. The
  // boxes are modal: they are answered from the event loop they run.
  static void WhenBoxOpens(std::function<void(QMessageBox*)> answer) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, poll] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) {
        QTimer::singleShot(20, *poll);
        return;
      }
      QPointer<QMessageBox> open(box);
      QTimer::singleShot(200, [open, answer] {
        if (open) answer(open);
      });
      *poll = nullptr;  // break the cycle
    };
    QTimer::singleShot(20, *poll);
  }

  std::vector<std::string> Texted() const {
    std::vector<std::string> numbers;
    for (const std::string& pdu : simulator.Pdus()) {
      sms::TSMS submitted;
      submitted.ParsePDU(pdu);
      numbers.push_back(submitted.GetSender());
    }
    return numbers;
  }

  const PolishLanguage polish;  // the buttons as the program labels them: "Tak", "Nie", "Anuluj"
  modem::timing::ScopedTimingScale fast{0.05};
  modemsim::ModemSimulator simulator;
  std::unique_ptr<platform::QtDialogs> dialogs;
};

TEST_F(QtResume, TheQuestionStandsOverTheWindowAndYesContinuesWithoutTheMessageInDoubt) {
  ASSERT_TRUE(simulator.Start());
  KilledCampaign();
  QString resumeText, resendText, resumeYes;
  QMessageBox::StandardButton resendDefault = QMessageBox::NoButton;
  WhenBoxOpens([&](QMessageBox* resume) {
    resumeText = resume->text();
    resumeYes = resume->button(QMessageBox::Yes)->text().remove('&');
    const std::filesystem::path folder = std::filesystem::path(TALVANE_BINARY_DIR) / "docs";
    std::filesystem::create_directories(folder);
    const QImage shot = WindowWithBox(mainWindow->Widget(), resume);
    EXPECT_TRUE(shot.save(QString::fromStdString((folder / "resume_question.png").string())));
    WhenBoxOpens([&](QMessageBox* resend) {
      resendText = resend->text();
      resendDefault = resend->standardButton(resend->defaultButton());
      resend->button(QMessageBox::No)->click();
    });
    resume->button(QMessageBox::Yes)->click();
  });
  StartWithRealBoxes();

  ASSERT_TRUE(WaitFor([&] { return form->Campaign().Finished(); }, 60000)) << Texted().size();
  EXPECT_TRUE(resumeText.startsWith(Utf8("Znaleziono niedokończoną wysyłkę z "))) << resumeText.toStdString();
  EXPECT_TRUE(resumeText.contains(Utf8("(\"Dzień dobry! Zaprasz...\"): wysłano 1, pozostało 4, niepewne 1.")))
      << resumeText.toStdString();
  EXPECT_TRUE(resendText.startsWith(Utf8("Modem nie potwierdził wysłania wiadomości do: 600100201.")))
      << resendText.toStdString();
  EXPECT_EQ(resendDefault, QMessageBox::No);
  if (polish.QtTextsInstalled()) {
    EXPECT_EQ(resumeYes, Utf8("Tak"));
  }
  EXPECT_EQ(Texted(), (std::vector<std::string>{"+48600100202", "+48600100203", "+48600100204", "+48600100205"}));
  EXPECT_GT(std::filesystem::file_size(std::filesystem::path(TALVANE_BINARY_DIR) / "docs" / "resume_question.png"),
            10000u);
  platform::InstallDialogs(&env.dialogs);
}

}  // namespace
}  // namespace app::qt
