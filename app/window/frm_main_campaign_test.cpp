// The send campaign of the main window against the simulated modem on a
// pseudo-terminal: feeding, message results, the result workbook read back
// by an independent reader, stopping and a second campaign.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/campaign.h"
#include "app/window/campaign_settings.h"
#include "app/window/campaign_window_fixture.h"
#include "app/window/zo_tools.h"
#include "xls/range.h"

namespace app {
namespace {

using platform::DialogResult;

class Campaign : public testing::CampaignWindowTest {
 protected:
  int FailureLines() const {
    int count = 0;
    for (const std::string& line : LogLines()) count += line.starts_with(Ansi("BŁĄD!")) ? 1 : 0;
    return count;
  }
};

TEST_F(Campaign, ThreeNumbersGetOneMessageEachOnConsecutiveStepsAndTurnGreen) {
  Import({"600100200", "600100201", "600100202"});
  Compose("Promocja tylko dzisiaj");
  std::vector<int> leftAfterStep;
  form->Timer1().OnTimer = [&, step = form->Timer1().OnTimer] {
    step();
    if (form->ZoGSM1().Connected()) leftAfterStep.push_back(form->NumberList().Count());
  };

  ASSERT_TRUE(Click(view.BitBtn3));
  EXPECT_TRUE(form->Timer1().Enabled());
  EXPECT_TRUE(form->ZoGSM1().Active());
  EXPECT_TRUE(view.Gauge1.Visible());
  EXPECT_EQ(view.Gauge1.MaxValue(), 3);
  EXPECT_EQ(view.StatusBar1.PanelText(3), Ansi("trwa wysyłanie, czekaj..."));
  ASSERT_TRUE(Finished());

  ASSERT_GE(leftAfterStep.size(), 3u);
  EXPECT_EQ(std::vector<int>(leftAfterStep.begin(), leftAfterStep.begin() + 3), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 3);
  EXPECT_EQ(view.StatusBar1.PanelText(2), "kol [0,0]");
  EXPECT_EQ(view.StatusBar1.PanelText(3), Ansi("Wysyłka zakończona pomyślnie !"));
  EXPECT_FALSE(form->Timer1().Enabled());
  EXPECT_EQ(form->SentCounter(), 3);
  EXPECT_EQ(view.Gauge1.Progress(), 3);
  EXPECT_EQ(FailureLines(), 0);
  const std::vector<std::string> lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), Ansi("Zapisano plik wynikowy: " + resultFile.string())), lines.end())
      << ::testing::PrintToString(lines);
  EXPECT_FALSE(tel.frmTelList.Visible());  // the campaign took its last row
  EXPECT_EQ(testing::ResultRows(resultFile),
            (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen", "600100202\tgreen"}));
  // Finished, the modem stays connected until the user stops.
  EXPECT_TRUE(form->ZoGSM1().Connected());
  EXPECT_FALSE(view.BitBtn1.Enabled());
  EXPECT_TRUE(env.dialogs.Boxes().empty());
}

TEST_F(Campaign, AMessageWhoseMiddlePartFailedIsRedWithOneLogLine) {
  Import({"600100200"});
  Compose(AnsiString(400, 'x'));  // three parts
  // The network answers the first part two seconds late: time to make the
  // modem refuse the second one before it is announced.
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::Delay, 0, 2000, 1});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return simulator.Pdus().size() >= 1; }));
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::CmsError, 38, 0, 3});
  ASSERT_TRUE(Finished());

  // The line says which part failed, and why.
  const std::string failed = Ansi("BŁĄD! nie udało się wysłać wiadomości do: +48600100200 (część 2 z 3) - ");
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(FailureLines(), 1) << ::testing::PrintToString(lines);
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.starts_with(failed) && line.size() > failed.size();
  })) << ::testing::PrintToString(lines);
  EXPECT_EQ(form->SentCounter(), 1);
  EXPECT_NE(view.StatusBar1.PanelText(3).find(Ansi("zakończona")), std::string::npos);
  EXPECT_EQ(testing::ResultRows(resultFile), (std::vector<std::string>{"600100200\tred"}));
}

