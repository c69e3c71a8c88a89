#pragma once
// The numbers of `talvane-cli campaign`: typed on the command line
// (--numbers) or imported from a spreadsheet as the window imports them.
//
// Threads: main thread only.

#include <string>

#include "app/core/number_list.h"
#include "app/core/result_workbook.h"

namespace cli {

// The numbers of --numbers ("N,N,...") into the list and the result
// workbook, as a manual entry and an import leave them: one row per number,
// no fill. False with `error` when the list is not one of numbers.
bool TakeNumbers(const std::string& list, bool excludeDuplicates, app::TNumberList& numbers,
                 app::TResultWorkbook& results, std::string& error);

// The numbers of a spreadsheet, imported as the window's "Otwórz plik XLS"
// imports them: the sheet is marked and written back, the result workbook
// saved as its "_out" file (its path into `resultPath`); the import's log
// goes to stderr. False with `error` when nothing can be sent.
bool ImportNumbers(const std::string& file, bool excludeDuplicates, app::TNumberList& numbers,
                   app::TResultWorkbook& results, std::string& resultPath, std::string& error);

}  // namespace cli
