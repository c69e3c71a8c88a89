#include "app/cli/options.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace cli {
namespace {

// What a command of every kind of argument read, and what it printed.
struct Outcome {
  std::optional<int> status;
  std::string out;
  std::string err;
  std::string port;
  bool flash = false;
  int seconds = 10;
  std::optional<int> merge;
  std::vector<std::string> commands;
  std::string number;
  std::string text;
  std::vector<std::string> rest;
};

Outcome Parse(const std::vector<std::string>& args, bool withRest = false) {
  Outcome o;
  std::ostringstream out, err;
  std::streambuf* const oldOut = std::cout.rdbuf(out.rdbuf());
  std::streambuf* const oldErr = std::cerr.rdbuf(err.rdbuf());
  OptionParser parser("try --port PORT [--flash] [--seconds N] [--merge N] [--at COMMAND]... NUMBER TEXT",
                      "Tries the parser.");
  parser.Text("--port PORT", o.port, "the port", Presence::Required);
  parser.Flag("--flash", o.flash, "a flag");
  parser.Number("--seconds N", o.seconds, {.min = 1}, "at least one");
  parser.Number("--merge N", o.merge, {.min = 0, .max = 255}, "a byte");
  parser.Repeated("--at COMMAND", o.commands, "a command");
  parser.Positional("NUMBER", o.number, "a number");
  parser.Positional("TEXT", o.text, "a text");
  if (withRest) parser.Rest("MORE", o.rest, "the rest");
  o.status = parser.Parse(args);
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  o.out = out.str();
  o.err = err.str();
  return o;
}

TEST(OptionParser, ReadsEveryKindOfArgument) {
  const Outcome o = Parse({"600", "--port", "/dev/ttyS0", "--at", "AT+CSQ", "--flash", "--seconds=20", "--at=ATI",
                         "--merge", "255", "Hello"});
  EXPECT_EQ(o.status, std::nullopt) << o.err;
  EXPECT_EQ(o.out + o.err, "");
  EXPECT_EQ(o.port, "/dev/ttyS0");
  EXPECT_TRUE(o.flash);
  EXPECT_EQ(o.seconds, 20);
  EXPECT_EQ(o.merge, 255);
  EXPECT_EQ(o.commands, (std::vector<std::string>{"AT+CSQ", "ATI"}));
  EXPECT_EQ(o.number, "600");
  EXPECT_EQ(o.text, "Hello");
}

TEST(OptionParser, UnsetOptionsKeepTheirDefaults) {
  const Outcome o = Parse({"--port", "p", "600", "Hello"});
  EXPECT_EQ(o.status, std::nullopt) << o.err;
  EXPECT_FALSE(o.flash);
  EXPECT_EQ(o.seconds, 10);
  EXPECT_EQ(o.merge, std::nullopt);
  EXPECT_TRUE(o.commands.empty());
}

TEST(OptionParser, ValuesMayLookLikeOptionsOrNegativeNumbers) {
  // A value is the next word whatever it is; a word after "--" or with one
  // dash is a positional argument.
  const Outcome o = Parse({"--port", "--flash", "-600", "--", "--seconds"});
  EXPECT_EQ(o.status, std::nullopt) << o.err;
  EXPECT_EQ(o.port, "--flash");
  EXPECT_FALSE(o.flash);
  EXPECT_EQ(o.number, "-600");
  EXPECT_EQ(o.text, "--seconds");
}

TEST(OptionParser, UsageErrorsGoToStderrWithExitStatus2) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"600", "Hello"}, "--port is required"},
      {{"--port"}, "option --port needs a value"},
      {{"--port", "p", "--speed", "9600", "600", "x"}, "unknown option '--speed'"},
      {{"--port", "p", "--speed=9600", "600", "x"}, "unknown option '--speed'"},
      {{"--port", "p", "--flash=yes", "600", "x"}, "--flash takes no value"},
      {{"--port", "p", "--seconds", "0", "600", "x"}, "--seconds wants a whole number, at least 1, not '0'"},
      {{"--port", "p", "--seconds", "ten", "600", "x"}, "--seconds wants a whole number, at least 1, not 'ten'"},
      {{"--port", "p", "--merge", "256", "600", "x"}, "--merge wants a whole number from 0 to 255, not '256'"},
      {{"--port", "p", "--merge", "99999999999", "600", "x"},
       "--merge wants a whole number from 0 to 255, not '99999999999'"},
      {{"--port", "p"}, "NUMBER and TEXT are required"},
      {{"--port", "p", "600"}, "TEXT is required"},
      {{"--port", "p", "600", "x", "y"}, "unexpected argument 'y'"},
  };
  for (const auto& c : cases) {
    const Outcome o = Parse(c.args);
    EXPECT_EQ(o.status, 2) << c.message;
    EXPECT_EQ(o.out, "") << c.message;
    EXPECT_EQ(o.err, "talvane-cli try: " + c.message +
                         "\nusage: talvane-cli try --port PORT [--flash] [--seconds N] [--merge N] [--at COMMAND]... "
                         "NUMBER TEXT\n");
  }
}

TEST(OptionParser, HelpGoesToStdoutWithExitStatus0) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"-h"}, {"--seconds", "0", "--help"}}) {
    const Outcome o = Parse(args);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out,
              "usage: talvane-cli try --port PORT [--flash] [--seconds N] [--merge N] [--at COMMAND]... NUMBER TEXT\n"
              "Tries the parser.\n"
              "  NUMBER        a number\n"
              "  TEXT          a text\n"
              "  --port PORT   the port (required)\n"
              "  --flash       a flag\n"
              "  --seconds N   at least one\n"
              "  --merge N     a byte\n"
              "  --at COMMAND  a command (may be repeated)\n"
              "  --help        this help\n");
  }
}

TEST(OptionParser, RestTakesThePositionalArgumentsLeft) {
  const Outcome three = Parse({"--port", "p", "600", "x", "y", "--flash", "z"}, true);
  EXPECT_EQ(three.status, std::nullopt) << three.err;
  EXPECT_EQ(three.rest, (std::vector<std::string>{"y", "z"}));
  EXPECT_TRUE(three.flash);
  const Outcome none = Parse({"--port", "p", "600", "x"}, true);
  EXPECT_EQ(none.status, std::nullopt) << none.err;
  EXPECT_TRUE(none.rest.empty());
}

}  // namespace
}  // namespace cli
