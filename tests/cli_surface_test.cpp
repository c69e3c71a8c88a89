// The whole command-line surface of talvane-cli and talvane-modemsim, run as
// a user runs them: every command's help, and what each says when its file,
// its port or its numbers are wrong. Each case is one row: the words typed,
// the exit status and the first words of standard error (and, where it
// matters, of standard output).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/window/test_support.h"
#include "platform/test_folder.h"
#include "talvane_version.h"
#include "tests/cli_programs.h"
#include "tools/modemsim/not_a_modem.h"

namespace {

namespace fs = std::filesystem;
using e2e::Result;
using e2e::Streams;

// Every command of talvane-cli, as `talvane-cli --help` lists them, and the
// subcommands of `xls`.
const std::vector<std::string> kCommands = {"campaign", "campaigns", "campaigns show", "campaigns export",
                                            "connect",  "decode",    "import",         "listen",
                                            "parts",    "ports",     "probe",          "search",
                                            "sms"};
const std::vector<std::string> kXlsSubcommands = {"copy", "dump", "write-list"};

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The words in `args` with "{dir}", "{port}" and "{silent}" replaced.
struct Places {
  std::string dir;
  std::string port;    // talvane-modemsim
  std::string silent;  // a serial port where nothing answers
};

std::string Fill(std::string word, const Places& places) {
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"{dir}", places.dir},
                                    {"{port}", places.port},
                                    {"{silent}", places.silent}}) {
    for (size_t at = word.find(name); at != std::string::npos; at = word.find(name, at + value.size())) {
      word.replace(at, name.size(), value);
    }
  }
  return word;
}

TEST(CommandLineSurface, TheCommandListIsTheOneTheseTablesCover) {
  const Result help = e2e::RunCli({"--help"}, Streams::Separate);
  ASSERT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.err, "");
  std::vector<std::string> listed;
  for (const std::string& line : e2e::Lines(help.out)) {
    if (line.starts_with("  ") && line[2] != ' ') listed.push_back(Words(line).front());
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"campaign", "campaigns", "connect", "decode", "import", "listen", "parts", "ports",
                                              "probe", "search", "sms", "xls"}))
      << help.out;
  const Result xls = e2e::RunCli({"xls", "--help"}, Streams::Separate);
  ASSERT_EQ(xls.status, 0) << xls.err;
  std::vector<std::string> subcommands;
  for (const std::string& line : e2e::Lines(xls.out)) {
    if (line.starts_with("  talvane-cli xls ")) subcommands.push_back(Words(line)[2]);
  }
  std::sort(subcommands.begin(), subcommands.end());
  EXPECT_EQ(subcommands, kXlsSubcommands) << xls.out;
}

// Help on standard output with exit status 0; an unknown option is a usage
// error on standard error (exit status 2) naming the command, then its usage.
TEST(CommandLineSurface, EveryCommandHelpsAndRefusesAnUnknownOption) {
  std::vector<std::string> names = kCommands;
  for (const std::string& sub : kXlsSubcommands) names.push_back("xls " + sub);
  for (const std::string& name : names) {
    std::vector<std::string> help = Words(name);
    help.push_back("--help");
    const Result shown = e2e::RunCli(help, Streams::Separate);
    EXPECT_EQ(shown.status, 0) << name;
    EXPECT_EQ(shown.err, "") << name;
    EXPECT_TRUE(shown.out.starts_with("usage: talvane-cli " + name)) << shown.out;
    EXPECT_NE(shown.out.find("\n  --help  "), std::string::npos) << shown.out;

    std::vector<std::string> wrong = Words(name);
    wrong.push_back("--frobnicate");
    const Result refused = e2e::RunCli(wrong, Streams::Separate);
    EXPECT_EQ(refused.status, 2) << name;
    EXPECT_EQ(refused.out, "") << name;
    EXPECT_TRUE(refused.err.starts_with("talvane-cli " + name + ": unknown option '--frobnicate'\nusage: talvane-cli " +
                                        name))
        << refused.err;
  }
}

