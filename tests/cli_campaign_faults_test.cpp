// `talvane-cli campaign` where a campaign goes wrong: two modems answering
// at different speeds and a program killed in the middle, Ctrl-C in the
// middle of a message, a modem gone for good, and Polish letters kept. The
// result workbook is read by python3-xlrd, the simulators' logs tell what
// the network accepted.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include "app/window/test_support.h"
#include "app/window/window_test_fixture.h"
#include "platform/registry.h"
#include "platform/test_folder.h"
#include "tests/cli_programs.h"
#include "tests/json_fields.h"

namespace {

namespace fs = std::filesystem;
using app::testing::ResultRows;
using e2e::JsonField;
using e2e::ReadFile;

// The quoted numbers of the closing line's "not_sent":[...].
std::vector<std::string> NotSent(const std::string& closing) {
  std::vector<std::string> numbers;
  const size_t start = closing.find("\"not_sent\":[");
  if (start == std::string::npos) return numbers;
  const size_t end = closing.find(']', start);
  for (size_t at = closing.find('"', start + 11); at < end; at = closing.find('"', at + 1)) {
    const size_t close = closing.find('"', at + 1);
    numbers.push_back(closing.substr(at + 1, close - at - 1));
    at = close;
  }
  return numbers;
}

// Lines of `text` that begin with `prefix`.
int CountLines(const std::string& text, const std::string& prefix) {
  int count = 0;
  for (const std::string& line : e2e::Lines(text)) count += line.starts_with(prefix) ? 1 : 0;
  return count;
}

// The national numbers "6001002NN" of the list.
std::vector<std::string> Numbers(int count) {
  std::vector<std::string> numbers;
  for (int i = 0; i < count; ++i) numbers.push_back("6001002" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  return numbers;
}

std::string Joined(const std::vector<std::string>& numbers) {
  std::string list;
  for (const std::string& number : numbers) list += (list.empty() ? "" : ",") + number;
  return list;
}

// The national number a submitted PDU is addressed to ("+48" and nine
// digits, semi-octets swapped, after the SMSC octet, first octet and reference).
std::string PduNumber(const std::string& pdu) {
  const std::string address = pdu.substr(10, 12);  // 91 is at 8..9 for an international number
  std::string digits;
  for (size_t i = 0; i + 1 < address.size(); i += 2) {
    digits += address[i + 1];
    if (address[i] != 'F') digits += address[i];
  }
  return digits.substr(2);  // without the country code 48
}

// The national numbers of the PDUs a simulator's traffic log received.
std::multiset<std::string> Submitted(const fs::path& log) {
  std::multiset<std::string> numbers;
  for (const std::string& line : e2e::Lines(ReadFile(log))) {
    if (line.starts_with("modemsim: PDU ")) numbers.insert(PduNumber(line.substr(14)));
  }
  return numbers;
}

class CliCampaignFaults : public ::testing::Test {
 protected:
  platform::TestFolder folder;
  // The campaigns' journal and copies in the test's folder, never in the user's.
  app::testing::ScopedEnv programDir{"TALVANE_PROGRAM_DIR", (folder / "program").string()};
  fs::path result = folder / "wyniki_out.xls";
  fs::path err = folder / "err.txt";
};

TEST_F(CliCampaignFaults, TwoModemsAtDifferentSpeedsKilledInTheMiddleLeaveEveryNumberInItsOwnRow) {
  const fs::path fastLog = folder / "fast.log";
  const fs::path slowLog = folder / "slow.log";
  e2e::SimulatorProcess fast({"--reference", "10", "--fault", "delay:300", "AT+CMGS"}, fastLog.string());
  e2e::SimulatorProcess slow({"--reference", "100", "--fault", "delay:2500", "AT+CMGS"}, slowLog.string());
  const std::vector<std::string> numbers = Numbers(10);
  e2e::BackgroundProgram cli({e2e::kCli, "campaign", "--port", fast.Port() + "," + slow.Port(), "--result",
                              result.string(), "--numbers", Joined(numbers), "Tekst"},
                             err.string());
  std::vector<std::string> reported;
  while (reported.size() < 5) {
    const std::string line = cli.ReadLine();
    ASSERT_FALSE(line.empty()) << ReadFile(err);
    ASSERT_EQ(JsonField(line, "status"), "sent") << line;
    reported.push_back(JsonField(line, "number"));
  }
  cli.Signal(SIGKILL);
  EXPECT_EQ(cli.Wait(), -1);
  fast.Stop();
  slow.Stop();

  // The fast modem overtook the slow one: a message completed before one
  // ahead of it in the list.
  std::vector<std::string> firstInList(numbers.begin(), numbers.begin() + static_cast<long>(reported.size()));
  std::vector<std::string> completed = reported;
  std::sort(completed.begin(), completed.end());
  EXPECT_NE(completed, firstInList) << ReadFile(err);
  const std::multiset<std::string> fastSent = Submitted(fastLog);
  const std::multiset<std::string> slowSent = Submitted(slowLog);
  EXPECT_FALSE(fastSent.empty());
  EXPECT_FALSE(slowSent.empty());

  // Every row holds its own number, none twice, none missing; green exactly
  // the messages reported, all of them accepted by one of the modems.
  const std::vector<std::string> rows = ResultRows(result);
  ASSERT_EQ(rows.size(), numbers.size()) << ::testing::PrintToString(rows);
  std::vector<std::string> uncoloured;
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i]);
    EXPECT_EQ(rows[i].substr(0, 9), numbers[i]);
    const bool wasReported = std::find(reported.begin(), reported.end(), numbers[i]) != reported.end();
    EXPECT_EQ(rows[i].substr(10), wasReported ? "green" : "none");
    if (wasReported) {
      EXPECT_EQ(fastSent.count(numbers[i]) + slowSent.count(numbers[i]), 1u);
    } else {
      uncoloured.push_back(numbers[i]);
    }
  }
  // The uncoloured rows are the numbers not yet sent: none of them reached a
  // modem but the messages the kill caught on their way, at most the one a
  // modem was answering and the one it took up while its last answer was
  // on the way to the campaign.
  for (const auto* sent : {&fastSent, &slowSent}) {
    int acceptedUnreported = 0;
    for (const std::string& number : uncoloured) acceptedUnreported += static_cast<int>(sent->count(number));
    EXPECT_LE(acceptedUnreported, 2);
  }
  EXPECT_EQ(uncoloured.size() + reported.size(), numbers.size());
}

