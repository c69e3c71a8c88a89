#pragma once
// talvane-cli subcommands. Each subcommand lives in a file of its own and
// registers itself with a static CommandRegistration, so adding one touches
// no shared table.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct Command {
  std::string_view name;   // first word on the command line ("ports", "xls", ...)
  std::string_view usage;  // one line shown by `talvane-cli help`
  int (*run)(const std::vector<std::string>& args);  // arguments after the name; returns the exit status
};

void RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

struct CommandRegistration {
  explicit CommandRegistration(const Command& command) { RegisterCommand(command); }
};

}  // namespace cli
