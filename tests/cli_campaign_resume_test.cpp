// `talvane-cli campaign --resume` and the same list again, against
// talvane-modemsim: a campaign the journal holds unfinished (its program
// ended while a part was being submitted) continues with the numbers left,
// never resends the message in doubt unless told to, and a new campaign of
// the same text leaves out the numbers that already had it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/window/window_test_fixture.h"
#include "journal/sqlite_journal.h"
#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

namespace fs = std::filesystem;
using app::testing::ResultRows;
using e2e::ReadFile;

// How python3-xlrd names the yellow of a message that may have been sent.
const std::string kYellow = "(255, 255, 0)";

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

class CliCampaignResume : public ::testing::Test {
 protected:
  // Campaign 1 of "Promocja" to 600100200..600100202 as a killed program
  // leaves it: the first number's part submitted on `modem` without an
  // answer, the second sent, the third still queued.
  void LeaveUnfinished(const std::string& modem) {
    fs::create_directories(journalFile.parent_path());
    auto opened = journal::TSqliteJournal::Open(journalFile);
    ASSERT_TRUE(opened);
    journal::TCampaignJournal& journal = **opened;
    std::vector<journal::TRecipientEntry> entries;
    for (int row = 1; row <= 3; ++row) {
      const std::string number = "60010020" + std::to_string(row - 1);
      entries.push_back({row, number, number, "+48" + number});
    }
    auto id = journal.CreateCampaign({"Promocja", false, false, "", result.string()}, entries);
    ASSERT_TRUE(id);
    ASSERT_EQ(*id, 1);
    auto first = journal.TakeNext(*id, modem);
    ASSERT_TRUE(first && first->has_value());
    ASSERT_TRUE(journal.RecordSubmitting({(*first)->id, 1, 1, std::nullopt, modem}));
    auto second = journal.TakeNext(*id, modem);
    ASSERT_TRUE(second && second->has_value());
    ASSERT_TRUE(journal.RecordSubmitting({(*second)->id, 1, 1, std::nullopt, modem}));
    ASSERT_TRUE(journal.RecordAnswer({(*second)->id, 1, true, 7, {}}));
  }

  // One campaign run against a simulated modem of its own; the modem's log in `traffic`.
  e2e::Result Run(std::vector<std::string> args, std::string& traffic) {
    const fs::path log = folder / ("modem" + std::to_string(++runs) + ".log");
    e2e::SimulatorProcess simulator({"--reference", "20"}, log.string());
    for (std::string& arg : args) {
      if (arg == "{port}") arg = simulator.Port();
    }
    args.insert(args.begin(), {e2e::kCli, "campaign"});
    e2e::Result run = e2e::RunProgram(args, e2e::Streams::Separate);
    simulator.Stop();
    traffic = ReadFile(log);
    return run;
  }

  platform::TestFolder folder;
  app::testing::ScopedEnv programDir{"TALVANE_PROGRAM_DIR", (folder / "program").string()};
  fs::path journalFile = folder / "program" / "journal.sqlite";
  fs::path result = folder / "wyniki_out.xls";
  int runs = 0;
};