TEST(CommandLineSurface, EveryProgramHelpsAndNamesOneVersion) {
  for (const std::string& program : {e2e::kCli, e2e::kSimulator}) {
    const Result help = e2e::RunProgram({program, "--help"}, Streams::Separate);
    const std::string name = fs::path(program).filename();
    EXPECT_EQ(help.status, 0) << name;
    EXPECT_EQ(help.err, "") << name;
    EXPECT_TRUE(help.out.starts_with("usage: " + name + " ")) << help.out;
  }

  // The package's version, in the same words from every program.
  for (const std::string& program : {e2e::kCli, e2e::kSimulator}) {
    const Result version = e2e::RunProgram({program, "--version"}, Streams::Separate);
    EXPECT_EQ(version.status, 0) << program;
    EXPECT_EQ(version.out, "Talvane " TALVANE_VERSION "\n") << program;
    EXPECT_EQ(version.err, "") << program;
  }
  EXPECT_NE(std::string(TALVANE_VERSION).find_first_of("0123456789"), std::string::npos) << TALVANE_VERSION;
}

// The man pages as the build configures them for installing: each names the
// version in its title line and keeps no configure variable; talvane-cli's
// describes every command.
TEST(CommandLineSurface, ManPagesNameTheVersionAndEveryCommand) {
  for (const char* page : {"talvane", "talvane-cli", "talvane-modemsim"}) {
    const fs::path file = fs::path(TALVANE_BINARY_DIR) / "man" / (std::string(page) + ".1");
    std::ifstream in(file);
    ASSERT_TRUE(in) << file;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string title = text.substr(0, text.find('\n'));
    EXPECT_NE(title.find("\"Talvane " TALVANE_VERSION "\""), std::string::npos) << title;
    // A configure variable left as it was reads @NAME@ (a fault's "@prompt" is text).
    EXPECT_FALSE(std::regex_search(text, std::regex("@[A-Z_]+@"))) << page;
    if (std::string(page) != "talvane-cli") continue;
    const std::string commands = text.substr(text.find(".SH COMMANDS"));
    for (const std::string& command : kCommands) {
      const bool described = commands.find("\n.B " + command + "\n") != std::string::npos ||
                             commands.find("\n.BI \"" + command + " ") != std::string::npos;
      EXPECT_TRUE(described) << command;
    }
  }
}

#ifdef TALVANE_WINDOW_PROGRAM
// The window program answers its command line without a display.
TEST(CommandLineSurface, TheWindowProgramHelpsAndSaysWhyItCannotOpen) {
  const std::string window = TALVANE_WINDOW_PROGRAM;
  const Result help = e2e::RunProgram({window, "--help"}, Streams::Separate);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_TRUE(help.out.starts_with("usage: talvane [--help | --version]\n")) << help.out;

  const Result version = e2e::RunProgram({window, "--version"}, Streams::Separate);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Talvane " TALVANE_VERSION "\n");

  const Result wrong = e2e::RunProgram({window, "--frobnicate"}, Streams::Separate);
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.out, "");
  EXPECT_TRUE(wrong.err.starts_with("talvane: unknown option '--frobnicate'\nusage: talvane")) << wrong.err;

  const Result noDisplay = e2e::RunProgram(
      {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", window}, Streams::Separate);
  EXPECT_EQ(noDisplay.status, 1);
  EXPECT_TRUE(noDisplay.err.starts_with("talvane: no graphical display.")) << noDisplay.err;
}
#endif

struct Case {
  std::vector<std::string> args;  // after the program's name
  int status;
  std::string err;                     // the first words of standard error
  std::optional<std::string> out = "";  // the first words of standard output; nothing: not checked
  std::string program = e2e::kCli;
};

class CommandLineErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder / "plain-port") << "not a device\n";
    // Bytes of no known kind under a workbook's name (a text would be read as a list).
    std::string bytes;
    for (int i = 0; i < 1024; ++i) bytes += static_cast<char>(i % 256);
    std::ofstream(folder / "dane.xls", std::ios::binary) << bytes;
    places.dir = folder.Path().string();
    places.port = simulator.Port();
    ASSERT_FALSE(places.port.empty());
    ASSERT_TRUE(silent.Start());
    places.silent = silent.PortPath();
  }

  void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      std::vector<std::string> args = {c.program};
      for (const std::string& word : c.args) args.push_back(Fill(word, places));
      std::string typed;
      for (const std::string& word : args) typed += " '" + word + "'";
      const Result result = e2e::RunProgram(args, Streams::Separate);
      EXPECT_EQ(result.status, c.status) << typed << "\n" << result.err;
      EXPECT_TRUE(result.err.starts_with(Fill(c.err, places))) << typed << "\nstderr: " << result.err;
      if (c.out) {
        EXPECT_TRUE(result.out.starts_with(Fill(*c.out, places))) << typed << "\nstdout: " << result.out;
      }
    }
  }

  platform::TestFolder folder;
  // The campaign opens its journal before it looks at its port or file: in
  // the test's folder, never in the user's.
  app::testing::ScopedEnv programDir{"TALVANE_PROGRAM_DIR", (folder.Path() / "program").string()};
  e2e::SimulatorProcess simulator{{"--quiet"}};
  modemsim::NotAModem silent{modemsim::NotAModem::Kind::Silent};
  Places places;
};

