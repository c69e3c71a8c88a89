// `talvane-cli xls <subcommand> ...`: workbook tools. Each subcommand is one
// line of the table below and a function in a file of its own.

#include "app/cli/xls_command.h"

#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/cli/command.h"
#include "platform/codepage.h"

namespace cli {

std::string JsonString(std::u16string_view text) { return JsonString(platform::Utf16ToUtf8(text)); }

namespace {

struct XlsSubcommand {
  std::string_view name;
  std::string_view usage;
  int (*run)(const std::vector<std::string>& args);
};

constexpr XlsSubcommand kXlsSubcommands[] = {
    {"write-list", "xls write-list OUT.xls NUMBER[:COLOUR]...  write numbers as a result workbook", XlsWriteList},
    {"dump", "xls dump FILE  what Open reads from a workbook, as JSON lines", XlsDump},
    {"copy", "xls copy IN OUT  open IN and save it as OUT", XlsCopy},
};

int PrintXlsUsage(std::ostream& out) {
  out << "usage: talvane-cli xls SUBCOMMAND [arguments]   (talvane-cli xls SUBCOMMAND --help for its options)\n";
  for (const XlsSubcommand& sub : kXlsSubcommands) out << "  talvane-cli " << sub.usage << "\n";
  return 2;
}

int RunXls(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::cerr << "talvane-cli xls: SUBCOMMAND is required\n";
    return PrintXlsUsage(std::cerr);
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintXlsUsage(std::cout);
    return 0;
  }
  for (const XlsSubcommand& sub : kXlsSubcommands) {
    if (sub.name == args[0]) return sub.run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  std::cerr << "talvane-cli xls: unknown subcommand '" << args[0] << "'\n";
  return PrintXlsUsage(std::cerr);
}

const CommandRegistration kRegistration({"xls", "xls <subcommand> ...  workbook tools (talvane-cli xls help)", RunXls});

}  // namespace

}  // namespace cli