TEST_F(CliCampaignFaults, CtrlCLetsTheMessageInHandFinishAndEveryCountAgrees) {
  struct Case {
    const char* name;
    std::string text;
    int parts;
  };
  const Case cases[] = {
      {"one part", "Tekst", 1},
      {"three parts", std::string(400, 'x'), 3},
  };
  const std::vector<std::string> numbers = Numbers(6);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(result);
    e2e::SimulatorProcess simulator({"--quiet", "--reference", "12", "--fault", "delay:700", "AT+CMGS"});
    e2e::BackgroundProgram cli({e2e::kCli, "campaign", "--port", simulator.Port(), "--result", result.string(),
                                "--numbers", Joined(numbers), c.text},
                               err.string());
    std::vector<std::string> lines = {cli.ReadLine()};
    ASSERT_EQ(JsonField(lines[0], "status"), "sent") << lines[0] << ReadFile(err);
    cli.Signal(SIGINT);  // the next message is in hand by now
    for (std::string line = cli.ReadLine(); !line.empty(); line = cli.ReadLine()) lines.push_back(line);
    EXPECT_EQ(cli.Wait(), 130) << ReadFile(err);
    ASSERT_GE(lines.size(), 2u);
    const std::string closing = lines.back();
    lines.pop_back();

    std::set<std::string> sent;
    for (const std::string& line : lines) {
      EXPECT_EQ(JsonField(line, "status"), "sent") << line;
      EXPECT_EQ(JsonField(line, "parts"), std::to_string(c.parts)) << line;
      sent.insert(JsonField(line, "number"));
    }
    EXPECT_EQ(JsonField(closing, "sent"), std::to_string(lines.size())) << closing;
    EXPECT_EQ(JsonField(closing, "failed"), "0") << closing;
    const std::vector<std::string> notSent = NotSent(closing);
    EXPECT_EQ(sent.size() + notSent.size(), numbers.size()) << closing;
    for (const std::string& number : notSent) EXPECT_EQ(sent.count(number), 0u) << number;

    const std::string log = ReadFile(err);
    EXPECT_EQ(log.find("wysyłka zatrzymana"), std::string::npos) << log;
    const std::string progress = "sent " + std::to_string(lines.size()) + " of " + std::to_string(numbers.size());
    EXPECT_NE(e2e::FindLine(log, progress), std::string::npos) << log;
    EXPECT_EQ(CountLines(log, "sent "), static_cast<int>(lines.size()) + 1) << log;  // the start's "sent 0 of"

    const std::vector<std::string> rows = ResultRows(result);
    ASSERT_EQ(rows.size(), numbers.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i], numbers[i] + (sent.count(numbers[i]) ? "\tgreen" : "\tnone"));
    }
  }
}