TEST_F(CommandLineErrors, NoCommandOrAnUnknownOne) {
  Check({
      {{}, 2, "usage: talvane-cli <command>"},
      {{"frobnicate"}, 2, "talvane-cli: unknown command 'frobnicate'\nusage: talvane-cli <command>"},
      {{"xls"}, 2, "talvane-cli xls: SUBCOMMAND is required\nusage: talvane-cli xls SUBCOMMAND"},
      {{"xls", "frobnicate"}, 2, "talvane-cli xls: unknown subcommand 'frobnicate'\nusage: talvane-cli xls"},
      {{"decode"}, 2, "talvane-cli decode: PDU is required\nusage: talvane-cli decode PDU"},
      {{"xls", "dump"}, 2, "talvane-cli xls dump: FILE is required\nusage: talvane-cli xls dump FILE"},
      {{"--frobnicate"}, 2, "talvane-modemsim: unknown or incomplete option --frobnicate\nusage: talvane-modemsim",
       "", e2e::kSimulator},
      {{"--signal", "abc"}, 2, "talvane-modemsim: bad --signal\nusage: talvane-modemsim", "", e2e::kSimulator},
  });
}

TEST_F(CommandLineErrors, AFileMissingOrNotASpreadsheet) {
  std::vector<Case> cases;
  // The import says it in the words of the window's log; the workbook tools
  // in their JSON line and on standard error.
  for (const auto& [file, polish, english] :
       {std::tuple<std::string, std::string, std::string>{"{dir}/brak.xls", "plik nie istnieje", "no such file"},
        {"{dir}/dane.xls", "to nie jest arkusz kalkulacyjny ani lista tekstowa", "not a spreadsheet"}}) {
    const std::string notRead = "Nie można wczytać pliku " + file + ": " + polish + "\n";
    cases.insert(cases.end(), {
        {{"import", file}, 1, notRead, R"({"loaded":0,)"},
        {{"campaign", "--port", "{port}", file, "tekst"}, 1, "talvane-cli campaign: " + notRead},
        {{"xls", "dump", file}, 1, "talvane-cli xls dump: cannot read " + file + ": " + english + "\n",
         R"({"open": -3, "message": ")" + english + "\"}"},
        {{"xls", "copy", file, "{dir}/kopia.xls"}, 1,
         "talvane-cli xls copy: cannot read " + file + ": " + english + "\n", R"({"open": -3, "save": null,)"},
    });
  }
  cases.insert(cases.end(), {
      {{"xls", "write-list", "{dir}/brak/lista.xls", "600100200"}, 1,
       "talvane-cli xls write-list: cannot save {dir}/brak/lista.xls: no such folder\n", "-2\n"},
      {{"campaign", "--port", "{port}", "--text-file", "{dir}/brak.txt", "--numbers", "600100200"}, 2,
       "talvane-cli campaign: {dir}/brak.txt: no such file\nusage: talvane-cli campaign"},
      // A folder is no spreadsheet either.
      {{"xls", "dump", "{dir}"}, 1, "talvane-cli xls dump: cannot read {dir}: ", std::nullopt},
  });
  Check(cases);
  EXPECT_FALSE(std::filesystem::exists(folder / "kopia.xls"));
}

