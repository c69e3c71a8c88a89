#include "xls/biff_globals.h"

#include "xls/workbook.h"

namespace xls {

namespace {

void WriteWindow1(TXLSBlobList& out, const TXLSWorkbook& book) {
  const IXLSWorkSheets& sheets = book.Worksheets();
  const int active = std::max(sheets.PositionOf(sheets.ActiveSheet()), 1);
  int selected = 0;
  for (int i = 1; i <= sheets.Count(); ++i) {
    if (i == active || sheets.Entries(i)->Parts().window.selected) ++selected;
  }
  const int firstVisible = book.FirstVisibleTab() < sheets.Count() ? book.FirstVisibleTab() : 0;
  out.Begin(rec::kWindow1);
  out.U16(0);
  out.U16(0);
  out.U16(9660);
  out.U16(5490);
  out.U16(0x0038);
  out.U16(static_cast<std::uint16_t>(active - 1));
  out.U16(static_cast<std::uint16_t>(firstVisible));
  out.U16(static_cast<std::uint16_t>(selected));
  out.U16(600);
  out.End();
}

void WriteFont(TXLSBlobList& out, const TXLSFontData& font) {
  out.Begin(rec::kFont);
  out.U16(font.height);
  // Bit 0 repeats the weight's boldness, as readers that look only at the
  // attributes expect.
  out.U16(static_cast<std::uint16_t>((font.bold ? 0x01 : 0) | (font.italic ? 0x02 : 0) | (font.strikeout ? 0x08 : 0) |
                                     (font.outline ? 0x10 : 0) | (font.shadow ? 0x20 : 0)));
  out.U16(font.colour == 0 ? 0x7FFF : font.colour);
  out.U16(font.bold ? 700 : 400);
  out.U16(font.escapement);
  out.U8(font.underline);
  out.U8(font.family);
  out.U8(font.charset);
  out.U8(0);
  out.String8(font.name);
  out.End();
}

void WriteXF(TXLSBlobList& out, const TXLSXF& xf, const TXLSWriteTables& tables) {
  std::uint16_t typeAndProtection = xf.protection & 0x03;
  if (xf.IsStyle()) {
    typeAndProtection |= 0x0004 | (kStyleParent << 4);
  } else {
    typeAndProtection |= static_cast<std::uint16_t>((tables.TableXF(xf.parent) & 0xFFF) << 4);
  }
  out.Begin(rec::kXF);
  out.U16(tables.Font(xf.font));
  out.U16(xf.numFormat);
  out.U16(typeAndProtection);
  out.U8(xf.alignment);
  out.U8(xf.rotation);
  out.U8(xf.indent);
  out.U8(static_cast<std::uint8_t>((xf.usedAttributes & 0x3F) << 2));
  out.U32(xf.borders);
  out.U32((xf.borderColours & 0x03FFFFFF) | (static_cast<std::uint32_t>(xf.pattern & 0x3F) << 26));
  out.U16(xf.fillColours);
  out.End();
}

void WriteStyles(TXLSBlobList& out, const TXLSWorkbook& book, const TXLSWriteTables& tables) {
  for (const TXLSStyle& style : book.XFList().Styles()) {
    const auto xf = static_cast<std::uint16_t>(tables.TableXF(style.xf) & 0xFFF);
    out.Begin(rec::kStyle);
    if (style.builtIn) {
      out.U16(static_cast<std::uint16_t>(xf | 0x8000));
      out.U8(style.builtInId);
      out.U8(style.level);
    } else {
      out.U16(xf);
      out.String16(style.name);
    }
    out.End();
  }
}

void WritePalette(TXLSBlobList& out, const TXLSPalette& palette) {
  out.Begin(rec::kPalette);
  out.U16(kUserColourCount);
  for (int entry = kFirstUserEntry; entry < kPaletteSize; ++entry) {
    const std::uint32_t rgb = palette.Entry(entry);
    out.U8(static_cast<std::uint8_t>(rgb));
    out.U8(static_cast<std::uint8_t>(rgb >> 8));
    out.U8(static_cast<std::uint8_t>(rgb >> 16));
    out.U8(0);
  }
  out.End();
}

}  // namespace

void WriteGlobalsA(TXLSBlobList& out, const TXLSWorkbook& book, const TXLSWriteTables& tables,
                   const TXLSGlobalsOptions& options) {
  std::size_t stringBytes = 0;
  for (std::int32_t index : tables.writtenStrings) stringBytes += 3 + 2 * book.Strings().Text(index).size();
  out.Reserve(16384 + tables.writtenXFs.size() * 24 + stringBytes * 1003 / 1000 + tables.writtenStrings.size() + 64);
  WriteBof(out, 0x0005);  // workbook globals
  out.RecordU16(rec::kCodePage, 1200);
  out.RecordU16(rec::kDsf, 0);
  WriteWindow1(out, book);
  out.RecordU16(rec::kBackup, 0);
  out.RecordU16(rec::kDateMode, book.Date1904() ? 1 : 0);
  out.RecordU16(rec::kPrecision, 1);
  out.RecordU16(rec::kRefMode, book.A1ReferenceStyle() ? 1 : 0);
  if (options.writeVba) {
    out.Record(rec::kObProj);
    if (!book.CodeName().empty()) {
      out.Begin(rec::kCodeName);
      out.String16(book.CodeName());
      out.End();
    }
  }
  out.RecordU16(rec::kFnGroupCount, 14);
  if (book.Protection().isProtected) {
    out.RecordU16(rec::kProtect, 1);
    out.RecordU16(rec::kPassword, book.Protection().passwordHash);
  }
  out.RecordU16(rec::kBookBool, 0);
  for (int font : tables.writtenFonts) WriteFont(out, book.Fonts().Font(font));
  for (const auto& [index, text] : book.NumFormats().OwnFormats()) {
    out.Begin(rec::kFormat);
    out.U16(index);
    out.String16(text);
    out.End();
  }
  for (std::uint32_t xf : tables.writtenXFs) WriteXF(out, book.XFList().At(xf), tables);
  WriteStyles(out, book, tables);
  WritePalette(out, book.Palette());
  out.Begin(rec::kCountry);
  out.U16(1);
  out.U16(1);
  out.End();
  out.Begin(rec::kRecalcId);
  out.U32(0x000001C1);
  out.U32(0x00FFFFFF);
  out.End();
  WriteSharedStrings(out, 0, book, tables);
}

std::size_t BoundSheetsSize(const TXLSWorkbook& book) {
  std::size_t size = 0;
  const IXLSWorkSheets& sheets = book.Worksheets();
  for (int i = 1; i <= sheets.Count(); ++i) size += kRecordHeaderSize + 8 + 2 * sheets.Entries(i)->Name().size();
  return size;
}

void WriteBoundSheets(TXLSBlobList& out, const TXLSWorkbook& book, const std::vector<std::uint32_t>& sheetOffsets) {
  const IXLSWorkSheets& sheets = book.Worksheets();
  for (int i = 1; i <= sheets.Count(); ++i) {
    const IXLSWorksheet& sheet = *sheets.Entries(i);
    out.Begin(rec::kBoundSheet);
    out.U32(sheetOffsets[static_cast<std::size_t>(i - 1)]);
    out.U8(static_cast<std::uint8_t>(sheet.Visibility()));
    out.U8(static_cast<std::uint8_t>(sheet.Type()));
    out.String8(sheet.Name());
    out.End();
  }
}

}  // namespace xls