TEST_F(Campaign, StopWithNumbersLeftAsksAndNoKeepsSendingYesResetsEverything) {
  Import({"600100200", "600100201", "600100202"});
  Compose("Tekst");
  // The network takes its time: the campaign is still feeding when stopped.
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::Delay, 0, 3000, -1});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return form->NumberList().Count() == 2; }));
  view.Gauge2.SetProgress(40);
  view.Edit1.SetText("600");
  const auto savedBefore = std::filesystem::last_write_time(resultFile);

  env.dialogs.ScriptAnswers({DialogResult::No});
  ASSERT_TRUE(Click(view.BitBtn4));
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].text, Ansi("Chesz zakończyć wysyłanie wiadomości ?   "));
  EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" PYTANIE"));
  EXPECT_TRUE(form->Timer1().Enabled());
  EXPECT_TRUE(form->ZoGSM1().Connected());
  EXPECT_EQ(form->NumberList().Count(), 2);

  env.dialogs.ScriptAnswers({DialogResult::Yes});
  ASSERT_TRUE(Click(view.BitBtn4));
  EXPECT_EQ(env.dialogs.Boxes().size(), 2u);
  EXPECT_FALSE(form->Timer1().Enabled());
  EXPECT_TRUE(form->ZoGSM1().HardModemStop());
  EXPECT_TRUE(form->NumberList().Empty());
  EXPECT_FALSE(view.Gauge1.Visible());
  EXPECT_EQ(view.Gauge1.Progress(), 0);
  EXPECT_EQ(view.StatusBar1.PanelText(2), "kol [-,-]");
  EXPECT_EQ(view.StatusBar1.PanelText(3), "");
  EXPECT_EQ(view.Gauge2.Progress(), 0);
  EXPECT_EQ(view.lbPrawidlowe.Caption(), "0");
  EXPECT_FALSE(view.lbPrawidlowe0.Enabled());
  EXPECT_FALSE(tel.frmTelList.Visible());
  EXPECT_EQ(view.Edit1.Text(), "");
  EXPECT_EQ(std::filesystem::last_write_time(resultFile), savedBefore);  // not saved by the stop
  EXPECT_TRUE(ConnectedIs(false));
  EXPECT_EQ(view.StatusBar1.PanelText(0), Ansi("Modem wyłączony"));
}

TEST_F(Campaign, StopWithAnEmptyListOrDuringATestConnectionAsksNothing) {
  Click(view.BitBtn4);  // nothing running, nothing left
  EXPECT_TRUE(env.dialogs.Boxes().empty());

  Import({"600100200"});
  view.Label10.Click();  // "test modemu"
  ASSERT_TRUE(form->TestConnection());
  ASSERT_TRUE(ConnectedIs(true));
  ASSERT_TRUE(Click(view.BitBtn4));
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  EXPECT_FALSE(form->TestConnection());
  EXPECT_EQ(form->NumberList().Numbers(), std::vector<std::string>{"600100200"});  // the test ended, not the list
  EXPECT_TRUE(ConnectedIs(false));
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
}

TEST_F(Campaign, StopWhileTheLastMessagesAreStillQueuedAsksAndNamesThem) {
  Import({"600100200", "600100201"});
  Compose("Tekst");
  // Both messages leave the list at once and wait in the modem for the network.
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::Delay, 0, 4000, -1});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return form->NumberList().Empty() && simulator.Pdus().size() >= 1; }));
  ASSERT_EQ(form->SentCounter(), 0);

  env.dialogs.ScriptAnswers({DialogResult::No});
  ASSERT_TRUE(Click(view.BitBtn4));
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);  // numbers still on their way are numbers left
  EXPECT_TRUE(form->Timer1().Enabled());

  env.dialogs.ScriptAnswers({DialogResult::Yes});
  ASSERT_TRUE(Click(view.BitBtn4));
  const std::vector<std::string> lines = LogLines();
  for (const char* number : {"+48600100200", "+48600100201"}) {
    const std::string line = Ansi(std::string("BŁĄD! nie udało się wysłać wiadomości do: ") + number +
                                  " - wysyłka zatrzymana");
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << ::testing::PrintToString(lines);
  }
  EXPECT_TRUE(ConnectedIs(false));
}

