// Earlier campaigns of the journal in the window, against the simulated
// modem: a campaign killed mid-way is offered for continuing at start-up and
// continues with the numbers left only, its messages in doubt resent only on
// the operator's word; a list whose text already went to some of its numbers
// is sent to the others only when the operator chooses so.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/window/campaign_window_fixture.h"
#include "journal/journal_test_support.h"
#include "sms/sms_decoder.h"

namespace app {
namespace {

using journal::TCampaignState;
using journal::TMessageState;
using platform::DialogButtons;
using platform::DialogResult;

const std::vector<std::string> kList = {"600100200", "600100201", "600100202",
                                        "600100203", "600100204", "600100205"};

std::vector<journal::TRecipientEntry> Entries(const std::vector<std::string>& numbers) {
  std::vector<journal::TRecipientEntry> entries;
  for (const std::string& number : numbers) {
    entries.push_back({static_cast<int>(entries.size()) + 1, number, number, "+48" + number});
  }
  return entries;
}

class EarlierCampaigns : public testing::CampaignWindowTest {
 protected:
  // The journal is written before the window starts, as an earlier run of
  // the program left it.
  void SetUp() override {
    ASSERT_TRUE(simulator.Start());
    port = simulator.PortPath();
  }
  void StartWindow() {
    journalStore.reset();  // the earlier program is gone
    StartOnSimulator();
  }
  // The window closed and started again, as the user does.
  void RestartWindow() {
    Stop();
    view.frmMain.Close();
    StartWindow();
  }

  journal::TSqliteJournal& Journal() {
    if (!journalStore) journalStore = journal::testing::OpenJournal(journalFile);
    return *journalStore;
  }

  journal::TCampaignId CreateCampaign(const std::vector<std::string>& numbers, const char* text) {
    const journal::TNewCampaign campaign{Ansi(text), false, false, "", resultFile.string()};
    auto id = Journal().CreateCampaign(campaign, Entries(numbers));
    EXPECT_TRUE(id);
    return id ? *id : 0;
  }

  // Takes the next message on the simulated modem's port and gives it one
  // part: answered sent, or (`answered` false) left without its answer.
  journal::TRecipientId Take(journal::TCampaignId campaign) {
    return journal::testing::TakeOrFail(Journal(), campaign, port).id;
  }
  void Send(journal::TCampaignId campaign) { journal::testing::SendPart(Journal(), Take(campaign), 1, 1, port); }
  void SubmitWithoutAnswer(journal::TCampaignId campaign) {
    EXPECT_TRUE(Journal().RecordSubmitting({Take(campaign), 1, 1, std::nullopt, port}));
  }

  // Killed mid-way through kList: the first message sent, the second
  // submitted without an answer, the third taken, the rest queued.
  journal::TCampaignId KilledCampaign() {
    const journal::TCampaignId campaign = CreateCampaign(kList, "Dzień dobry, zapraszamy na wyprzedaż");
    Send(campaign);
    SubmitWithoutAnswer(campaign);
    Take(campaign);
    return campaign;
  }

  // The national numbers the simulated network was given, in order.
  std::vector<std::string> Texted() const {
    std::vector<std::string> numbers;
    for (const std::string& pdu : simulator.Pdus()) {
      sms::TSMS submitted;
      submitted.ParsePDU(pdu);
      std::string number = submitted.GetSender();
      numbers.push_back(number.starts_with("+48") ? number.substr(3) : number);
    }
    return numbers;
  }

  std::map<std::string, TMessageState> States(journal::TCampaignId campaign) {
    std::map<std::string, TMessageState> states;
    auto recipients = Journal().Recipients(campaign);
    EXPECT_TRUE(recipients);
    if (recipients) {
      for (const journal::TRecipientRecord& recipient : *recipients) states[recipient.entry.number] = recipient.state;
    }
    return states;
  }

  // The window shown and its start-up question asked.
  void Settle() { loop.ProcessEventsFor(50); }