TEST_F(CliCampaignResume, TheMessageInDoubtIsNotResentUntilAskedAndTheRestIsSent) {
  LeaveUnfinished("/dev/ttyGONE");
  std::string traffic;
  const e2e::Result resumed = Run({"--resume", "--port", "{port}"}, traffic);
  EXPECT_EQ(resumed.status, 1) << resumed.err;  // a number is left in doubt
  EXPECT_NE(resumed.err.find("talvane-cli campaign: resuming campaign 1: 1 sent, 1 left, 1 uncertain (they may have "
                             "been sent: not sent again without --resend-uncertain)\n"),
            std::string::npos)
      << resumed.err;
  std::vector<std::string> lines = e2e::Lines(resumed.out);
  ASSERT_EQ(lines.size(), 2u) << resumed.out;
  EXPECT_EQ(lines[0], R"({"number":"600100202","status":"sent","parts":1,"failed_parts":0,"refs":[20]})");
  EXPECT_TRUE(lines[1].starts_with(R"({"sent":1,"failed":0,"not_sent":["600100200"],"result_file":")" +
                                   result.string() + R"(","seconds":)"))
      << lines[1];
  EXPECT_TRUE(lines[1].ends_with(R"(,"campaign":1})")) << lines[1];
  EXPECT_EQ(Count(traffic, "RX AT+CMGS="), 1u) << traffic;
  EXPECT_EQ(ResultRows(result),
            (std::vector<std::string>{"600100200\t" + kYellow, "600100201\tgreen", "600100202\tgreen"}));

  // Importing that workbook again offers nobody: the yellow row is skipped
  // with the reason, as the green ones are.
  const e2e::Result import = e2e::RunCli({"import", result.string()});
  EXPECT_NE(import.out.find(R"("numbers":[])"), std::string::npos) << import.out;
  EXPECT_NE(import.out.find("Pozycja [A1] - pominięto nr tel: 600100200 - żółte pole"), std::string::npos)
      << import.out;

  // The operator's word: the message in doubt goes out again, alone.
  const e2e::Result resent = Run({"--resume", "1", "--port", "{port}", "--resend-uncertain"}, traffic);
  EXPECT_EQ(resent.status, 0) << resent.err;
  EXPECT_NE(resent.err.find("resuming campaign 1: 2 sent, 1 left, 0 uncertain (1 uncertain sent again)"),
            std::string::npos)
      << resent.err;
  lines = e2e::Lines(resent.out);
  ASSERT_EQ(lines.size(), 2u) << resent.out;
  EXPECT_EQ(lines[0], R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[20]})");
  EXPECT_TRUE(lines[1].starts_with(R"({"sent":1,"failed":0,"not_sent":[],)")) << lines[1];
  EXPECT_EQ(Count(traffic, "RX AT+CMGS="), 1u) << traffic;
  EXPECT_EQ(ResultRows(result), (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen", "600100202\tgreen"}));

  // Nothing is left to resume.
  const e2e::Result nothing = Run({"--resume", "--port", "{port}"}, traffic);
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(nothing.out, "");
  EXPECT_EQ(nothing.err, "talvane-cli campaign: no unfinished campaign in the journal\n");
  EXPECT_EQ(Count(traffic, "AT+CMGS"), 0u);
}

TEST_F(CliCampaignResume, AMessageWhoseAnswerWasLostIsUncertainYellowAndResentOnlyWhenAsked) {
  const fs::path network = folder / "network.log";
  const fs::path log = folder / "lost.log";
  {
    // The network accepts the message and the line drops for good before its
    // answer: the campaign ends at once, it does not wait for the modem.
    e2e::SimulatorProcess simulator({"--reference", "20", "--fault", "lost*1", "AT+CMGS", "--network-log",
                                     network.string()},
                                    log.string());
    const e2e::Result run = e2e::RunProgram({e2e::kCli, "campaign", "--port", simulator.Port(), "--result",
                                             result.string(), "--numbers", "600100200", "Promocja"},
                                            e2e::Streams::Separate);
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::string> lines = e2e::Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out << run.err;
    EXPECT_EQ(lines[0], R"({"number":"600100200","status":"uncertain","parts":1,"failed_parts":0,"refs":[]})");
    EXPECT_TRUE(lines[1].starts_with(R"({"sent":0,"failed":0,"not_sent":["600100200"],)")) << lines[1];
    EXPECT_NE(run.err.find("NIEPEWNE! wiadomość do: +48600100200 mogła zostać wysłana"), std::string::npos)
        << run.err;
  }
  EXPECT_EQ(Count(ReadFile(network), "accepted\t+48600100200\t"), 1u) << ReadFile(network);
  EXPECT_EQ(ResultRows(result), (std::vector<std::string>{"600100200\t" + kYellow}));
  const e2e::Result listed = e2e::RunCli({"campaigns"}, e2e::Streams::Separate);
  EXPECT_NE(listed.out.find(R"("total":1,"sent":0,"failed":0,"uncertain":1,"left":0,"state":"finished"})"),
            std::string::npos)
      << listed.out;

  // Resumed, the finished campaign sends nothing without the operator's word.
  std::string traffic;
  const e2e::Result resumed = Run({"--resume", "1", "--port", "{port}"}, traffic);
  EXPECT_EQ(resumed.status, 1) << resumed.err;
  EXPECT_NE(resumed.err.find("resuming campaign 1: 0 sent, 0 left, 1 uncertain"), std::string::npos) << resumed.err;
  EXPECT_EQ(Count(traffic, "AT+CMGS"), 0u);
  const e2e::Result resent = Run({"--resume", "1", "--port", "{port}", "--resend-uncertain"}, traffic);
  EXPECT_EQ(resent.status, 0) << resent.err;
  EXPECT_TRUE(resent.out.starts_with(R"({"number":"600100200","status":"sent")")) << resent.out;
  EXPECT_EQ(Count(traffic, "RX AT+CMGS="), 1u);
  EXPECT_EQ(ResultRows(result), (std::vector<std::string>{"600100200\tgreen"}));
}

TEST_F(CliCampaignResume, WrongResumeArgumentsSendNothing) {
  LeaveUnfinished("/dev/ttyGONE");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string error;
  };
  const Case cases[] = {
      {{"--resume", "--port", "{port}", "--numbers", "600100200"}, 2, "--resume takes the numbers"},
      {{"--resume", "--port", "{port}", "Promocja"}, 2, "no FILE or TEXT with --resume"},
      {{"--resume", "1", "--port", "{port}", "Promocja"}, 2, "one campaign ID at most"},
      {{"--port", "{port}", "--resend-uncertain", "--numbers", "600100200", "Promocja"}, 2,
       "--resend-uncertain goes with --resume"},
      {{"--resume", "9", "--port", "{port}"}, 1, "talvane-cli campaign: no campaign 9 in the journal\n"},
  };
  for (const Case& c : cases) {
    std::string traffic;
    const e2e::Result run = Run(c.args, traffic);
    SCOPED_TRACE(c.error);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(Count(traffic, "AT+CMGS"), 0u);
  }
  EXPECT_FALSE(fs::exists(result));
}

