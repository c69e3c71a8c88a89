// `talvane-cli import [--keep-duplicates] FILE`: the window's import on FILE
// without a display, as if FILE had been chosen in the file dialog with
// "Wykluczaj duplikaty" checked (unchecked with --keep-duplicates). FILE is
// marked and written back and the "_out" file written exactly as the window
// does. Standard output: one JSON line per row read, then a closing line
// with the counters, the numbers and the files; the activity log goes to
// standard error. Exit status 0 when the import ran to its end, 1 when the
// file could not be imported, 2 for bad arguments.

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/cli/command.h"
#include "app/cli/json_text.h"
#include "app/cli/options.h"
#include "app/core/phone_import.h"

namespace cli {

namespace {

const char* OutcomeName(app::TImportOutcome outcome) {
  switch (outcome) {
    case app::TImportOutcome::Accepted:
      return "accepted";
    case app::TImportOutcome::Repeat:
      return "repeat";
    case app::TImportOutcome::Rejected:
      return "rejected";
    case app::TImportOutcome::Skipped:
      return "skipped";
  }
  return "";
}

std::string AnsiJson(const std::optional<app::AnsiString>& text) {
  return text ? JsonString(platform::AnsiToUtf8(*text)) : "null";
}

// One line, written at once: tens of thousands of rows are printed.
void PrintRow(const app::TImportRow& row) {
  std::string line = "{\"cell\":\"A" + std::to_string(row.row) + "\",\"text_read\":" + AnsiJson(row.textRead);
  line += ",\"text\":" + AnsiJson(row.text);
  line += row.corrected ? ",\"corrected\":true" : ",\"corrected\":false";
  line += ",\"outcome\":\"";
  line += OutcomeName(row.outcome);
  line += "\",\"fill\":" + std::to_string(row.fill);
  line += ",\"b\":" + AnsiJson(row.b);
  line += ",\"c\":" + AnsiJson(row.c) + "}\n";
  std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void PrintSummary(const app::TImportResult& result) {
  const app::TImportCounters& counters = result.counters;
  const app::TNumberList& numbers = result.numbers;
  std::cout << "{\"loaded\":" << counters.loaded << ",\"corrected\":" << counters.corrected
            << ",\"rejected\":" << counters.rejected << ",\"duplicates\":" << counters.Duplicates()
            << ",\"numbers\":[";
  for (int i = 0; i < numbers.Count(); ++i) std::cout << (i ? "," : "") << JsonString(platform::AnsiToUtf8(numbers[i]));
  std::cout << "],\"result_file\":" << (result.resultFile.empty() ? "null" : JsonString(result.resultFile))
            << ",\"input_saved\":" << (result.inputSaved ? "true" : "false") << ",\"error\":"
            << (result.errors.empty() ? "null" : JsonString(platform::AnsiToUtf8(result.FirstError()))) << "}\n";
}

int RunImport(const std::vector<std::string>& args) {
  bool keepDuplicates = false;
  std::string file;
  OptionParser parser("import [--keep-duplicates] FILE",
                      "Imports the numbers of a spreadsheet as the window does: marks and writes back FILE, writes "
                      "the _out file, prints one JSON line per row and a closing line.");
  parser.Flag("--keep-duplicates", keepDuplicates, "keep repeated numbers (\"Wykluczaj duplikaty\" unchecked)");
  parser.Positional("FILE", file, "the list: a spreadsheet (.xls, .xlsx) or a text list (.csv, .txt)");
  if (const std::optional<int> status = parser.Parse(args)) return *status;
  // As the file dialog gives it: a full path.
  std::error_code ec;
  const std::string path = std::filesystem::absolute(file, ec).string();
  const app::TImportResult outcome = app::ImportPhoneNumbers(path, {.excludeDuplicates = !keepDuplicates});
  for (const app::TImportRow& row : outcome.rows) PrintRow(row);
  PrintSummary(outcome);
  for (const app::TImportLogLine& line : outcome.log) std::cerr << platform::AnsiToUtf8(line.text) << "\n";
  return outcome.imported ? 0 : 1;
}

const CommandRegistration kRegistration(
    {"import", "import [--keep-duplicates] FILE  import the numbers of a spreadsheet as the window does", RunImport});

}  // namespace

}  // namespace cli
