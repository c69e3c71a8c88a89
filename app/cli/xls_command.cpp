// `talvane-cli xls <subcommand> ...`: workbook tools. Each subcommand is one
// line of the table below and a function in a file of its own.

#include "app/cli/xls_command.h"

#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/cli/command.h"
#include "platform/codepage.h"

namespace cli {

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (const char c : platform::Utf16ToUtf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string JsonString(std::string_view utf8) { return JsonString(platform::Utf8ToUtf16(utf8)); }

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
  out << "usage:\n";
  for (const XlsSubcommand& sub : kXlsSubcommands) out << "  talvane-cli " << sub.usage << "\n";
  return 2;
}

int RunXls(const std::vector<std::string>& args) {
  if (args.empty()) return PrintXlsUsage(std::cerr);
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
