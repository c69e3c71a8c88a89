// `talvane-cli campaign` as a user runs it against talvane-modemsim: the
// JSON lines, the exit status, the result workbook read by python3-xlrd, and
// a campaign cut short by Ctrl-C or killed outright.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/window/window_test_fixture.h"
#include "platform/test_folder.h"
#include "tests/cli_programs.h"

namespace {

namespace fs = std::filesystem;
using app::testing::ResultRows;

using e2e::ReadFile;

class CliCampaign : public ::testing::Test {
 protected:
  std::vector<std::string> Args(const std::string& numbers, const std::string& text = "Zażółć gęślą jaźń") {
    return {e2e::kCli, "campaign", "--port", simulator.Port(), "--result", result.string(), "--numbers", numbers, text};
  }

  platform::TestFolder folder;
  // The copies an import keeps of the files it marks go to the test folder.
  app::testing::ScopedEnv programDir{"TALVANE_PROGRAM_DIR", (folder / "program").string()};
  // The network takes a second per message, so that a campaign can be cut
  // short in the middle.
  e2e::SimulatorProcess simulator{{"--quiet", "--reference", "12", "--fault", "delay:1000", "AT+CMGS"}};
  fs::path result = folder / "wyniki_out.xls";
  fs::path err = folder / "err.txt";
};

TEST_F(CliCampaign, SendsToEveryNumberAndRefusesANumberWithLetters) {
  e2e::BackgroundProgram cli(Args("600100200, 60010020a ,600100201"), err);
  std::vector<std::string> lines;
  for (std::string line = cli.ReadLine(); !line.empty(); line = cli.ReadLine()) lines.push_back(line);
  EXPECT_EQ(cli.Wait(), 1) << ReadFile(err);
  ASSERT_EQ(lines.size(), 4u) << ReadFile(err);
  // Messages complete in the order the network answers: compare as sets.
  std::vector<std::string> messages(lines.begin(), lines.begin() + 3);
  std::sort(messages.begin(), messages.end());
  EXPECT_EQ(messages, (std::vector<std::string>{
                          R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[12]})",
                          R"({"number":"600100201","status":"sent","parts":1,"failed_parts":0,"refs":[13]})",
                          R"({"number":"60010020a","status":"failed","parts":0,"failed_parts":0,"refs":[]})"}));
  EXPECT_TRUE(lines[3].starts_with(R"({"sent":2,"failed":1,"not_sent":[],"result_file":")" + result.string() +
                                   R"(","seconds":)"))
      << lines[3];
  // The first campaign of a new journal.
  EXPECT_TRUE(lines[3].ends_with(R"(,"campaign":1})")) << lines[3];
  EXPECT_NE(ReadFile(err).find("BŁĄD! nie udało się wysłać wiadomości do: +4860010020a"), std::string::npos);
  std::vector<std::string> rows = ResultRows(result);
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen", "60010020a\tred"}));
}

