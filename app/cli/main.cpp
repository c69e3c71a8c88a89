// talvane-cli: Talvane's console face and its diagnostic subcommands.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include "app/cli/command.h"
#include "talvane_version.h"

namespace cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

int PrintUsage(std::ostream& out) {
  out << "usage: talvane-cli <command> [arguments]   (talvane-cli <command> --help for its options)\n"
         "       talvane-cli --help | --version\n";
  auto commands = Commands();
  std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
  for (const Command& c : commands) out << "  " << c.usage << "\n";
  return 2;
}
}  // namespace

void RegisterCommand(const Command& command) { Registry().push_back(command); }
const std::vector<Command>& Commands() { return Registry(); }

}  // namespace cli

int main(int argc, char** argv) {
  if (argc < 2) return cli::PrintUsage(std::cerr);
  const std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    cli::PrintUsage(std::cout);
    return 0;
  }
  if (name == "--version") {
    std::cout << TALVANE_VERSION_TEXT "\n";
    return 0;
  }
  for (const cli::Command& command : cli::Commands()) {
    if (command.name != name) continue;
    try {
      return command.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& error) {
      // What no command foresaw (a file system or memory failure) still ends
      // with a reason and a failure status, not with an abort.
      std::cerr << "talvane-cli " << name << ": " << error.what() << "\n";
      return 1;
    }
  }
  std::cerr << "talvane-cli: unknown command '" << name << "'\n";
  return cli::PrintUsage(std::cerr);
}
