// `talvane-cli xls write-list OUT.xls NUMBER[:COLOUR]...`: the result
// workbook as the import and the campaign write it: one sheet, the numbers
// as texts in column A from row 1, each filled with its colour index (no
// colour: no fill), centred both ways, column A 15 characters wide. Prints
// the result code of SaveAs.

#include <iostream>
#include <optional>

#include "app/cli/options.h"
#include "app/cli/xls_command.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "xls/interior.h"
#include "xls/workbook.h"

namespace cli {

namespace {

struct Entry {
  std::string number;
  int colour = xls::xlNone;
};

std::optional<int> ParseColour(std::string_view text) {
  const std::optional<int> number = platform::ParseStrictInt(text);
  if (!number) return std::nullopt;
  const int value = *number;
  const bool valid = (value >= 1 && value <= 56) || value == 0 || value == xls::xlNone || value == xls::xlAutomatic;
  return valid ? std::optional<int>(value) : std::nullopt;
}

// NUMBER or NUMBER:COLOUR (split at the last colon).
std::optional<Entry> ParseEntry(const std::string& argument) {
  const std::size_t colon = argument.rfind(':');
  if (colon == std::string::npos) return Entry{argument, xls::xlNone};
  const std::optional<int> colour = ParseColour(std::string_view(argument).substr(colon + 1));
  if (!colour) return std::nullopt;
  return Entry{argument.substr(0, colon), *colour};
}

}  // namespace

int XlsWriteList(const std::vector<std::string>& args) {
  std::string path;
  std::vector<std::string> numbers;
  OptionParser parser("xls write-list OUT.xls NUMBER[:COLOUR]...",
                      "Writes numbers as a result workbook: column A, centred, filled with the colour given.");
  parser.Positional("OUT.xls", path, "the workbook to write");
  parser.Rest("NUMBER[:COLOUR]", numbers, "a number, with a colour index for its fill (1-56, -4142 none)");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  if (numbers.size() > static_cast<std::size_t>(xls::kRowCount)) {
    return parser.UsageError("at most " + std::to_string(xls::kRowCount) + " numbers fit a sheet");
  }
  std::vector<Entry> entries;
  for (const std::string& argument : numbers) {
    std::optional<Entry> entry = ParseEntry(argument);
    if (!entry) {
      return parser.UsageError("'" + argument +
                               "': the colour after ':' must be a colour index 1-56, 0 or -4142 (no fill), or -4105");
    }
    entries.push_back(std::move(*entry));
  }

  const auto book = xls::TXLSWorkbook::Create();
  xls::IXLSWorksheet* sheet = book->Worksheets().Add();
  const xls::IXLSRange cells = sheet->Cells();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const xls::IXLSRange cell = cells->Item(static_cast<int>(i) + 1, 1);
    cell->SetValue(xls::Variant::Text(platform::Utf8ToUtf16(entries[i].number)));
    cell->Interior()->SetColorIndex(entries[i].colour);
    cell->SetVerticalAlignment(xls::xlCenter);
    cell->SetHorizontalAlignment(xls::xlCenter);
    cell->SetColumnWidth(15);
  }
  if (entries.empty()) cells->Item(1, 1)->SetColumnWidth(15);

  const int result = book->SaveAs(path);
  std::cout << result << "\n";
  if (result != xls::kSaveOk) {
    std::cerr << "talvane-cli xls write-list: cannot save " << path << ": " << xls::SaveResultReason(result, path) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace cli