TEST_F(CliCampaign, NumbersFromASheetAreImportedAsTheWindowImportsThem) {
  const fs::path sheet = folder / "klienci.xls";
  ASSERT_EQ(e2e::RunProgram({e2e::kCli, "xls", "write-list", sheet.string(), "600100200", "48600100201", "12345"})
                .status,
            0);
  e2e::BackgroundProgram cli({e2e::kCli, "campaign", "--port", simulator.Port(), sheet.string(), "Dzień dobry"}, err);
  std::vector<std::string> lines;
  for (std::string line = cli.ReadLine(); !line.empty(); line = cli.ReadLine()) lines.push_back(line);
  EXPECT_EQ(cli.Wait(), 0) << ReadFile(err);
  ASSERT_EQ(lines.size(), 3u) << ReadFile(err);
  EXPECT_TRUE(lines[2].starts_with(R"({"sent":2,"failed":0,"not_sent":[],"result_file":")" +
                                   (folder / "klienci_out.xls").string()))
      << lines[2];
  EXPECT_EQ(ResultRows(folder / "klienci_out.xls"),
            (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen"}));
  // The sheet itself is marked: the corrected number orange, the short one red.
  EXPECT_EQ(ResultRows(sheet), (std::vector<std::string>{"600100200\tnone", "48600100201\torange", "12345\tred"}));
}

TEST_F(CliCampaign, CtrlCStopsKeepsTheResultsAndExitsWith130) {
  e2e::BackgroundProgram cli(Args("600100200,600100201,600100202,600100203"), err);
  const std::string first = cli.ReadLine();
  ASSERT_EQ(first, R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[12]})")
      << ReadFile(err);
  cli.Signal(SIGINT);
  const std::string closing = cli.ReadLine();
  EXPECT_EQ(cli.Wait(), 130) << ReadFile(err);
  // The message being sent when Ctrl-C came may have been reported meanwhile.
  EXPECT_TRUE(closing.find(R"("not_sent":["600100201","600100202","600100203"])") != std::string::npos ||
              closing.find(R"("not_sent":["600100202","600100203"])") != std::string::npos ||
              closing.starts_with(R"({"number":"600100201")"))
      << closing;
  const std::vector<std::string> rows = ResultRows(result);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "600100200\tgreen");
  EXPECT_EQ(rows[3], "600100203\tnone");
}

TEST_F(CliCampaign, KilledInTheMiddleLeavesAReadableWorkbookWithEveryReportedMessage) {
  e2e::BackgroundProgram cli(Args("600100200,600100201,600100202"), err);
  ASSERT_EQ(cli.ReadLine(), R"({"number":"600100200","status":"sent","parts":1,"failed_parts":0,"refs":[12]})")
      << ReadFile(err);
  cli.Signal(SIGKILL);
  EXPECT_EQ(cli.Wait(), -1);
  const std::vector<std::string> rows = ResultRows(result);
  ASSERT_EQ(rows.size(), 3u) << (rows.empty() ? "" : rows[0]);
  EXPECT_EQ(rows[0], "600100200\tgreen");
  // Rows of messages not reported keep the numbers as the import left them.
  EXPECT_EQ(rows[2], "600100202\tnone");
  std::string notSent;
  for (const std::string& row : rows) {
    if (!row.ends_with("\tgreen")) notSent += (notSent.empty() ? "\"" : ",\"") + row.substr(0, 9) + "\"";
  }

  // Importing the result workbook offers exactly the numbers not yet sent.
  const e2e::Result import = e2e::RunProgram({e2e::kCli, "import", result.string()});
  ASSERT_EQ(import.status, 0) << import.out;
  EXPECT_NE(import.out.find("\"numbers\":[" + notSent + "]"), std::string::npos) << notSent << "\n" << import.out;
}

TEST_F(CliCampaign, BadArgumentsSendNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"campaign", "--numbers", "600100200", "tekst"}, "--port is required"},
      {{"campaign", "--port", simulator.Port(), "--numbers", "60010020", "tekst"}, "nine characters"},
      {{"campaign", "--port", simulator.Port(), "--numbers", "600100200"}, "TEXT (or --text-file) expected"},
      {{"campaign", "--port", simulator.Port(), "--text-file", (folder / "missing.txt").string(), "--numbers",
        "600100200"},
       "missing.txt"},
      {{"campaign", "--port", simulator.Port(), "--numbers", "600100200", "--frobnicate", "tekst"}, "unknown option"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> command = {e2e::kCli};
    command.insert(command.end(), c.args.begin(), c.args.end());
    const e2e::Result run = e2e::RunProgram(command);
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_NE(run.out.find(c.error), std::string::npos) << run.out;
  }
  EXPECT_FALSE(fs::exists(result));
}

