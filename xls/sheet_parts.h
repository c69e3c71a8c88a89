#pragma once
// What a sheet holds besides its cells, rows and columns, so that a workbook
// read from a file is written back with it: page setup and page breaks,
// protection, window settings, merged areas, and the record groups kept as
// read (drawings with their objects, notes and embedded charts; hyperlinks;
// conditional formats; data validation; autofilter; a chart sheet's chart).
// None of these has operations in the model; the reader fills them and the
// writer writes them.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xls/formula.h"

namespace xls {

// One record as it stands in a file: id and body.
struct TXLSRecord {
  std::uint16_t id = 0;
  std::vector<std::uint8_t> body;
  bool operator==(const TXLSRecord&) const = default;
};
using TXLSRecordList = std::vector<TXLSRecord>;

struct TXLSPageBreak {
  std::uint16_t index = 0;  // the row (or column) before which the page breaks
  std::uint16_t first = 0;  // the columns (or rows) the break spans
  std::uint16_t last = 0;
  bool operator==(const TXLSPageBreak&) const = default;
};

struct TXLSPageSetup {
  std::u16string header;
  std::u16string footer;
  double leftMargin = 0.75, rightMargin = 0.75, topMargin = 1.0, bottomMargin = 1.0;  // inches
  bool printHeaders = false;
  bool printGridlines = false;
  bool gridSet = true;
  bool horizontallyCentred = false;
  bool verticallyCentred = false;
  // SETUP
  std::uint16_t paperSize = 9;  // A4
  std::uint16_t scale = 100;
  std::uint16_t startPage = 1;
  std::uint16_t fitWidth = 1;
  std::uint16_t fitHeight = 1;
  std::uint16_t options = 0x0002;  // portrait
  std::uint16_t horizontalResolution = 600;
  std::uint16_t verticalResolution = 600;
  double headerMargin = 0.5, footerMargin = 0.5;
  std::uint16_t copies = 1;
  std::uint16_t sheetOptions = 0x04C1;  // WSBOOL
  std::vector<TXLSPageBreak> rowBreaks;
  std::vector<TXLSPageBreak> columnBreaks;
  std::vector<TXLSArea> printAreas;         // Print_Area
  std::optional<TXLSArea> printTitleRows;    // Print_Titles: rows repeated on every page
  std::optional<TXLSArea> printTitleColumns;  // and columns
};

struct TXLSSheetProtection {
  bool isProtected = false;
  std::uint16_t passwordHash = 0;
  bool scenarios = false;
  bool objects = false;
  std::vector<std::uint8_t> sheetProtection;  // SHEETPROTECTION body, written when present
};

struct TXLSSheetWindow {
  bool gridlines = true;
  bool frozen = false;
  bool zeros = true;
  bool rightToLeft = false;
  bool selected = false;
  std::uint16_t topRow = 0;
  std::uint16_t leftColumn = 0;
  std::uint16_t zoom = 100;  // percent
  std::vector<std::uint8_t> pane;  // PANE body, written when present
  std::uint8_t selectionPane = 3;
  std::uint16_t activeRow = 0;
  std::uint8_t activeColumn = 0;
  std::vector<TXLSArea> selection = {TXLSArea{}};
};

enum class SheetType : std::uint8_t { Worksheet = 0, Chart = 2 };
enum class SheetVisibility : std::uint8_t { Visible = 0, Hidden = 1, VeryHidden = 2 };

struct TXLSSheetParts {
  TXLSPageSetup pageSetup;
  TXLSSheetProtection protection;
  TXLSSheetWindow window;
  std::vector<TXLSArea> mergedAreas;
  std::optional<std::uint16_t> defaultRowHeight;  // twips
  std::u16string codeName;
  TXLSRecordList drawing;  // MSODRAWING, OBJ, TXO, NOTE, CONTINUE and embedded chart substreams, in file order
  TXLSRecordList hyperlinks;          // HLINK, QUICKTIP
  TXLSRecordList conditionalFormats;  // CONDFMT, CF
  TXLSRecordList dataValidation;      // DVAL, DV
  TXLSRecordList autofilter;          // AUTOFILTERINFO, AUTOFILTER, FILTERMODE
  std::optional<TXLSArea> autofilterArea;  // the hidden _FilterDatabase name
  TXLSRecordList chart;  // a chart sheet's substream between its BOF and EOF
};

}  // namespace xls
