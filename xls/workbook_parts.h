#pragma once
// What a workbook holds besides sheets, formats and strings, for files read
// and written back: defined names, the external references that formulas and
// names point through, workbook protection and the drawing group.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <string>
#include <vector>

#include "xls/sheet_parts.h"

namespace xls {

// A defined name (NAME record). Built-in names (print area, print titles,
// the autofilter database) that the writer derives from sheet settings are
// not kept here.
struct TXLSName {
  std::uint16_t options = 0;  // bit 0 hidden, bit 5 built-in, ...
  std::uint8_t shortcut = 0;
  std::u16string name;  // for a built-in name: its one-character code
  std::uint16_t sheet = 0;  // 0 global; else the 1-based sheet the name is local to
  std::vector<std::uint8_t> formula;  // BIFF8 token array of the definition
  std::u16string menuText, description, helpText, statusText;
  bool operator==(const TXLSName&) const = default;
};

// SUPBOOK and EXTERNSHEET: the supporting workbooks and the sheet references
// that 3-D tokens of formulas index.
struct TXLSExternSheetRef {
  std::uint16_t supBook = 0;
  std::uint16_t firstSheet = 0;  // 0-based sheet positions in that workbook
  std::uint16_t lastSheet = 0;
  bool operator==(const TXLSExternSheetRef&) const = default;
};

struct TXLSSupBook {
  bool self = false;  // this workbook's own entry (sheet count, 0x0401)
  std::vector<std::uint8_t> body;  // other supporting workbooks: the SUPBOOK body as read
  TXLSRecordList externNames;      // EXTERNNAME records that follow it
};

struct TXLSExternals {
  std::vector<TXLSSupBook> supBooks;
  std::vector<TXLSExternSheetRef> sheets;
};

struct TXLSWorkbookProtection {
  bool isProtected = false;
  std::uint16_t passwordHash = 0;
};

}  // namespace xls