TEST_F(CliCampaignFaults, AModemGoneForGoodStopsTheCampaignAfterTheSetTime) {
  const fs::path config = folder / "config";
  platform::Registry registry(config / "talvane" / "registry.reg");
  ASSERT_EQ(registry.WriteString("software\\Talvane\\GSM", "NoModemTimeout", "3"), platform::RegistryStatus::Ok);
  e2e::SimulatorProcess simulator({"--quiet", "--reference", "12", "--fault", "delay:500", "AT+CMGS"});
  const std::vector<std::string> numbers = Numbers(5);
  e2e::BackgroundProgram cli({"env", "XDG_CONFIG_HOME=" + config.string(), e2e::kCli, "campaign", "--port",
                              simulator.Port(), "--result", result.string(), "--numbers", Joined(numbers), "Tekst"},
                             err.string());
  const std::string first = cli.ReadLine();
  ASSERT_EQ(JsonField(first, "status"), "sent") << first << ReadFile(err);
  simulator.Stop();  // the modem vanishes

  std::string closing;
  for (std::string line = cli.ReadLine(std::chrono::seconds(60)); !line.empty();
       line = cli.ReadLine(std::chrono::seconds(60))) {
    closing = line;
  }
  ASSERT_TRUE(closing.starts_with("{\"sent\":")) << closing << ReadFile(err);
  EXPECT_EQ(cli.Wait(), 1);
  const std::string log = ReadFile(err);
  EXPECT_NE(log.find("Wysyłka przerwana: brak połączenia z modemem GSM od 3 s"), std::string::npos) << log;
  EXPECT_FALSE(NotSent(closing).empty()) << closing;
}

TEST_F(CliCampaignFaults, PolishLettersGoOutInUcs2OnlyWhenAsked) {
  const std::string polish = "Zażółć";
  const std::string ucs2 = "005A0061017C00F301420107";  // Z a ż ó ł ć
  for (const bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "--polish" : "plain");
    const fs::path log = folder / (keep ? "polish.log" : "plain.log");
    {
      e2e::SimulatorProcess simulator({}, log.string());
      std::vector<std::string> args = {e2e::kCli, "campaign", "--port", simulator.Port(), "--result",
                                       result.string(), "--numbers", "600100200", polish};
      if (keep) args.insert(args.begin() + 2, "--polish");
      // The same text to the same number: the second campaign must not skip it.
      args.insert(args.begin() + 2, "--again");
      const e2e::Result run = e2e::RunProgram(args, e2e::Streams::Separate);
      EXPECT_EQ(run.status, 0) << run.err;
    }
    const std::string traffic = ReadFile(log);
    EXPECT_EQ(traffic.find(ucs2) != std::string::npos, keep) << traffic;
    EXPECT_EQ(CountLines(traffic, "modemsim: PDU "), 1) << traffic;
  }
  const e2e::Result help = e2e::RunCli({"campaign", "--help"});
  EXPECT_NE(help.out.find("--polish"), std::string::npos) << help.out;
}

}  // namespace
