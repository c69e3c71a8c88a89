#include "xls/xlsx_reader.h"

#include "xls/xlsx_package.h"
#include "xls/xlsx_package_entries.h"
#include "xls/xlsx_sheet.h"
#include "xls/xlsx_styles.h"

namespace xls {

namespace {

// The workbook entry named by the package root ("xl/workbook.xml" as a rule).
int FindWorkbookEntry(XlsxPackage& package, std::string& entry) {
  std::vector<XlsxRelationship> root;
  if (const int read = ReadRelationships(package, "", root); read != kOpenOk) return read;
  const XlsxRelationship* document = FindRelationshipByType(root, "/officeDocument");
  if (!document || !package.Has(document->target)) return kOpenEntryMissing;
  entry = document->target;
  return kOpenOk;
}

std::string TargetOfType(const std::vector<XlsxRelationship>& relationships, std::string_view typeSuffix) {
  const XlsxRelationship* found = FindRelationshipByType(relationships, typeSuffix);
  return found ? found->target : std::string();
}

int ReadSheets(XlsxPackage& package, TXLSWorkbook& book, const std::vector<XlsxSheetEntry>& entries,
               const std::vector<XlsxRelationship>& relationships, XlsxSheetContext& context) {
  for (const XlsxSheetEntry& entry : entries) {
    const XlsxRelationship* target = FindRelationshipById(relationships, entry.relationshipId);
    if (!target) return kOpenEntryMissing;
    const bool worksheet = target->type.ends_with("/worksheet");
    if (!worksheet && !target->type.ends_with("/chartsheet")) {
      book.NoteSaveLoss(kLossSkippedSheets);  // macro and dialog sheets
      continue;
    }
    IXLSWorksheet* sheet = book.Worksheets().Add();
    if (!entry.name.empty()) sheet->SetName(entry.name);
    if (entry.hidden) sheet->SetVisibility(SheetVisibility::Hidden);
    if (!worksheet) {
      sheet->SetType(SheetType::Chart);
      continue;
    }
    if (!package.Has(target->target)) return kOpenEntryMissing;
    if (const int read = ReadSheetEntry(package, target->target, *sheet, context); read != kOpenOk) return read;
  }
  return kOpenOk;
}

}  // namespace

int ReadXlsxWorkbook(TXLSWorkbook& book, std::span<const std::uint8_t> bytes) {
  XlsxPackage package;
  if (const int opened = package.Open(bytes); opened != kOpenOk) return opened;
  std::string workbookEntry;
  if (const int found = FindWorkbookEntry(package, workbookEntry); found != kOpenOk) return found;

  std::vector<XlsxRelationship> relationships;
  if (const int read = ReadRelationships(package, workbookEntry, relationships); read != kOpenOk) return read;
  std::vector<XlsxSheetEntry> entries;
  bool date1904 = false;
  if (const int read = ReadWorkbookEntry(package, workbookEntry, entries, date1904); read != kOpenOk) return read;
  if (entries.empty()) return kOpenEntryMissing;
  book.SetDate1904(date1904);

  std::vector<std::u16string> sharedStrings;
  const std::string stringsEntry = TargetOfType(relationships, "/sharedStrings");
  if (!stringsEntry.empty() && package.Has(stringsEntry)) {
    if (const int read = ReadSharedStringsEntry(package, stringsEntry, sharedStrings); read != kOpenOk) return read;
  }
  std::vector<std::uint32_t> cellFormats;
  const int styled = ReadStyles(package, TargetOfType(relationships, "/styles"), TargetOfType(relationships, "/theme"),
                                book, cellFormats);
  if (styled != kOpenOk) return styled;

  XlsxSheetContext context{0, sharedStrings.size(), cellFormats};
  context.firstSharedString = book.Strings().AdoptUnused(sharedStrings);
  if (const int read = ReadSheets(package, book, entries, relationships, context); read != kOpenOk) return read;
  if (context.sawFormula) book.NoteSaveLoss(kLossFormulaValues);
  // Fonts, borders, column widths and the rest of the file's look are not
  // read: a BIFF8 copy is never the whole file.
  book.NoteSaveLoss(kLossUnreadRecords);
  book.SetFormatRead(FileFormat::Xlsx);
  book.AdvanceRecalcStamp();
  return kOpenOk;
}

}  // namespace xls