TEST_F(CommandLineErrors, APortMissingOrNotASerialPort) {
  const std::string missing = "/dev/talvane-no-such-port";
  std::vector<Case> cases;
  // Each command that talks to a modem, with a port that does not exist, a
  // plain file as its port, and no port at all.
  const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
      {"connect", {"--seconds", "600"}},
      {"listen", {}},
      {"sms", {"600100200", "tekst"}},
      {"campaign", {"--numbers", "600100200", "--result", "{dir}/wyniki.xls", "tekst"}},
  };
  for (const auto& [command, rest] : commands) {
    for (const auto& [port, reason] : {std::pair<std::string, std::string>{missing, "No such file or directory"},
                                       {"{dir}/plain-port", "not a serial port"}}) {
      std::vector<std::string> args = {command, "--port", port};
      args.insert(args.end(), rest.begin(), rest.end());
      cases.push_back({args, 1, "talvane-cli " + command + ": cannot open " + port + ": " + reason + "\n"});
    }
    std::vector<std::string> noPort = {command};
    noPort.insert(noPort.end(), rest.begin(), rest.end());
    cases.push_back({noPort, 2, "talvane-cli " + command + ": --port is required\nusage: talvane-cli " + command});
    cases.push_back({{command, "--port"}, 2, "talvane-cli " + command + ": option --port needs a value\n"});
  }
  cases.push_back({{"probe", missing}, 1, "talvane-cli probe: cannot open " + missing + ": No such file or directory\n"});
  cases.push_back({{"probe", "{dir}/plain-port"}, 1, "talvane-cli probe: cannot open {dir}/plain-port: not a serial port\n"});
  // A bare name is a device in /dev: the message names the device tried.
  cases.push_back({{"connect", "--port", "talvane-no-such-port"}, 1,
                   "talvane-cli connect: cannot open talvane-no-such-port (/dev/talvane-no-such-port): No such file or "
                   "directory\n"});
  // The search reports each port on standard output and its verdict on standard error.
  cases.push_back({{"search", "--ports", missing + ",{dir}/plain-port"}, 1,
                   "talvane-cli search: no modem answered on the ports given\n",
                   "50 " + missing + " -1\n100 {dir}/plain-port -1\n0 brak modemu 0\n"});
  cases.push_back({{"search", "--ports", ""}, 2, "talvane-cli search: --ports wants port names"});
  Check(cases);
  EXPECT_FALSE(std::filesystem::exists(folder / "wyniki.xls"));
}

// A port that opens but where no modem answers: each command says so and
// ends after the first attempt, not after its --seconds.
TEST_F(CommandLineErrors, APortWhereNoModemAnswers) {
  Check({
      {{"connect", "--port", "{silent}", "--seconds", "600"}, 1,
       "talvane-cli connect: no connection with a modem on {silent}\n", std::nullopt},
      // listen passes the component's own word on first.
      {{"listen", "--port", "{silent}", "--seconds", "600"}, 1, "talvane-cli listen: Modem CONNECT ERROR [{silent}]"},
      {{"sms", "--port", "{silent}", "600100200", "tekst"}, 1, "talvane-cli sms: no connection with a modem on {silent}\n",
       std::nullopt},
      {{"probe", "{silent}"}, 1, "talvane-cli probe: no modem answered on {silent}\n"},
  });
}