  std::filesystem::path journalFile = env.ProgramDir() / "journal.sqlite";
  std::unique_ptr<journal::TSqliteJournal> journalStore;
  std::string port;
};

class ResumeAtStartUp : public EarlierCampaigns {
 protected:
  void SetUp() override {
    EarlierCampaigns::SetUp();
    campaign = KilledCampaign();
  }
  journal::TCampaignId campaign = 0;
};

// The answer to the second question (send the message in doubt again?),
// the numbers then texted, and what becomes of the message in doubt.
struct ResendCase {
  DialogResult resend;
  std::vector<std::string> texted;
  TMessageState uncertainOne;
};

class ResumeAnswered : public ResumeAtStartUp, public ::testing::WithParamInterface<ResendCase> {};

TEST_P(ResumeAnswered, YesContinuesWithTheNumbersLeftAndNeverResendsTheUncertainOneUnlessAsked) {
  const ResendCase& c = GetParam();
  env.dialogs.ScriptAnswers({DialogResult::Yes, c.resend});
  StartWindow();
  Settle();

  const std::vector<platform::RecordingDialogs::Box> boxes = env.dialogs.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(boxes[0].text.starts_with(Ansi("Znaleziono niedokończoną wysyłkę z ")));
  EXPECT_NE(boxes[0].text.find(Ansi("(\"Dzień dobry, zaprasz...\"): wysłano 1, pozostało 4, niepewne 1. "
                                    "Kontynuować wysyłkę?")),
            std::string::npos)
      << boxes[0].text;
  EXPECT_EQ(boxes[1].text, Ansi("Modem nie potwierdził wysłania wiadomości do: 600100201.\nTe wiadomości mogły już "
                                "dotrzeć do odbiorców. Wysłać je ponownie?"));
  EXPECT_EQ(boxes[1].buttons, DialogButtons::YesNoCancelDefaultNo);  // Enter does not resend
  // The phone list window shows the numbers left; the log says the campaign continues.
  ASSERT_TRUE(tel.frmTelList.Visible());
  EXPECT_EQ(tel.View().ListBox1->Count(), static_cast<int>(c.texted.size()) + 1);
  const std::vector<std::string> lines = LogLines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.starts_with(Ansi("Kontynuacja wysyłki z "));
  })) << ::testing::PrintToString(lines);

  // The editor shows what goes out: the continued campaign's text, its
  // Polish letters folded as a campaign without UCS-2 sends them.
  EXPECT_EQ(view.Memo1.Text(), Ansi("Dzien dobry, zapraszamy na wyprzedaz"));
  EXPECT_FALSE(view.CheckBox4.Checked());

  ASSERT_TRUE(Finished()) << ::testing::PrintToString(LogLines());
  EXPECT_EQ(Texted(), c.texted);
  // A message left in doubt is no campaign ended well.
  EXPECT_EQ(view.StatusBar1.PanelText(3), c.uncertainOne == TMessageState::Sent
                                              ? Ansi("Wysyłka zakończona pomyślnie !")
                                              : Ansi("Wysyłka zakończona: wysłano 4, nie wysłano 1"));
  const auto states = States(campaign);
  EXPECT_EQ(states.at("600100200"), TMessageState::Sent);
  EXPECT_EQ(states.at("600100201"), c.uncertainOne);
  for (const char* number : {"600100202", "600100203", "600100204", "600100205"}) {
    EXPECT_EQ(states.at(number), TMessageState::Sent) << number;
  }
  // The result workbook is the continued campaign's, every number on its own row.
  const std::vector<std::string> rows = testing::ResultRows(resultFile);
  ASSERT_EQ(rows.size(), kList.size()) << ::testing::PrintToString(rows);
  EXPECT_EQ(rows[0], "600100200\tgreen");
  EXPECT_EQ(rows[1] == "600100201\tgreen", c.uncertainOne == TMessageState::Sent) << rows[1];
  EXPECT_EQ(rows[5], "600100205\tgreen");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ResumeAnswered,
    ::testing::Values(
        ResendCase{DialogResult::No, {"600100202", "600100203", "600100204", "600100205"}, TMessageState::Uncertain},
        ResendCase{DialogResult::Cancel, {"600100202", "600100203", "600100204", "600100205"},
                   TMessageState::Uncertain},
        ResendCase{DialogResult::Yes, {"600100201", "600100202", "600100203", "600100204", "600100205"},
                   TMessageState::Sent}),
    [](const ::testing::TestParamInfo<ResendCase>& info) {
      switch (info.param.resend) {
        case DialogResult::Yes: return std::string("ResendYes");
        case DialogResult::No: return std::string("ResendNo");
        default: return std::string("ResendClosed");
      }
    });

