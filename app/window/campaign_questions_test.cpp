// What the questions about earlier campaigns show, read from journal records:
// which messages count as sent, left or in doubt, and the Polish texts.

#include "app/window/campaign_questions.h"

#include <gtest/gtest.h>

#include <ctime>

#include "app/window/test_support.h"

namespace app {
namespace {

using journal::TCampaignState;
using journal::TMessageState;
using journal::TPartState;

journal::TPartRecord Part(int partNo, TPartState state) {
  journal::TPartRecord part;
  part.partNo = partNo;
  part.state = state;
  return part;
}

journal::TRecipientRecord Recipient(const std::string& number, TMessageState state,
                                    std::vector<journal::TPartRecord> parts = {}) {
  journal::TRecipientRecord recipient;
  recipient.entry.number = number;
  recipient.state = state;
  recipient.partLog = std::move(parts);
  return recipient;
}

journal::TCampaignRecord Campaign(TCampaignState state, const std::string& text = "Tekst") {
  journal::TCampaignRecord campaign;
  campaign.id = 7;
  campaign.state = state;
  campaign.created = 1796981400000;  // 2026-12-11 09:30 UTC
  campaign.campaign.text = Ansi(text);
  return campaign;
}

// The times of the texts are local: the tests read them in UTC.
class CampaignQuestions : public ::testing::Test {
 protected:
  CampaignQuestions() { ::tzset(); }
  ~CampaignQuestions() override {
    utc_.reset();
    ::tzset();
  }
  std::unique_ptr<testing::ScopedEnv> utc_ = std::make_unique<testing::ScopedEnv>("TZ", "UTC");
};

TEST_F(CampaignQuestions, AMessageInFlightIsInDoubtWhenTheLatestSubmissionOfAPartHasNoAnswer) {
  const std::vector<journal::TRecipientRecord> recipients = {
      Recipient("600000001", TMessageState::Queued),
      Recipient("600000002", TMessageState::Sending),  // taken, nothing submitted
      Recipient("600000003", TMessageState::Sending, {Part(1, TPartState::Sent), Part(2, TPartState::Submitting)}),
      Recipient("600000004", TMessageState::Sending, {Part(1, TPartState::Sent)}),  // part 2 not submitted yet
      Recipient("600000005", TMessageState::Sending,
                {Part(1, TPartState::Uncertain), Part(1, TPartState::Sent)}),  // resent, then answered
      Recipient("600000006", TMessageState::Sending, {Part(1, TPartState::Uncertain)}),
      Recipient("600000007", TMessageState::Uncertain, {Part(1, TPartState::Uncertain)}),
      Recipient("600000008", TMessageState::Sent),
      Recipient("600000009", TMessageState::Delivered),
      Recipient("600000010", TMessageState::Undelivered),
      Recipient("600000011", TMessageState::Failed),
      Recipient("600000012", TMessageState::Skipped),
  };
  for (TCampaignState state : {TCampaignState::Running, TCampaignState::Stopped}) {
    const auto unfinished = UnfinishedCampaign(Campaign(state), recipients);
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(unfinished->campaign.id, 7);
    EXPECT_EQ(unfinished->sent, 3);
    EXPECT_EQ(unfinished->left, 4);
    EXPECT_EQ(unfinished->uncertain, (std::vector<std::string>{"600000003", "600000006", "600000007"}));
  }
}

TEST_F(CampaignQuestions, OnlyACampaignWithMessagesLeftOrInFlightIsUnfinished) {
  struct Case {
    const char* name;
    TCampaignState state;
    std::vector<journal::TRecipientRecord> recipients;
    bool unfinished;
  };
  const std::vector<Case> cases = {
      {"finished", TCampaignState::Finished, {Recipient("600000001", TMessageState::Queued)}, false},
      {"stopped, every message answered", TCampaignState::Stopped,
       {Recipient("600000001", TMessageState::Sent), Recipient("600000002", TMessageState::Failed)}, false},
      {"stopped, only uncertain ones", TCampaignState::Stopped, {Recipient("600000001", TMessageState::Uncertain)},
       false},
      {"stopped, one queued", TCampaignState::Stopped,
       {Recipient("600000001", TMessageState::Sent), Recipient("600000002", TMessageState::Queued)}, true},
      {"running, one in flight", TCampaignState::Running,
       {Recipient("600000001", TMessageState::Sending, {Part(1, TPartState::Submitting)})}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnfinishedCampaign(Campaign(c.state), c.recipients).has_value(), c.unfinished) << c.name;
  }
}

TEST_F(CampaignQuestions, TheNumbersInDoubtAreNamedUpToFiveThenCountedInPolish) {
  const auto numbers = [](int count) {
    std::vector<std::string> list;
    for (int i = 1; i <= count; ++i) list.push_back("60000000" + std::to_string(i % 10));
    return list;
  };
  const std::string five = "600000001, 600000002, 600000003, 600000004, 600000005";
  const std::vector<std::pair<int, std::string>> cases = {
      {1, "600000001"},           {5, five},
      {6, five + " i 1 inny"},    {7, five + " i 2 inne"},
      {9, five + " i 4 inne"},    {10, five + " i 5 innych"},
      {17, five + " i 12 innych"}, {27, five + " i 22 inne"},
  };
  for (const auto& [count, text] : cases) EXPECT_EQ(NumbersNamed(numbers(count)), text) << count;
}

TEST_F(CampaignQuestions, TheQuestionQuotesTheStartOfTheTextOnOneLine) {
  EXPECT_EQ(QuotedTextStart(Ansi("Krótki")), Ansi("Krótki"));
  EXPECT_EQ(QuotedTextStart(Ansi("Dokładnie dwadzieścia")).size(), 23u);  // 21 letters: cut
  EXPECT_EQ(QuotedTextStart(Ansi("Dzień dobry,\r\nzapraszamy na wyprzedaż")), Ansi("Dzień dobry,  zapras..."));
}

TEST_F(CampaignQuestions, TheStartUpQuestionsSayWhenWhatAndHowMany) {
  TUnfinishedCampaign unfinished{.campaign = Campaign(TCampaignState::Running, "Dzień dobry, zapraszamy jutro"),
                                 .sent = 12,
                                 .left = 30,
                                 .uncertain = {"600000001", "600000002"}};
  EXPECT_EQ(ResumeQuestion(unfinished, "/dev/ttyUSB0"),
            Ansi("Znaleziono niedokończoną wysyłkę z 2026-12-11 09:30 (\"Dzień dobry, zaprasz...\"): wysłano 12, "
                 "pozostało 30, niepewne 2. Kontynuować wysyłkę?\n\nNie: wysyłka zostaje w dzienniku; można ją "
                 "dokończyć później poleceniem: talvane-cli campaign --resume 7 --port /dev/ttyUSB0"));
  EXPECT_EQ(ResendUncertainQuestion(unfinished.uncertain),
            Ansi("Modem nie potwierdził wysłania wiadomości do: 600000001, 600000002.\nTe wiadomości mogły już "
                 "dotrzeć do odbiorców. Wysłać je ponownie?"));
}

TEST_F(CampaignQuestions, TheSameListQuestionsCountTheNumbersAlreadyTexted) {
  const TSameListFinding finding{.earlier = Campaign(TCampaignState::Finished), .listed = 10, .texted = 4};
  const AnsiString only = OnlyNewNumbersQuestion(finding);
  EXPECT_TRUE(only.starts_with(Ansi("Tę samą treść wysłano już do numerów tej listy: 4 z 10 (ostatnio w wysyłce z "
                                    "2026-12-11 09:30). Wysłać tylko do numerów, do których jeszcze jej nie "
                                    "wysłano (6)?")))
      << only;
  EXPECT_EQ(EverybodyAgainQuestion(finding),
            Ansi("Wysłać do wszystkich numerów listy (10)? Tę samą wiadomość dostaną ponownie także ci, do których "
                 "już ją wysłano (4)."));
  TUnfinishedCampaign earlier{.campaign = Campaign(TCampaignState::Stopped), .left = 3, .uncertain = {}};
  EXPECT_TRUE(ContinueEarlierQuestion(finding, earlier)
                  .starts_with(Ansi("Tę samą treść wysłano już do numerów tej listy: 4 z 10. Wysyłka tej treści "
                                    "z 2026-12-11 09:30 nie została dokończona (pozostało 3). Kontynuować tamtą "
                                    "wysyłkę zamiast zaczynać nową?\n\nTak: kontynuuj tamtą wysyłkę\nNie: wybierz, do "
                                    "kogo wysłać nową\nAnuluj: nic nie wysyłaj")));
}

}  // namespace
}  // namespace app
