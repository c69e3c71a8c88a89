// `talvane-cli xls dump FILE`: what Open makes of a workbook file, as JSON
// lines. First {"open": <result code>}, with "message" saying why when the
// code is not 1 (a format too old to read says how to convert it); then per sheet (numbered from 1, as
// Worksheets.Entries counts) {"sheet": k, "name": ...}, its cells in row
// order (rows and columns from 0) with kind, value, fill colour index and
// alignment codes, and {"sheet": k, "col": c, "width": units} for each column
// that has an entry of its own. Exit status 0 when Open returned 1.

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/cli/xls_command.h"
#include "platform/codepage.h"
#include "xls/biff_reader.h"
#include "xls/interior.h"
#include "xls/result_codes.h"
#include "xls/workbook.h"

namespace cli {

namespace {

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string JsonValue(const xls::Variant& value) {
  if (value.IsNull() || value.IsEmpty() || value.IsArray()) return "null";
  if (value.IsText()) return JsonString(value.AsText());
  if (value.Kind() == xls::VariantKind::Boolean) return value.AsBoolean() ? "true" : "false";
  return JsonNumber(value.AsDouble());
}

// Kind and value of a cell as the model holds it.
void KindAndValue(const xls::IXLSWorksheet& sheet, const xls::TXLSCellRef& cell, std::string& kind,
                  std::string& value) {
  const xls::TXLSWorkbook& book = sheet.Workbook();
  switch (cell.kind) {
    case xls::CellKind::Blank:
      kind = "blank";
      value = "null";
      return;
    case xls::CellKind::Text:
      kind = "text";
      value = JsonString(book.Strings().Text(cell.stringIndex));
      return;
    case xls::CellKind::Number:
    case xls::CellKind::Date: {
      const bool date = cell.kind == xls::CellKind::Date ||
                        book.NumFormats().IsDateFormat(book.XFList().EffectiveNumFormat(cell.xf));
      kind = date ? "date" : "number";
      value = JsonNumber(cell.number);
      return;
    }
    case xls::CellKind::Boolean:
      kind = "boolean";
      value = cell.number > 0 ? "true" : "false";
      return;
    case xls::CellKind::Error:
      kind = "error";
      value = JsonString(xls::ErrorValueText(static_cast<std::uint8_t>(cell.number)));
      return;
    case xls::CellKind::Formula:
      kind = "formula";
      value = cell.formula ? JsonValue(cell.formula->CachedResult()) : "null";
      return;
  }
}

void DumpSheet(xls::IXLSWorksheet& sheet, int position) {
  const std::string prefix = "{\"sheet\": " + std::to_string(position);
  std::cout << prefix << ", \"name\": " << JsonString(sheet.Name()) << "}\n";
  const xls::TXLSCellHeap& heap = sheet.CellHeap();
  const xls::IXLSRange cells = sheet.Cells();
  for (int row = heap.Empty() ? 1 : heap.FirstRow(); !heap.Empty() && row <= heap.LastRow(); ++row) {
    for (const xls::TXLSCellRef& cell : heap.Row(row)) {
      std::string kind, value;
      KindAndValue(sheet, cell, kind, value);
      const xls::IXLSRange range = cells->Item(cell.row + 1, cell.column + 1);
      const xls::TXLSXF& xf = sheet.Workbook().XFList().Entry(cell.xf);
      std::cout << prefix << ", \"row\": " << cell.row << ", \"col\": " << int{cell.column} << ", \"kind\": \"" << kind
                << "\", \"value\": " << value << ", \"fill\": " << range->Interior()->ColorIndex()
                << ", \"halign\": " << xf.HorizontalAlignment() << ", \"valign\": " << xf.VerticalAlignment()
                << "}\n";
    }
  }
  for (int column = 0; column < xls::kColumnCount; ++column) {
    if (const xls::TXLSColumnInfo* info = sheet.Columns().Find(column))
      std::cout << prefix << ", \"col\": " << column << ", \"width\": " << info->width << "}\n";
  }
}

}  // namespace

int XlsDump(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "usage: talvane-cli xls dump FILE\n";
    return 2;
  }
  xls::TXLSWorkbook book;
  const int result = book.Open(args[0]);
  std::cout << "{\"open\": " << result;
  if (result != xls::kOpenOk) std::cout << ", \"message\": " << JsonString(xls::OpenResultReason(result, args[0]));
  std::cout << "}\n";
  for (int position = 1; position <= book.Worksheets().Count(); ++position)
    DumpSheet(*book.Worksheets().Entries(position), position);
  return result == xls::kOpenOk ? 0 : 1;
}

}  // namespace cli
