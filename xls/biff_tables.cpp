#include "xls/biff_tables.h"

#include "xls/workbook.h"

namespace xls {

bool WritesSharedString(const IXLSWorksheet& sheet, const TXLSCellRef& cell) {
  return cell.kind == CellKind::Text && !sheet.IsCoveredByMerge(cell.row, cell.column);
}

std::uint16_t TXLSWriteTables::XF(std::uint32_t modelIndex) const {
  modelIndex = TXLSXFList::Resolve(modelIndex);
  if (modelIndex >= xfNumber_.size() || xfNumber_[modelIndex] < 0) modelIndex = kDefaultCellXF;
  return static_cast<std::uint16_t>(xfNumber_[modelIndex]);
}

std::uint16_t TXLSWriteTables::TableXF(std::uint32_t modelIndex) const {
  if (modelIndex >= xfNumber_.size() || xfNumber_[modelIndex] < 0) return 0;
  return static_cast<std::uint16_t>(xfNumber_[modelIndex]);
}

std::uint16_t TXLSWriteTables::OptionalXF(std::int32_t modelIndex) const {
  return modelIndex == kNoFormat ? static_cast<std::uint16_t>(kDefaultCellXF) : XF(static_cast<std::uint32_t>(modelIndex));
}

std::uint16_t TXLSWriteTables::Font(int modelIndex) const {
  int number = (modelIndex >= 0 && static_cast<std::size_t>(modelIndex) < fontNumber_.size())
                   ? fontNumber_[static_cast<std::size_t>(modelIndex)]
                   : 0;
  if (number < 0) number = 0;
  return static_cast<std::uint16_t>(number < 4 ? number : number + 1);
}

std::uint32_t TXLSWriteTables::String(std::int32_t modelIndex) const {
  if (modelIndex < 0 || static_cast<std::size_t>(modelIndex) >= stringNumber_.size()) return 0;
  return static_cast<std::uint32_t>(stringNumber_[static_cast<std::size_t>(modelIndex)]);
}

namespace {

void NumberXFs(const TXLSWorkbook& book, TXLSWriteTables& tables, std::vector<std::int32_t>& numbers) {
  const TXLSXFList& list = book.XFList();
  const auto count = static_cast<std::uint32_t>(list.Count());
  std::vector<bool> keep(count, false);
  for (std::uint32_t i = 0; i < count; ++i) keep[i] = i < kBuiltInXFCount || list.UseCount(i) > 0;
  for (const TXLSStyle& style : list.Styles()) {
    if (style.xf < count) keep[style.xf] = true;
  }
  // A written cell format needs its parent style written too.
  for (std::uint32_t i = 0; i < count; ++i) {
    const TXLSXF& xf = list.At(i);
    if (keep[i] && !xf.IsStyle() && xf.parent < count) keep[xf.parent] = true;
  }
  numbers.assign(count, -1);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!keep[i]) continue;
    numbers[i] = static_cast<std::int32_t>(tables.writtenXFs.size());
    tables.writtenXFs.push_back(i);
  }
}

void NumberFonts(const TXLSWorkbook& book, TXLSWriteTables& tables, std::vector<std::int32_t>& numbers) {
  const TXLSFontList& fonts = book.Fonts();
  std::vector<bool> keep(static_cast<std::size_t>(fonts.Count()), false);
  for (int i = 0; i < fonts.Count(); ++i) keep[static_cast<std::size_t>(i)] = i < 4 || i < fonts.FileFontCount();
  for (std::uint32_t xf : tables.writtenXFs) {
    const int font = book.XFList().At(xf).font;
    if (font < fonts.Count()) keep[static_cast<std::size_t>(font)] = true;
  }
  for (std::int32_t string : tables.writtenStrings) {  // the fonts of rich text runs
    for (const TXLSRichRun& run : book.Strings().Runs(string)) {
      if (run.font < fonts.Count()) keep[run.font] = true;
    }
  }
  numbers.assign(keep.size(), -1);
  for (std::size_t i = 0; i < keep.size(); ++i) {
    if (!keep[i]) continue;
    numbers[i] = static_cast<std::int32_t>(tables.writtenFonts.size());
    tables.writtenFonts.push_back(static_cast<int>(i));
  }
}

void NumberStrings(const TXLSWorkbook& book, TXLSWriteTables& tables, std::vector<std::int32_t>& numbers) {
  const TXLSStringTable& strings = book.Strings();
  std::vector<bool> used(static_cast<std::size_t>(strings.Count()), false);
  const IXLSWorkSheets& sheets = book.Worksheets();
  for (int position = 1; position <= sheets.Count(); ++position) {
    const IXLSWorksheet& sheet = *sheets.Entries(position);
    const TXLSCellHeap& heap = sheet.CellHeap();
    if (heap.Empty() || sheet.Type() != SheetType::Worksheet) continue;
    for (int row = heap.FirstRow(); row <= heap.LastRow(); ++row) {
      for (const TXLSCellRef& cell : heap.Row(row)) {
        if (!WritesSharedString(sheet, cell) || cell.stringIndex < 0 || cell.stringIndex >= strings.Count()) continue;
        used[static_cast<std::size_t>(cell.stringIndex)] = true;
        ++tables.stringUses;
      }
    }
  }
  numbers.assign(used.size(), -1);
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) continue;
    numbers[i] = static_cast<std::int32_t>(tables.writtenStrings.size());
    tables.writtenStrings.push_back(static_cast<std::int32_t>(i));
  }
}

}  // namespace

TXLSWriteTables TXLSWriteTables::Build(const TXLSWorkbook& book) {
  TXLSWriteTables tables;
  NumberXFs(book, tables, tables.xfNumber_);
  NumberStrings(book, tables, tables.stringNumber_);
  NumberFonts(book, tables, tables.fontNumber_);
  return tables;
}

}  // namespace xls