TEST_F(ResumeAtStartUp, NoLeavesTheCampaignInTheJournalAsItWasAndTheWindowAsUsual) {
  const auto before = States(campaign);
  env.dialogs.ScriptAnswers({DialogResult::No});
  StartWindow();
  Settle();
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_TRUE(env.dialogs.Boxes()[0].text.ends_with(Ansi("talvane-cli campaign --resume " + std::to_string(campaign) +
                                                         " --port " + port)))
      << env.dialogs.Boxes()[0].text;
  EXPECT_FALSE(form->ZoGSM1().Active());
  EXPECT_FALSE(form->Timer1().Enabled());
  EXPECT_TRUE(form->NumberList().Empty());
  EXPECT_FALSE(tel.frmTelList.Visible());
  EXPECT_EQ(States(campaign), before);
  auto summary = Journal().Summary(campaign);
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->campaign.state, TCampaignState::Running);
  loop.ProcessEventsFor(300);
  EXPECT_EQ(env.dialogs.Boxes().size(), 1u);  // asked once
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
}

// A talvane-cli still sending the campaign holds it: the window does not
// offer it (continuing would settle that program's message in flight).
TEST_F(ResumeAtStartUp, ACampaignAnotherProgramSendsIsNotOffered) {
  auto otherProgram = journal::testing::OpenJournal(journalFile);
  auto held = otherProgram->Claim(campaign);
  ASSERT_TRUE(held);
  const auto before = States(campaign);
  StartWindow();
  Settle();
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  EXPECT_EQ(States(campaign), before);
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
}

TEST_F(EarlierCampaigns, NothingIsAskedWithoutAnUnfinishedCampaignOrWithAJournalThatCannotBeOpened) {
  const journal::TCampaignId finished = CreateCampaign({"600100200", "600100201"}, "Tekst");
  Send(finished);
  Send(finished);
  ASSERT_TRUE(Journal().SetCampaignState(finished, TCampaignState::Finished));
  const journal::TCampaignId answered = CreateCampaign({"600100200"}, "Tekst");
  Send(answered);
  ASSERT_TRUE(Journal().SetCampaignState(answered, TCampaignState::Stopped));
  StartWindow();
  Settle();
  EXPECT_TRUE(env.dialogs.Boxes().empty());

  const std::string damaged = "not a journal, but somebody's file";
  journalStore.reset();
  Stop();
  std::filesystem::remove(journalFile);
  std::ofstream(journalFile) << damaged;
  RestartWindow();
  Settle();
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  std::ifstream in(journalFile);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
}

TEST_F(EarlierCampaigns, NoJournalAtStartUpIsNotMadeByTheQuestion) {
  StartWindow();
  Settle();
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  EXPECT_FALSE(std::filesystem::exists(journalFile));
}

class SameList : public EarlierCampaigns {
 protected:
  void SetUp() override {
    EarlierCampaigns::SetUp();
    resultFile = env.folder / "wczoraj_out.xls";
    // Yesterday's list: the same text went to the first two numbers.
    const journal::TCampaignId earlier = CreateCampaign({"600100200", "600100201"}, "Promocja tylko dzisiaj");
    Send(earlier);
    Send(earlier);
    EXPECT_TRUE(Journal().SetCampaignState(earlier, TCampaignState::Finished));
    StartWindow();
    Settle();
    resultFile = env.folder / "lista_out.xls";
    Import({"600100200", "600100201", "600100202", "600100203"});
    Compose("Promocja tylko dzisiaj");
  }
};