TEST_F(Campaign, ASecondCampaignAfterAStopRunsWithoutAutomaticReconnectionAndNothingOfTheFirst) {
  Import({"600100200", "600100201", "600100202"});
  Compose("Pierwsza");
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::Delay, 0, 2000, -1});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return form->NumberList().Count() <= 1; }));
  env.dialogs.ScriptAnswers({DialogResult::Yes});
  ASSERT_TRUE(Click(view.BitBtn4));
  ASSERT_TRUE(ConnectedIs(false));
  loop.ProcessEventsFor(300);  // a part in submission may still be reported
  simulator.ClearFaults();
  const int before = simulator.CountCommands("AT+CMGS=");

  resultFile = env.folder / "druga_out.xls";
  Import({"600100300"});
  Compose("Druga");
  ASSERT_TRUE(Click(view.BitBtn3));
  EXPECT_FALSE(form->ZoGSM1().SuppressAutoReconnect());
  ASSERT_TRUE(Finished());
  EXPECT_TRUE(form->ZoGSM1().HardModemStop());
  EXPECT_FALSE(form->ZoGSM1().ReconnectTimer().Enabled());
  // Only the new number's message went out: the parts the stop left queued did not.
  EXPECT_EQ(simulator.CountCommands("AT+CMGS=") - before, 1);
  EXPECT_EQ(testing::ResultRows(resultFile), (std::vector<std::string>{"600100300\tgreen"}));
}

TEST_F(Campaign, AnEmptyTextIsRefusedWithoutConnecting) {
  Import({"600100200"});
  Compose(" \r\n ");
  ASSERT_TRUE(Click(view.BitBtn3));
  EXPECT_EQ(view.Memo1.Color(), clRed);
  EXPECT_TRUE(view.Memo1.Focused());
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_EQ(env.dialogs.Boxes()[0].text, Ansi("Nie wprowadzono żadnej treści wiadomości SMS !!!     "));
  EXPECT_EQ(env.dialogs.Boxes()[0].caption, Ansi(" BŁĄD !"));
  EXPECT_EQ(env.dialogs.Boxes()[0].icon, platform::DialogIcon::Error);
  EXPECT_FALSE(form->ZoGSM1().Active());
  EXPECT_FALSE(form->Timer1().Enabled());
  view.Memo1.Type("x");
  EXPECT_EQ(view.Memo1.Color(), clWhite);
}

TEST_F(Campaign, TextTypedJustBeforeStartIsSentWhole) {
  Import({"600100200"});
  Compose(Ansi("Dzień dobry"));
  view.Memo1.SetSelStart(static_cast<int>(view.Memo1.Text().size()));
  view.Memo1.Type(Ansi(", zapraszamy"));
  ASSERT_TRUE(form->Timer2().Enabled());  // no pause yet
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(Finished());
  ASSERT_EQ(form->ZoGSM1().TxMessageParts().size(), 1u);
  EXPECT_NE(form->ZoGSM1().TxMessageParts()[0].find("\"Dzien dobry, zapraszamy\""), std::string::npos)
      << form->ZoGSM1().TxMessageParts()[0];
}

TEST_F(Campaign, ANumberWithLettersIsReportedFailedAndNeverReachesTheModem) {
  Import({"60010020a", "600100201"});
  Compose("Tekst");
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(Finished());
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 1);
  EXPECT_EQ(form->SentCounter(), 2);
  EXPECT_EQ(FailureLines(), 1);
  const std::vector<std::string> lines = LogLines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.starts_with(Ansi("BŁĄD!")) && line.find("+4860010020a") != std::string::npos;
  })) << ::testing::PrintToString(lines);
  EXPECT_EQ(testing::ResultRows(resultFile), (std::vector<std::string>{"60010020a\tred", "600100201\tgreen"}));
}

TEST_F(Campaign, ACampaignWithAFailureSaysHowManyWereSentAndWhyOneWasNot) {
  Import({"600100200", "600100201", "600100202"});
  Compose("Tekst");
  // The network refuses the first message at every try.
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::CmsError, 38, 0, 3});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(Finished());

  const AnsiString summary = Ansi("Wysyłka zakończona: wysłano 2, nie wysłano 1");
  EXPECT_EQ(view.StatusBar1.PanelText(3), summary);
  const std::vector<std::string> lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), summary), lines.end()) << ::testing::PrintToString(lines);
  const std::string failed = Ansi("BŁĄD! nie udało się wysłać wiadomości do: +48600100200 - ");
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.starts_with(failed) && line.size() > failed.size();
  })) << ::testing::PrintToString(lines);
  EXPECT_EQ(testing::ResultRows(resultFile),
            (std::vector<std::string>{"600100200\tred", "600100201\tgreen", "600100202\tgreen"}));
}