TEST_F(CommandLineErrors, BadNumbers) {
  std::vector<Case> cases;
  // The recipient typed on the command line is refused before any port is
  // touched ("{port}" stays unused: nothing is sent).
  for (const std::string command : {"sms", "parts"}) {
    std::vector<std::string> start = {command};
    if (command == "sms") start = {"sms", "--port", "{port}"};
    const std::string said = "talvane-cli " + command + ": ";
    for (const auto& [number, why] : std::vector<std::pair<std::string, std::string>>{
             {"60010020a", "'60010020a' is not a phone number: it holds characters that are not digits"},
             {"6001002", "'6001002' is not a phone number: a national number has 9 digits, this one 7"},
             {"", "'' is not a phone number: no number given"},
             {"+48 600 100 200 300 400", "'+48 600 100 200 300 400' is not a phone number: "}}) {
      std::vector<std::string> args = start;
      args.insert(args.end(), {number, "tekst"});
      cases.push_back({args, 2, said + why});
    }
  }
  const std::vector<std::string> campaign = {"campaign", "--port", "{port}", "--result", "{dir}/wyniki.xls",
                                             "--numbers"};
  for (const auto& [list, why] : std::vector<std::pair<std::string, std::string>>{
           {"6001002", "'6001002': a number has nine characters"},
           {"600100200,6001002", "'6001002': a number has nine characters"},
           {"", "--numbers lists no number"},
           {" , ", "--numbers lists no number"},
           {"600100200,,600100201", "--numbers has an empty place between two commas"}}) {
    std::vector<std::string> args = campaign;
    args.insert(args.end(), {list, "tekst"});
    cases.push_back({args, 2, "talvane-cli campaign: " + why});
  }
  // Numbers given to options.
  cases.insert(cases.end(), {
      {{"sms", "--port", "{port}", "--merge", "abc", "600100200", "tekst"}, 2,
       "talvane-cli sms: --merge wants a whole number up to 255, not 'abc'\n"},
      {{"sms", "--port", "{port}", "--timeout", "0", "600100200", "tekst"}, 2,
       "talvane-cli sms: --timeout wants a whole number, at least 1, not '0'\n"},
      {{"connect", "--port", "{port}", "--seconds", ""}, 2,
       "talvane-cli connect: --seconds wants a whole number, at least 1, not ''\n"},
      {{"listen", "--port", "{port}", "--seconds", "1x"}, 2,
       "talvane-cli listen: --seconds wants a whole number, at least 1, not '1x'\n"},
      {{"parts", "--ref", "256", "600100200", "tekst"}, 2,
       "talvane-cli parts: --ref wants a whole number from 0 to 255, not '256'\n"},
      {{"xls", "write-list", "{dir}/lista_out.xls", "600100200:red"}, 2,
       "talvane-cli xls write-list: '600100200:red': the colour after ':' must be a colour index"},
  });
  Check(cases);
  EXPECT_FALSE(std::filesystem::exists(folder / "wyniki.xls"));
  EXPECT_FALSE(std::filesystem::exists(folder / "lista_out.xls"));
}

TEST_F(CommandLineErrors, NothingToSendOrToRead) {
  Check({
      {{"parts", "600100200", " "}, 1, "talvane-cli parts: Brak wiadomości do wysłania!\n", "ref=0\n"},
      // The modem component refuses it in its own words, signed by the command.
      {{"sms", "--port", "{port}", "600100200", " "}, 1, "talvane-cli sms: Brak wiadomości do wysłania!\n",
       std::nullopt},
      {{"campaign", "--port", "{port}", "--numbers", "600100200", "--result", "{dir}/wyniki.xls", " "}, 2,
       "talvane-cli campaign: the message text is empty\n"},
      {{"decode", "zz"}, 1, "talvane-cli decode: the PDU cannot be read: PDU ERROR (SMSCLen): zz\n", std::nullopt},
      {{"decode", "00"}, 1, "talvane-cli decode: the PDU cannot be read: ", std::nullopt},
  });
}

// A working folder that was removed meanwhile: the result workbook cannot
// be placed, and the command says so instead of aborting.
TEST_F(CommandLineErrors, AWorkingFolderThatIsGone) {
  const fs::path gone = folder / "gone";
  fs::create_directory(gone);
  const Result result = e2e::RunProgram(
      {"sh", "-c", "cd \"$1\" && rmdir \"$1\" && exec \"$0\" campaign --port \"$2\" --numbers 600100200 --result "
       "wyniki.xls tekst",
       e2e::kCli, gone.string(), places.port},
      Streams::Separate);
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_TRUE(result.err.starts_with("talvane-cli campaign: cannot place the result workbook wyniki.xls: "))
      << result.err;
}

}  // namespace
