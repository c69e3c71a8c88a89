#include "xls/biff_writer.h"

#include <filesystem>
#include <new>

#include "platform/codepage.h"
#include "xls/biff_globals.h"
#include "xls/biff_sheet.h"
#include "xls/cfb/compound_file_writer.h"
#include "xls/cfb/file_storage.h"
#include "xls/cfb/result_codes.h"
#include "xls/workbook.h"

namespace xls {

namespace {
constexpr std::size_t kStreamPadding = 512;

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

void Append(std::vector<std::uint8_t>& stream, const TXLSBlobList& list) {
  stream.insert(stream.end(), list.Data().begin(), list.Data().end());
}
}  // namespace

bool TXLSWriter::WritesVba() const {
  return workbook_.VbaStorage() != nullptr && workbook_.FormatRead() == workbook_.SaveFormat();
}

std::vector<std::uint8_t> TXLSWriter::BuildStream() {
  IXLSWorkSheets& sheets = workbook_.Worksheets();
  if (sheets.Count() == 0) sheets.Add();

  const TXLSWriteTables tables = TXLSWriteTables::Build(workbook_);
  const bool vba = WritesVba();

  TXLSBlobList globalsA;
  WriteGlobalsA(globalsA, workbook_, tables, TXLSGlobalsOptions{vba});
  TXLSBlobList globalsB;
  WriteGlobalsB(globalsB, workbook_);

  std::vector<TXLSSheetLists> sheetLists(static_cast<std::size_t>(sheets.Count()));
  std::vector<std::uint32_t> offsets;
  std::size_t offset = globalsA.Size() + BoundSheetsSize(workbook_) + globalsB.Size();
  for (int position = 1; position <= sheets.Count(); ++position) {
    TXLSSheetLists& lists = sheetLists[static_cast<std::size_t>(position - 1)];
    const IXLSWorksheet& sheet = *sheets.Entries(position);
    BuildSheetBody(lists, sheet, tables, TXLSSheetWriteOptions{vba});
    BuildSheetHead(lists, sheet, static_cast<std::uint32_t>(offset));
    offsets.push_back(static_cast<std::uint32_t>(offset));
    offset += lists.Size();
  }
  WriteBoundSheets(globalsA, workbook_, offsets);

  std::vector<std::uint8_t> stream;
  stream.reserve((offset / kStreamPadding + 1) * kStreamPadding);
  Append(stream, globalsA);
  Append(stream, globalsB);
  for (const TXLSSheetLists& lists : sheetLists) {
    for (const TXLSBlobList* list : {&lists.head, &lists.settings, &lists.cells, &lists.drawing, &lists.tail})
      Append(stream, *list);
  }
  stream.resize((stream.size() + kStreamPadding - 1) / kStreamPadding * kStreamPadding, 0);
  return stream;
}

int TXLSWriter::SaveAs(std::u16string_view path) {
  path = TrimBlanks(path);
  if (path.empty()) return kSaveEmptyPath;
  const std::filesystem::path target(platform::Utf16ToUtf8(path));

  cfb::CompoundFileWriter file;
  if (const int created = file.Create(target); created != cfb::kOk) return kSaveCannotCreate;
  try {
    if (const int added = file.AddStream(file.Root(), u"Workbook", BuildStream()); added != cfb::kOk) return added;
    // A VBA project that cannot be copied costs the macros, not the workbook.
    if (WritesVba()) workbook_.VbaStorage()->WriteTo(file, file.Root());
  } catch (const std::bad_alloc&) {
    return kSaveCannotCreate;  // the writer's temporary file goes; the old file stays
  }
  return file.Commit();
}

}  // namespace xls