TEST_F(Campaign, ACampaignWithoutAModemForTheSetTimeStopsItselfAndSaysWhy) {
  ASSERT_TRUE(RegWriteInt(kNoModemLimitSetting, 2, kSettingsKey));
  Import({"600100200", "600100201"});
  Compose("Tekst");
  simulator.Stop();  // the modem is gone for good: every connection attempt fails
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_TRUE(RunUntil([&] { return form->Campaign().Stopped(); }, std::chrono::seconds(60)))
      << ::testing::PrintToString(LogLines());
  const std::vector<std::string> lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), Ansi("Wysyłka przerwana: brak połączenia z modemem GSM od 2 s")),
            lines.end())
      << ::testing::PrintToString(lines);
  EXPECT_FALSE(form->Timer1().Enabled());
  EXPECT_TRUE(form->NumberList().Empty());
  // No further attempt to connect.
  const auto attempts = [&] {
    const std::vector<std::string> all = LogLines();
    return std::count_if(all.begin(), all.end(),
                         [](const std::string& line) { return line.starts_with(Ansi("Próba nawiązania")); });
  };
  ASSERT_TRUE(ConnectedIs(false));
  const auto attemptsAtStop = attempts();
  loop.ProcessEventsFor(3000);
  EXPECT_EQ(attempts(), attemptsAtStop) << ::testing::PrintToString(LogLines());
  EXPECT_EQ(testing::ResultRows(resultFile), (std::vector<std::string>{"600100200\tnone", "600100201\tnone"}));
}

TEST_F(Campaign, StoppedAfterEachCompletedMessageTheUncolouredRowsAreExactlyTheNumbersNotSent) {
  const std::vector<std::string> numbers = {"600100200", "60010020A", "600100201", "600100202",
                                            "abcdefghi", "600100203", "600100204"};
  // The network takes its time, so that several messages are in hand at a stop.
  simulator.SetFault("AT+CMGS", modemsim::Fault{modemsim::FaultKind::Delay, 0, 400, -1});
  for (int stopAfter = 1; stopAfter <= static_cast<int>(numbers.size()); ++stopAfter) {
    SCOPED_TRACE("stopped after message " + std::to_string(stopAfter));
    resultFile = env.folder / ("lista" + std::to_string(stopAfter) + "_out.xls");
    Import(numbers);
    // A text of its own each time: the same text to the same list would be
    // questioned first (the earlier campaigns texted some of these numbers).
    Compose("Tekst " + std::to_string(stopAfter));
    const size_t submittedBefore = simulator.Pdus().size();
    ASSERT_TRUE(Click(view.BitBtn3));
    ASSERT_TRUE(RunUntil([&] { return form->SentCounter() >= stopAfter || form->Campaign().Finished(); },
                         std::chrono::seconds(120)));
    form->Campaign().StopAfterMessagesInHand();
    ASSERT_TRUE(RunUntil([&] { return form->Campaign().Stopped() || form->Campaign().Finished(); },
                         std::chrono::seconds(120)));
    std::vector<std::string> notSent;
    for (const modem::TRecipient& recipient : form->Campaign().NotSent()) notSent.push_back(recipient.number);

    const std::vector<std::string> rows = testing::ResultRows(resultFile);
    ASSERT_EQ(rows.size(), numbers.size()) << ::testing::PrintToString(rows);
    size_t green = 0;
    for (size_t i = 0; i < numbers.size(); ++i) {
      const bool left = std::count(notSent.begin(), notSent.end(), numbers[i]) > 0;
      const bool digits = IsSendableNumber(numbers[i]);
      EXPECT_EQ(rows[i], numbers[i] + (left ? "\tnone" : digits ? "\tgreen" : "\tred"));
      green += !left && digits;
    }
    EXPECT_EQ(notSent.size(), numbers.size() - static_cast<size_t>(form->SentCounter()));
    // Every green row, and nothing else, reached the network.
    EXPECT_EQ(simulator.Pdus().size() - submittedBefore, green);
    ASSERT_TRUE(ConnectedIs(false) || form->Campaign().Finished());
    if (form->Campaign().Finished()) {
      ASSERT_TRUE(Click(view.BitBtn4));  // the modem stays connected until stopped
      ASSERT_TRUE(ConnectedIs(false));
    }
  }
}

TEST_F(Campaign, ClosingTheWindowSavesTheResultWorkbook) {
  Import({"600100200"});
  std::filesystem::remove(resultFile);
  view.frmMain.Close();
  EXPECT_EQ(testing::ResultRows(resultFile), (std::vector<std::string>{"600100200\tnone"}));
}

}  // namespace
}  // namespace app
