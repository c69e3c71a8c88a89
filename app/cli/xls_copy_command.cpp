// `talvane-cli xls copy IN OUT`: opens IN and saves it as OUT, the way the
// import writes a marked workbook back. Prints {"open": <code>, "save":
// <code>} (save is null when the file could not be read, and nothing is
// written then). Exit status 0 when both are 1.

#include <iostream>

#include "app/cli/xls_command.h"
#include "xls/workbook.h"

namespace cli {

int XlsCopy(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << "usage: talvane-cli xls copy IN OUT\n";
    return 2;
  }
  xls::TXLSWorkbook book;
  const int opened = book.Open(args[0]);
  if (opened != xls::kOpenOk) {
    std::cout << "{\"open\": " << opened << ", \"save\": null}\n";
    return 1;
  }
  const int saved = book.SaveAs(args[1]);
  std::cout << "{\"open\": " << opened << ", \"save\": " << saved << "}\n";
  return saved == xls::kSaveOk ? 0 : 1;
}

}  // namespace cli
