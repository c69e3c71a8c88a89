// Globals B: the supporting workbooks and external sheet references, the
// defined names (the workbook's own, then per sheet its print area, print
// titles and autofilter database), the drawing group and the EOF.

#include "xls/biff_globals.h"
#include "xls/workbook.h"

namespace xls {

namespace {

constexpr std::uint8_t kPtgArea3d = 0x3B;
constexpr std::uint8_t kPtgList = 0x10;
constexpr std::uint16_t kNameHidden = 0x0001;
constexpr std::uint16_t kNameBuiltIn = 0x0020;
constexpr char16_t kBuiltInPrintArea = 0x06;
constexpr char16_t kBuiltInPrintTitles = 0x07;
constexpr char16_t kBuiltInFilterDatabase = 0x0D;

// The external references as written: this workbook's own SUPBOOK first,
// then the others, plus sheet references that the built-in names need.
class Externals {
 public:
  explicit Externals(const TXLSWorkbook& book) : data_(book.Externals()), sheetCount_(book.Worksheets().Count()) {
    for (std::size_t i = 0; i < data_.supBooks.size(); ++i) {
      if (data_.supBooks[i].self) self_ = static_cast<std::uint16_t>(i);
    }
    if (self_ < 0) {
      TXLSSupBook own;
      own.self = true;
      data_.supBooks.insert(data_.supBooks.begin(), std::move(own));
      for (TXLSExternSheetRef& ref : data_.sheets) ++ref.supBook;
      self_ = 0;
    }
  }

  // The EXTERNSHEET index of a sheet of this workbook (0-based position).
  std::uint16_t SheetRef(int position) {
    const auto p = static_cast<std::uint16_t>(position);
    const TXLSExternSheetRef wanted{static_cast<std::uint16_t>(self_), p, p};
    for (std::size_t i = 0; i < data_.sheets.size(); ++i) {
      if (data_.sheets[i] == wanted) return static_cast<std::uint16_t>(i);
    }
    data_.sheets.push_back(wanted);
    return static_cast<std::uint16_t>(data_.sheets.size() - 1);
  }

  void Write(TXLSBlobList& out) const {
    for (const TXLSSupBook& book : data_.supBooks) {
      if (book.self) {
        out.Begin(rec::kSupBook);
        out.U16(static_cast<std::uint16_t>(sheetCount_));
        out.U16(0x0401);
        out.End();
      } else {
        out.Record(rec::kSupBook, book.body);
      }
      for (const TXLSRecord& name : book.externNames) out.Record(name.id, name.body);
    }
    out.Begin(rec::kExternSheet);
    out.U16(static_cast<std::uint16_t>(data_.sheets.size()));
    for (const TXLSExternSheetRef& ref : data_.sheets) {
      out.U16(ref.supBook);
      out.U16(ref.firstSheet);
      out.U16(ref.lastSheet);
    }
    out.End();
  }

 private:
  TXLSExternals data_;
  int sheetCount_;
  int self_ = -1;
};

void WriteName(TXLSBlobList& out, const TXLSName& name) {
  const std::u16string_view text = std::u16string_view(name.name).substr(0, 255);
  auto shortText = [](const std::u16string& s) { return std::u16string_view(s).substr(0, 255); };
  out.Begin(rec::kName);
  out.U16(name.options);
  out.U8(name.shortcut);
  out.U8(static_cast<std::uint8_t>(text.size()));
  out.U16(static_cast<std::uint16_t>(name.formula.size()));
  out.U16(0);
  out.U16(name.sheet);
  for (const std::u16string* s : {&name.menuText, &name.description, &name.helpText, &name.statusText})
    out.U8(static_cast<std::uint8_t>(shortText(*s).size()));
  out.U8(1);
  out.Utf16(text);
  out.Bytes(name.formula);
  for (const std::u16string* s : {&name.menuText, &name.description, &name.helpText, &name.statusText}) {
    if (s->empty()) continue;
    out.U8(1);
    out.Utf16(shortText(*s));
  }
  out.End();
}

void AppendArea3d(std::vector<std::uint8_t>& formula, std::uint16_t ref, const TXLSArea& area) {
  auto u16 = [&formula](std::uint16_t v) {
    formula.push_back(static_cast<std::uint8_t>(v));
    formula.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  const bool first = formula.empty();
  formula.push_back(kPtgArea3d);
  u16(ref);
  u16(area.firstRow);
  u16(area.lastRow);
  u16(area.firstColumn);
  u16(area.lastColumn);
  if (!first) formula.push_back(kPtgList);
}

TXLSName BuiltInName(char16_t code, int position, std::uint16_t options) {
  TXLSName name;
  name.options = static_cast<std::uint16_t>(kNameBuiltIn | options);
  name.name = std::u16string(1, code);
  name.sheet = static_cast<std::uint16_t>(position);
  return name;
}

}  // namespace

void WriteGlobalsB(TXLSBlobList& out, const TXLSWorkbook& book) {
  Externals externals(book);
  std::vector<TXLSName> builtIns;
  std::vector<TXLSName> filterDatabases;
  const IXLSWorkSheets& sheets = book.Worksheets();
  for (int position = 1; position <= sheets.Count(); ++position) {
    const TXLSSheetParts& parts = sheets.Entries(position)->Parts();
    const TXLSPageSetup& setup = parts.pageSetup;
    if (!setup.printAreas.empty()) {
      TXLSName name = BuiltInName(kBuiltInPrintArea, position, 0);
      for (const TXLSArea& area : setup.printAreas) AppendArea3d(name.formula, externals.SheetRef(position - 1), area);
      builtIns.push_back(std::move(name));
    }
    if (setup.printTitleRows || setup.printTitleColumns) {
      TXLSName name = BuiltInName(kBuiltInPrintTitles, position, 0);
      if (setup.printTitleColumns)
        AppendArea3d(name.formula, externals.SheetRef(position - 1), *setup.printTitleColumns);
      if (setup.printTitleRows) AppendArea3d(name.formula, externals.SheetRef(position - 1), *setup.printTitleRows);
      builtIns.push_back(std::move(name));
    }
    if (parts.autofilterArea) {
      TXLSName name = BuiltInName(kBuiltInFilterDatabase, position, kNameHidden);
      AppendArea3d(name.formula, externals.SheetRef(position - 1), *parts.autofilterArea);
      filterDatabases.push_back(std::move(name));
    }
  }
  externals.Write(out);
  for (const TXLSName& name : book.Names()) WriteName(out, name);
  for (const TXLSName& name : builtIns) WriteName(out, name);
  for (const TXLSName& name : filterDatabases) WriteName(out, name);
  for (const TXLSRecord& record : book.DrawingGroup()) out.Record(record.id, record.body);
  out.Record(rec::kEof);
}

}  // namespace xls
