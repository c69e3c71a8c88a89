#pragma once
// The command line of one talvane-cli command: flags, options with a value
// (once, or repeated), and positional arguments. A command declares what it
// takes, each bound to a variable of its own, then parses:
//
//   cli::OptionParser parser("sms --port PORT [--flash] NUMBER TEXT", "Sends one text.");
//   parser.Text("--port PORT", options.port, "the modem's serial port", cli::Presence::Required);
//   parser.Flag("--flash", options.flash, "shown at once, not stored");
//   parser.Positional("NUMBER", options.number, "the recipient");
//   parser.Positional("TEXT", options.text, "the message");
//   if (const std::optional<int> status = parser.Parse(args)) return *status;
//
// `--help` prints the usage and every declared argument on stdout (exit 0); a
// usage error prints what is wrong and the usage on stderr (exit 2). Values
// are given as "--port /dev/ttyS0" or "--port=/dev/ttyS0"; "--" ends the
// options, so a TEXT may begin with "--". Not thread-safe; used on the
// command's own thread only.

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cli {

enum class Presence { Optional, Required };

// The whole numbers an option accepts.
struct Bounds {
  int min = INT_MIN;
  int max = INT_MAX;
};

class OptionParser {
 public:
  // `usage` is the command's usage line; its leading lowercase words are the
  // command's name ("xls dump" of "xls dump FILE"), used in error lines.
  OptionParser(std::string_view usage, std::string_view summary);

  // The name of an option taking a value carries its placeholder for the
  // help text after a space: "--port PORT".
  void Flag(std::string_view name, bool& target, std::string_view help);
  void Text(std::string_view name, std::string& target, std::string_view help,
            Presence presence = Presence::Optional);
  // A text that may be left out, told apart from an empty one.
  void Text(std::string_view name, std::optional<std::string>& target, std::string_view help);
  void Number(std::string_view name, int& target, Bounds bounds, std::string_view help);
  void Number(std::string_view name, std::optional<int>& target, Bounds bounds, std::string_view help);
  // Every occurrence, in the order given.
  void Repeated(std::string_view name, std::vector<std::string>& target, std::string_view help);
  // Required positional arguments, in the order declared.
  void Positional(std::string_view name, std::string& target, std::string_view help);
  // The positional arguments after the declared ones (none or more); without
  // this, an extra positional argument is a usage error.
  void Rest(std::string_view name, std::vector<std::string>& target, std::string_view help);

  // Reads `args` (the words after the command's name) into the targets.
  // Returns the exit status when the command should end here, after --help
  // or a usage error; nothing when the command goes on.
  std::optional<int> Parse(const std::vector<std::string>& args);

  // The usage error of a check the command makes itself after Parse (two
  // options that exclude each other, say): the message and the usage on
  // stderr. Returns 2, the exit status of a usage error.
  int UsageError(std::string_view message) const;

 private:
  using Target = std::variant<bool*, std::string*, std::optional<std::string>*, int*, std::optional<int>*,
                              std::vector<std::string>*>;
  struct Option {
    std::string name;         // "--port"
    std::string placeholder;  // "PORT"; empty for a flag
    std::string help;
    Target target;
    Presence presence = Presence::Optional;
    Bounds bounds;
    bool seen = false;
  };
  struct Argument {
    std::string name;
    std::string help;
    std::string* target;
  };

  void Declare(std::string_view name, Target target, std::string_view help, Presence presence, Bounds bounds);
  Option* Find(std::string_view name);
  // Stores `value` for `option`; the problem in words when it does not fit.
  std::optional<std::string> Store(Option& option, const std::string& value);
  // The problem in words, or nothing when every word fitted.
  std::optional<std::string> ReadWords(const std::vector<std::string>& args);
  void PrintHelp() const;

  std::string usage_;
  std::string command_;
  std::string summary_;
  std::vector<Option> options_;
  std::vector<Argument> positionals_;
  std::string restName_;
  std::string restHelp_;
  std::vector<std::string>* rest_ = nullptr;
};

}  // namespace cli
