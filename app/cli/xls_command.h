#pragma once
// The subcommands of `talvane-cli xls`, each in a file of its own; the table
// in xls_command.cpp names them.

#include <string>
#include <string_view>
#include <vector>

#include "app/cli/json_text.h"

namespace cli {

// A text as a JSON string, quoted and escaped.
std::string JsonString(std::u16string_view text);

// xls write-list OUT.xls NUMBER[:COLOUR]...
int XlsWriteList(const std::vector<std::string>& args);
// xls dump FILE
int XlsDump(const std::vector<std::string>& args);
// xls copy IN OUT
int XlsCopy(const std::vector<std::string>& args);

}  // namespace cli
