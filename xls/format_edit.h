#pragma once
// Changing the cell formats of an area: each cell's effective format is
// copied, changed and looked up (or added) in the cell-format table, and the
// cell's use moves to the result. Missing cells are created. An area that
// spans all 65,536 rows or all 256 columns changes the columns' or rows' own
// formats and the cells that exist there instead of creating cells.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <functional>

#include "xls/formula.h"
#include "xls/xf_list.h"

namespace xls {

class IXLSWorksheet;

using XFChange = std::function<void(TXLSXF&)>;

void ChangeFormats(IXLSWorksheet& sheet, const TXLSArea& area, const XFChange& change);

}  // namespace xls
