#pragma once
// The import of phone numbers from a spreadsheet ("Otwórz plik XLS"): reads
// column A of the first worksheet from A1 down to the first empty cell,
// corrects numbers that are too long, rejects the rest of the wrong length,
// optionally leaves out repeats, marks every row of the input sheet, fills
// the number list, the phone list window and the result workbook, saves the
// result as the "_out" file and writes the marked input back.
//
// One module for the window's command and for `talvane-cli import`: both
// hand it the elements it reports to and the window state it fills.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <functional>
#include <optional>
#include <string>

#include "app/window/frm_main_view.h"
#include "app/window/frm_tel_list.h"
#include "app/core/fills.h"
#include "app/core/number_list.h"
#include "app/core/result_workbook.h"

namespace app {

enum class TImportOutcome { Accepted, Repeat, Rejected, Skipped };

// What the import did with one row.
struct TImportRow {
  int row = 0;          // 1-based
  AnsiString textRead;  // the cell's value as text
  AnsiString text;      // after the correction
  bool corrected = false;
  TImportOutcome outcome = TImportOutcome::Accepted;
  int fill = 0;                  // colour index of the cell in column A afterwards
  std::optional<AnsiString> b;   // text written into column B, if any
  std::optional<AnsiString> c;   // text written into column C, if any
};

struct TImportResult {
  bool imported = false;  // the file was read and the import ran to its end
  int loaded = 0;         // accepted numbers read, repeats included
  int corrected = 0;
  int rejected = 0;
  int duplicates = 0;  // loaded less the size of the number list
  std::string resultFile;  // the "_out" file written, empty when none was
  bool inputSaved = false;
  AnsiString error;  // text of the first error box shown, empty when none
};

// What the import works on: the window's elements and state.
struct TImportTarget {
  TfrmMainView view;  // a table of pointers to the elements
  TfrmTelList& telList;
  TNumberList& numberList;
  TResultWorkbook& result;
  std::string& inputFilePath;
  std::string& resultFilePath;
  // Lets the window process its pending events; run during the reading
  // loop, after the first row and then at least every 20 ms.
  std::function<void()> processEvents;
};

class TPhoneImport {
 public:
  explicit TPhoneImport(const TImportTarget& target) : t_(target) {}

  // Before the file dialog: the counters back to 0 (all but "Wczytane"
  // disabled), the send button disabled, the progress gauge at 0 and hidden.
  void ResetCounters();

  // Imports the file at `path` (a path of this system) with repeats left out
  // or not. A file that cannot be read changes nothing but the error box.
  TImportResult Run(const std::string& path, bool excludeDuplicates);

  // Called once per row read, in sheet order (talvane-cli prints them).
  std::function<void(const TImportRow&)> OnRow;

 private:
  struct Counters;
  void ReadRows(xls::IXLSWorksheet& sheet, Counters& counters);
  void ReadRow(xls::IXLSWorksheet& sheet, int row, Counters& counters);
  void Finish(Counters& counters, TImportResult& result);
  void WriteResultFile(TImportResult& result);
  void ShowPhoneList();
  void InsertBeforeProgress(const AnsiString& line);
  void SetProgress(const AnsiString& line);
  void ReportFailure(const AnsiString& text, TImportResult& result);

  TImportTarget t_;
};

// The "_out" file of an input path: "_out." inserted at the first dot of the
// file name, blanks around that dot dropped; a name without a dot gets
// "_out." at its end.
std::string ResultFilePathFor(const std::string& inputPath);

}  // namespace app
