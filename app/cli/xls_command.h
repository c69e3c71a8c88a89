#pragma once
// The subcommands of `talvane-cli xls`, each in a file of its own; the table
// in xls_command.cpp names them.

#include <string>
#include <vector>

namespace cli {

// xls write-list OUT.xls NUMBER[:COLOUR]...
int XlsWriteList(const std::vector<std::string>& args);
// xls dump FILE
int XlsDump(const std::vector<std::string>& args);
// xls copy IN OUT
int XlsCopy(const std::vector<std::string>& args);

}  // namespace cli