TEST_F(CliCampaign, TheJournalListsShowsAndExportsWhatTheCampaignSent) {
  const std::string text(200, 'x');  // two parts a message
  const e2e::Result run = e2e::RunProgram(Args("600100200,60010020a,600100201", text), e2e::Streams::Separate);
  ASSERT_EQ(run.status, 1) << run.err;
  ASSERT_TRUE(run.out.ends_with(",\"campaign\":1}\n")) << run.out;
  const std::vector<std::string> campaignRows = ResultRows(result);

  const e2e::Result listed = e2e::RunCli({"campaigns"}, e2e::Streams::Separate);
  ASSERT_EQ(listed.status, 0) << listed.err;
  const std::vector<std::string> campaigns = e2e::Lines(listed.out);
  ASSERT_EQ(campaigns.size(), 1u) << listed.out;
  EXPECT_TRUE(campaigns[0].starts_with(R"({"id":1,"created":")")) << campaigns[0];
  EXPECT_TRUE(campaigns[0].ends_with(R"(","text":")" + text +
                                     R"(","total":3,"sent":2,"failed":0,"uncertain":0,"left":0,"state":"finished"})"))
      << campaigns[0];

  const e2e::Result shown = e2e::RunCli({"campaigns", "show", "1"}, e2e::Streams::Separate);
  ASSERT_EQ(shown.status, 0) << shown.err;
  // The journal knows the modem by its identity: the simulated modem's IMEI/IMSI.
  const std::string modem = R"(,"modem":"351234567890125/260011234567890","error":""})";
  EXPECT_EQ(e2e::Lines(shown.out),
            (std::vector<std::string>{
                R"({"row":1,"number":"600100200","state":"sent","parts":2,"refs":[12,13])" + modem,
                R"({"row":2,"number":"600100201","state":"sent","parts":2,"refs":[14,15])" + modem,
                R"({"row":3,"number":"60010020a","state":"skipped","parts":0,"refs":[],"modem":"",)"
                R"("error":"numer telefonu może zawierać tylko cyfry"})"}));

  // Written again from the journal, the workbook is the campaign's own; by
  // default over it, where the journal says the campaign wrote it.
  const fs::path exported = folder / "z_dziennika.xls";
  const e2e::Result written = e2e::RunCli({"campaigns", "export", "1", "--result", exported.string()});
  ASSERT_EQ(written.status, 0) << written.out;
  EXPECT_EQ(ResultRows(exported), campaignRows);
  EXPECT_EQ(campaignRows, (std::vector<std::string>{"600100200\tgreen", "600100201\tgreen", "60010020a\tred"}));
  fs::remove(result);
  ASSERT_EQ(e2e::RunCli({"campaigns", "export", "1"}).status, 0);
  EXPECT_EQ(ResultRows(result), campaignRows);

  const e2e::Result unknown = e2e::RunCli({"campaigns", "show", "7"}, e2e::Streams::Separate);
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.out, "");
  EXPECT_TRUE(unknown.err.starts_with("talvane-cli campaigns show: ")) << unknown.err;
}

TEST_F(CliCampaign, ADamagedJournalStopsTheCampaignBeforeAnythingIsSentAndIsLeftAsItWas) {
  const fs::path log = folder / "modem.log";
  e2e::SimulatorProcess watched({"--reference", "12"}, log.string());
  const fs::path journal = folder / "program" / "journal.sqlite";
  fs::create_directories(journal.parent_path());
  const std::string damaged(4096, 'x');
  std::ofstream(journal) << damaged;

  const e2e::Result run = e2e::RunProgram({e2e::kCli, "campaign", "--port", watched.Port(), "--result",
                                           result.string(), "--numbers", "600100200", "Tekst"});
  watched.Stop();
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("talvane-cli campaign: "), std::string::npos) << run.out;
  EXPECT_EQ(ReadFile(log).find("AT+CMGS"), std::string::npos);
  EXPECT_FALSE(fs::exists(result));
  EXPECT_EQ(ReadFile(journal), damaged);
}

TEST_F(CliCampaign, AnEmptyTextSendsNothing) {
  std::ofstream(folder / "text.txt") << " \n ";
  const e2e::Result run = e2e::RunProgram({e2e::kCli, "campaign", "--port", simulator.Port(), "--result",
                                           result.string(), "--text-file", (folder / "text.txt").string(),
                                           "--numbers", "600100200"});
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_NE(run.out.find("the message text is empty"), std::string::npos) << run.out;
}

}  // namespace