TEST_F(CliCampaignResume, TheSameTextToTheSameNumbersSkipsThoseThatHadItUnlessAgain) {
  std::string traffic;
  const fs::path first = folder / "pierwsza.xls";
  ASSERT_EQ(Run({"--port", "{port}", "--result", first.string(), "--numbers", "600100200,600100201", "Promocja"},
                traffic)
                .status,
            0);
  // Another text is another campaign: nobody is skipped.
  const e2e::Result other =
      Run({"--port", "{port}", "--result", (folder / "inna.xls").string(), "--numbers", "600100200", "Inny tekst"},
          traffic);
  EXPECT_EQ(other.status, 0) << other.err;
  EXPECT_EQ(other.err.find("already had this text"), std::string::npos) << other.err;

  const e2e::Result again = Run(
      {"--port", "{port}", "--result", result.string(), "--numbers", "600100200,600100201,600100202", "Promocja"},
      traffic);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Count(again.err, "already had this text"), 1u) << again.err;
  EXPECT_NE(again.err.find("talvane-cli campaign: 2 of these numbers already had this text in campaign 1 ("),
            std::string::npos)
      << again.err;
  EXPECT_NE(again.err.find("): skipped (--again sends to them too)\n"), std::string::npos) << again.err;
  const std::vector<std::string> lines = e2e::Lines(again.out);
  ASSERT_EQ(lines.size(), 2u) << again.out;
  EXPECT_TRUE(lines[0].starts_with(R"({"number":"600100202","status":"sent")")) << lines[0];
  EXPECT_TRUE(lines[1].starts_with(R"({"sent":1,"failed":0,"not_sent":[],)")) << lines[1];
  EXPECT_TRUE(lines[1].ends_with(R"(,"campaign":3})")) << lines[1];
  EXPECT_EQ(Count(traffic, "RX AT+CMGS="), 1u);
  // The skipped rows show what the numbers have: the earlier campaign's green.
  EXPECT_EQ(ResultRows(result), (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen", "600100202\tgreen"}));
  const e2e::Result shown = e2e::RunCli({"campaigns", "show", "3"}, e2e::Streams::Separate);
  EXPECT_NE(shown.out.find(R"({"row":1,"number":"600100200","state":"skipped","parts":0,"refs":[],"modem":"",)"
                           R"("error":"ten tekst wysłano już w kampanii nr 1"})"),
            std::string::npos)
      << shown.out;

  const e2e::Result everybody = Run({"--port", "{port}", "--result", result.string(), "--again", "--numbers",
                                     "600100200,600100201,600100202", "Promocja"},
                                    traffic);
  EXPECT_EQ(everybody.status, 0) << everybody.err;
  EXPECT_EQ(everybody.err.find("already had this text"), std::string::npos) << everybody.err;
  EXPECT_TRUE(e2e::Lines(everybody.out)[3].starts_with(R"({"sent":3,"failed":0,"not_sent":[],)")) << everybody.out;
  EXPECT_EQ(Count(traffic, "RX AT+CMGS="), 3u);
}

TEST_F(CliCampaignResume, AResultWorkbookHeldOpenIsSaidOnceAndWrittenLaterFromTheJournal) {
  const fs::path lock = folder / ".~lock.wyniki_out.xls#";
  std::ofstream(lock) << "someone,somewhere;";
  std::string traffic;
  const e2e::Result run = Run(
      {"--port", "{port}", "--result", result.string(), "--numbers", "600100200,600100201,600100202", "Promocja"},
      traffic);
  // The campaign goes on: every number gets its message.
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Count(run.err, "Nie udało się zapisać pliku wynikowego " + result.string() + " - plik jest otwarty"), 1u)
      << run.err;
  EXPECT_NE(run.err.find("talvane-cli campaigns export 1"), std::string::npos) << run.err;
  // Only the list as the campaign began is there.
  EXPECT_EQ(ResultRows(result), (std::vector<std::string>{"600100200\tnone", "600100201\tnone", "600100202\tnone"}));

  fs::remove(lock);
  ASSERT_EQ(e2e::RunCli({"campaigns", "export", "1"}).status, 0);
  EXPECT_EQ(ResultRows(result), (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen", "600100202\tgreen"}));
}

}  // namespace
