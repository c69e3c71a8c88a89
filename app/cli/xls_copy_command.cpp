// `talvane-cli xls copy IN OUT`: opens IN and saves it as OUT, the way the
// import writes a marked workbook back. Prints {"open": <code>, "save":
// <code>} (save is null when the file could not be read, and nothing is
// written then), with "message" saying why when Open gave anything but 1. A
// workbook whose file ends early (100) is read up to there and saved. Exit
// status 0 when the copy was written.

#include <iostream>

#include "app/cli/options.h"
#include "app/cli/xls_command.h"
#include "xls/biff_reader.h"
#include "xls/result_codes.h"
#include "xls/workbook.h"

namespace cli {

int XlsCopy(const std::vector<std::string>& args) {
  std::string in, out;
  OptionParser parser("xls copy IN OUT", "Opens IN and saves it as OUT, as the import writes a marked workbook back.");
  parser.Positional("IN", in, "the workbook to read");
  parser.Positional("OUT", out, "where the copy is saved");
  if (const std::optional<int> status = parser.Parse(args)) return *status;

  xls::TXLSWorkbook book;
  const int opened = book.Open(in);
  const std::string reason = opened == xls::kOpenOk ? "" : xls::OpenResultReason(opened, in);
  const std::string message = reason.empty() ? "" : ", \"message\": " + JsonString(reason);
  if (opened != xls::kOpenOk && opened != xls::kOpenUnfinished) {
    std::cout << "{\"open\": " << opened << ", \"save\": null" << message << "}\n";
    std::cerr << "talvane-cli xls copy: cannot read " << in << ": " << reason << "\n";
    return 1;
  }
  const int saved = book.SaveAs(out);
  std::cout << "{\"open\": " << opened << ", \"save\": " << saved << message << "}\n";
  if (saved != xls::kSaveOk) {
    std::cerr << "talvane-cli xls copy: cannot save " << out << ": " << xls::SaveResultReason(saved, out) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace cli
