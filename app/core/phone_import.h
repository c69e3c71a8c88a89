#pragma once
// The import of phone numbers from a spreadsheet ("Otwórz plik XLS"): reads
// column A of the first worksheet from A1 down to the first empty cell,
// cleans each value into a national number or rejects it, optionally leaves
// out repeats, marks every row of the input sheet, gives the accepted
// recipients their rows of a new result workbook, saves that as the "_out"
// file and writes the marked input back.
//
// The import touches no window: it returns what became of every row, the
// counters, the recipients, the files written and the lines of its log with
// the style each is shown in. The window shows them (and its progress line
// while the rows are read); talvane-cli prints them.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <optional>
#include <string>
#include <vector>

#include "app/core/fills.h"
#include "app/core/number_list.h"
#include "app/core/result_workbook.h"
#include "app/core/view_types.h"

namespace xls {
class IXLSWorksheet;
}

namespace app {

struct TImportOptions {
  bool excludeDuplicates = true;  // "Wykluczaj duplikaty"
};

enum class TImportOutcome { Accepted, Repeat, Rejected, Skipped };

// What the import did with one row.
struct TImportRow {
  int row = 0;          // 1-based
  AnsiString textRead;  // the cell's value as text
  AnsiString text;      // the national number it was cleaned into (or the text read, when rejected)
  bool corrected = false;
  TImportOutcome outcome = TImportOutcome::Accepted;
  int fill = 0;                  // colour index of the cell in column A afterwards
  std::optional<AnsiString> b;   // text written into column B, if any was
  std::optional<AnsiString> c;   // text written into column C, if any was
};

struct TImportCounters {
  int loaded = 0;  // accepted numbers read, repeats included
  int corrected = 0;
  int rejected = 0;
  int listed = 0;  // the size of the number list
  // While the rows are read, the repeats as the "Duplikaty" counter shows
  // them (the rows accepted before the last one, less the list).
  int repeatsSoFar = 0;

  int Duplicates() const { return loaded - listed; }
};

// How the window shows a line of the import's log.
enum class TImportLineStyle {
  Plain,    // in the log's insertion attributes
  Repeats,  // the insertion colour turns fuchsia first (and stays)
  Total,    // the insertion colour turns blue and bold first (and stays)
  Note,     // grey, Tahoma 9 (a file written)
  Alert,    // red, Tahoma 9 (the meaning of the marks, a file left alone, a failure)
};

struct TImportLogLine {
  AnsiString text;
  TImportLineStyle style = TImportLineStyle::Plain;
};

struct TImportResult {
  // The file was read and the import ran to its end: the number list, the
  // result workbook and the log are replaced by the ones below. Otherwise
  // nothing is, and `log` holds the failure only, to follow the log's lines.
  bool imported = false;
  TImportCounters counters;
  std::vector<TImportRow> rows;  // in sheet order

  TNumberList numbers;          // the accepted recipients, each with its row of `resultBook`
  TResultWorkbook resultBook;   // one row per recipient
  std::string inputPath;        // the file imported
  std::string resultPath;       // where the result workbook belongs
  std::string resultFile;       // the result workbook written there, empty when none was
  bool inputSaved = false;      // the marks were written (into the file or its copy)
  std::vector<std::string> filesWritten;  // in the order written

  std::vector<TImportLogLine> log;
  // The line that stands last while the rows are read (the progress line),
  // and later their summary; -1 when the file was never read.
  int progressLine = -1;
  std::vector<AnsiString> errors;  // each said in an error box, in order

  AnsiString FirstError() const { return errors.empty() ? AnsiString() : errors.front(); }
};

// Told how the reading goes: after the first row and then at least every
// 20 ms (the window shows the log so far and handles its pending events).
class TImportProgress {
 public:
  virtual ~TImportProgress() = default;
  virtual void Reading(const TImportResult& soFar) = 0;
};

// Imports the file at `path` (a path of this system). A file that cannot be
// read, or that another program holds open, is left as it was.
TImportResult ImportPhoneNumbers(const std::string& path, const TImportOptions& options,
                                 TImportProgress* progress = nullptr);

// The reading of the rows of `sheet` into `result` (rows, counters,
// recipients, the log's lines about them): the sheet is marked.
void ReadPhoneNumbers(xls::IXLSWorksheet& sheet, const TImportOptions& options, TImportResult& result,
                      TImportProgress* progress = nullptr);

// The "_out" file of an input path: "_out." inserted at the first dot of the
// file name, blanks around that dot dropped; a name without a dot gets
// "_out." at its end.
std::string ResultFilePathFor(const std::string& inputPath);

}  // namespace app
