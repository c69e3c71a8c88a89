// `talvane-cli xls copy IN OUT`: opens IN and saves it as OUT, the way the
// import writes a marked workbook back. Prints {"open": <code>, "save":
// <code>} (save is null when the file could not be read, and nothing is
// written then), with "message" saying why when Open gave anything but 1. A
// workbook whose file ends early (100) is read up to there and saved. Exit
// status 0 when the copy was written.

#include <iostream>

#include "app/cli/xls_command.h"
#include "xls/biff_reader.h"
#include "xls/result_codes.h"
#include "xls/workbook.h"

namespace cli {

int XlsCopy(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << "usage: talvane-cli xls copy IN OUT\n";
    return 2;
  }
  xls::TXLSWorkbook book;
  const int opened = book.Open(args[0]);
  const std::string message =
      opened == xls::kOpenOk ? "" : ", \"message\": " + JsonString(xls::OpenResultReason(opened, args[0]));
  if (opened != xls::kOpenOk && opened != xls::kOpenUnfinished) {
    std::cout << "{\"open\": " << opened << ", \"save\": null" << message << "}\n";
    return 1;
  }
  const int saved = book.SaveAs(args[1]);
  std::cout << "{\"open\": " << opened << ", \"save\": " << saved << message << "}\n";
  return saved == xls::kSaveOk ? 0 : 1;
}

}  // namespace cli