TEST_F(SameList, OnlyTheNewNumbersGetTheTextWhenTheOperatorSaysSo) {
  env.dialogs.ScriptAnswers({DialogResult::Yes});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_TRUE(env.dialogs.Boxes()[0].text.starts_with(
      Ansi("Tę samą treść wysłano już do numerów tej listy: 2 z 4 (ostatnio w wysyłce z ")))
      << env.dialogs.Boxes()[0].text;
  ASSERT_TRUE(Finished());
  EXPECT_EQ(Texted(), (std::vector<std::string>{"600100202", "600100203"}));
}

TEST_F(SameList, CancelSendsNothingAndNoAfterNoSendsNothing) {
  struct Case {
    std::initializer_list<DialogResult> answers;
    size_t boxes;
  };
  for (const Case& c : {Case{{DialogResult::Cancel}, 1}, Case{{DialogResult::No, DialogResult::No}, 2},
                        Case{{DialogResult::No, DialogResult::Cancel}, 2}}) {
    env.dialogs.Clear();
    env.dialogs.ScriptAnswers(c.answers);
    ASSERT_TRUE(Click(view.BitBtn3));
    ASSERT_EQ(env.dialogs.Boxes().size(), c.boxes);
    EXPECT_EQ(env.dialogs.Boxes().back().buttons, c.boxes == 2 ? DialogButtons::YesNoCancelDefaultNo
                                                                : DialogButtons::YesNoCancel);
    EXPECT_FALSE(form->ZoGSM1().Active());
    EXPECT_FALSE(form->Timer1().Enabled());
    EXPECT_EQ(form->NumberList().Count(), 4);
  }
  loop.ProcessEventsFor(300);
  EXPECT_EQ(simulator.CountCommands("AT+CMGS="), 0);
}

TEST_F(SameList, EverybodyGetsItAgainOnlyAfterTheSecondYes) {
  env.dialogs.ScriptAnswers({DialogResult::No, DialogResult::Yes});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_EQ(env.dialogs.Boxes().size(), 2u);
  EXPECT_EQ(env.dialogs.Boxes()[1].text,
            Ansi("Wysłać do wszystkich numerów listy (4)? Tę samą wiadomość dostaną ponownie także ci, do których "
                 "już ją wysłano (2)."));
  ASSERT_TRUE(Finished());
  EXPECT_EQ(Texted(), (std::vector<std::string>{"600100200", "600100201", "600100202", "600100203"}));
}

TEST_F(SameList, AnUnfinishedEarlierCampaignOfTheTextCanBeContinuedInstead) {
  // Stopped this morning: the same text went to 600100202, 600100204 is left.
  const journal::TCampaignId unfinished = CreateCampaign({"600100202", "600100204"}, "Promocja tylko dzisiaj");
  Send(unfinished);
  ASSERT_TRUE(Journal().SetCampaignState(unfinished, TCampaignState::Stopped));

  env.dialogs.ScriptAnswers({DialogResult::Yes});
  ASSERT_TRUE(Click(view.BitBtn3));
  ASSERT_EQ(env.dialogs.Boxes().size(), 1u);
  EXPECT_TRUE(env.dialogs.Boxes()[0].text.starts_with(
      Ansi("Tę samą treść wysłano już do numerów tej listy: 3 z 4. Wysyłka tej treści z ")))
      << env.dialogs.Boxes()[0].text;
  EXPECT_EQ(form->NumberList().Numbers(), std::vector<std::string>{"600100204"});  // the earlier campaign's
  ASSERT_TRUE(Finished());
  EXPECT_EQ(Texted(), std::vector<std::string>{"600100204"});
  EXPECT_EQ(States(unfinished).at("600100204"), TMessageState::Sent);
}

TEST_F(SameList, AnotherTextGoesToEverybodyWithoutAQuestion) {
  Compose("Inna promocja");
  ASSERT_TRUE(Click(view.BitBtn3));
  EXPECT_TRUE(env.dialogs.Boxes().empty());
  ASSERT_TRUE(Finished());
  EXPECT_EQ(Texted().size(), 4u);
}

}  // namespace
}  // namespace app
