// Defined names (NAME). User-defined names and most built-in ones are kept
// for the writer; the print areas and print titles become page setup of
// their sheets, and the autofilter database the sheet's autofilter area.

#include <map>

#include "xls/biff_formula_tokens.h"
#include "xls/biff_record_ids.h"
#include "xls/biff_reader.h"

namespace xls {

namespace {

constexpr std::uint16_t kNameBuiltIn = 0x0020;
constexpr char16_t kPrintArea = 0x06;
constexpr char16_t kPrintTitles = 0x07;
constexpr char16_t kFilterDatabase = 0x0D;
constexpr std::size_t kNameHeaderSize = 14;

TXLSArea Area(int firstRow, int lastRow, int firstColumn, int lastColumn) {
  if (firstRow > lastRow) std::swap(firstRow, lastRow);
  if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);
  return TXLSArea{static_cast<std::uint16_t>(firstRow), static_cast<std::uint16_t>(lastRow),
                  static_cast<std::uint8_t>(std::min(firstColumn, kColumnCount - 1)),
                  static_cast<std::uint8_t>(std::min(lastColumn, kColumnCount - 1))};
}

}  // namespace

void TXLSReader::OnName(const TXLSRecordGroup& group) {
  std::vector<std::uint8_t> bytes;
  for (const auto& body : group.bodies) bytes.insert(bytes.end(), body.begin(), body.end());
  if (Biff8()) {
    EnterName(TXLSBody(bytes));
  } else {
    collectedNames_.push_back(std::move(bytes));  // their references need the whole globals
  }
}

void TXLSReader::EnterCollectedNames() {
  for (const std::vector<std::uint8_t>& bytes : collectedNames_) EnterName(TXLSBody(bytes));
  collectedNames_.clear();
}

std::vector<TXLSArea> TXLSReader::NameAreas(std::span<const std::uint8_t> formula) const {
  std::vector<TXLSArea> areas;
  const TXLSBody tokens(formula);
  for (std::size_t at = 0; at < tokens.Size();) {
    const std::uint8_t token = tokens.U8(at);
    const std::size_t size = FormulaTokenSize(formula, at, Biff8());
    if (size == 0) break;
    const std::uint8_t base = token >= 0x20 ? static_cast<std::uint8_t>((token & 0x1F) | 0x20) : token;
    if (Biff8() && base == 0x3B) {
      areas.push_back(Area(tokens.U16(at + 3), tokens.U16(at + 5), tokens.U16(at + 7) & 0xFF, tokens.U16(at + 9) & 0xFF));
    } else if (Biff8() && base == 0x3A) {
      const int row = tokens.U16(at + 3), column = tokens.U16(at + 5) & 0xFF;
      areas.push_back(Area(row, row, column, column));
    } else if (!Biff8() && base == 0x3B) {
      areas.push_back(Area(tokens.U16(at + 15) & 0x3FFF, tokens.U16(at + 17) & 0x3FFF, tokens.U8(at + 19),
                           tokens.U8(at + 20)));
    } else if (!Biff8() && base == 0x3A) {
      const int row = tokens.U16(at + 15) & 0x3FFF, column = tokens.U8(at + 17);
      areas.push_back(Area(row, row, column, column));
    }
    at += size;
  }
  return areas;
}

std::vector<std::uint8_t> TXLSReader::NameFormula(std::span<const std::uint8_t> formula) {
  if (Biff8()) return {formula.begin(), formula.end()};
  std::vector<std::uint8_t> converted;
  if (ConvertBiff5Formula(formula, Decoder(), SheetReferences(), converted)) return converted;
  return {kPtgErrToken, kErrorRef};  // the name stays, its definition cannot be carried over
}

void TXLSReader::EnterName(const TXLSBody& body) {
  if (!body.Has(0, kNameHeaderSize)) return;
  const std::uint16_t options = body.U16(0);
  const std::size_t nameLength = body.U8(3);
  const std::size_t formulaLength = body.U16(4);
  const std::uint16_t tab = body.U16(8);
  std::size_t at = kNameHeaderSize;
  std::u16string name;
  if (Biff8()) {
    name = ReadBiffChars(body, at + 1, nameLength, body.U8(at), Decoder(), &at);
  } else {
    name = ReadBiffChars(body, at, nameLength, 0, Decoder(), &at);
  }
  const std::span<const std::uint8_t> formula = body.Slice(at, formulaLength);
  at += formulaLength;

  // Print areas, print titles and the autofilter database become settings
  // of their sheets; one whose areas cannot be read (a #REF! definition) is
  // kept as it stands.
  const bool builtIn = (options & kNameBuiltIn) && name.size() == 1;
  const bool derived = builtIn && (name[0] == kPrintArea || name[0] == kPrintTitles || name[0] == kFilterDatabase);
  const std::vector<TXLSArea> areas = derived ? NameAreas(formula) : std::vector<TXLSArea>{};
  IXLSWorksheet* owner = SheetOfTab(tab - 1);
  if (derived && name[0] == kFilterDatabase && owner && !areas.empty()) {
    owner->Parts().autofilterArea = areas.front();
    RecordNameSlot(NameSlot::FilterDatabase, tab);
    return;
  }
  if (derived && name[0] != kFilterDatabase && tab > 0 && !areas.empty()) {
    printNames_.push_back({name[0] == kPrintTitles, tab, areas});  // applied once the sheets are known
    RecordNameSlot(name[0] == kPrintTitles ? NameSlot::PrintTitles : NameSlot::PrintArea, tab);
    return;
  }

  TXLSName entry;
  entry.options = options;
  entry.shortcut = body.U8(2);
  entry.name = std::move(name);
  if (tab != 0) {
    const IXLSWorksheet* sheet = SheetOfTab(tab - 1);
    if (!sheet) {  // local to a sheet that was not read (a macro sheet)
      RecordNameSlot(NameSlot::Dropped);
      return;
    }
    entry.sheet = static_cast<std::uint16_t>(book_.Worksheets().PositionOf(sheet));
  }
  entry.formula = NameFormula(formula);
  std::u16string* texts[] = {&entry.menuText, &entry.description, &entry.helpText, &entry.statusText};
  for (int i = 0; i < 4; ++i) {
    const std::size_t length = body.U8(10 + static_cast<std::size_t>(i));
    if (length == 0) continue;
    if (Biff8()) {
      *texts[i] = ReadBiffChars(body, at + 1, length, body.U8(at), Decoder(), &at);
    } else {
      *texts[i] = ReadBiffChars(body, at, length, 0, Decoder(), &at);
    }
  }
  book_.Names().push_back(std::move(entry));
  RecordNameSlot(NameSlot::Kept);
}

void TXLSReader::RecordNameSlot(NameSlot slot, int tab) {
  nameSlots_.push_back({slot, tab, slot == NameSlot::Kept ? book_.Names().size() - 1 : 0});
}

void TXLSReader::ApplyPrintName(const PrintName& name, TXLSPageSetup& setup) const {
  if (name.areas.empty()) return;
  if (!name.titles) {
    setup.printAreas = name.areas;
    return;
  }
  for (const TXLSArea& area : name.areas) {
    if (area.firstColumn == 0 && area.lastColumn == kColumnCount - 1) {
      setup.printTitleRows = area;
    } else if (area.firstRow == 0 && area.lastRow == kRowCount - 1) {
      setup.printTitleColumns = area;
    }
  }
}

// The numbers the writer gives the names: the kept ones in their order, then
// per sheet its print area and print titles, then the autofilter databases.
void TXLSReader::BuildNameMap() {
  const IXLSWorkSheets& sheets = book_.Worksheets();
  std::uint16_t next = static_cast<std::uint16_t>(book_.Names().size() + 1);
  std::map<const IXLSWorksheet*, std::uint16_t> areaNumber, titlesNumber, filterNumber;
  for (int position = 1; position <= sheets.Count(); ++position) {
    const IXLSWorksheet* sheet = sheets.Entries(position);
    TXLSPageSetup setup;  // what the print names will make of this sheet's page setup
    for (const PrintName& name : printNames_) {
      if (SheetOfTab(name.tab - 1) == sheet) ApplyPrintName(name, setup);
    }
    if (!setup.printAreas.empty()) areaNumber[sheet] = next++;
    if (setup.printTitleRows || setup.printTitleColumns) titlesNumber[sheet] = next++;
  }
  for (int position = 1; position <= sheets.Count(); ++position) {
    const IXLSWorksheet* sheet = sheets.Entries(position);
    if (sheet->Parts().autofilterArea) filterNumber[sheet] = next++;
  }
  auto lookUp = [](const std::map<const IXLSWorksheet*, std::uint16_t>& numbers, const IXLSWorksheet* sheet) {
    const auto found = numbers.find(sheet);
    return found == numbers.end() ? std::uint16_t{0} : found->second;
  };
  nameMap_.clear();
  for (const NameSlotInfo& slot : nameSlots_) {
    const IXLSWorksheet* sheet = SheetOfTab(slot.tab - 1);
    switch (slot.kind) {
      case NameSlot::Kept:
        nameMap_.push_back(static_cast<std::uint16_t>(slot.kept + 1));
        break;
      case NameSlot::PrintArea:
        nameMap_.push_back(lookUp(areaNumber, sheet));
        break;
      case NameSlot::PrintTitles:
        nameMap_.push_back(lookUp(titlesNumber, sheet));
        break;
      case NameSlot::FilterDatabase:
        nameMap_.push_back(lookUp(filterNumber, sheet));
        break;
      case NameSlot::Dropped:
        nameMap_.push_back(0);
        break;
    }
  }
  renumberNames_ = false;
  for (std::size_t i = 0; i < nameMap_.size(); ++i) renumberNames_ = renumberNames_ || nameMap_[i] != i + 1;
  if (!renumberNames_) return;
  // External-name references through this workbook's own EXTERNSHEET
  // entries count its names too.
  const TXLSExternals& externals = book_.Externals();
  selfExternSheets_.clear();
  for (const TXLSExternSheetRef& ref : externals.sheets)
    selfExternSheets_.push_back(ref.supBook < externals.supBooks.size() && externals.supBooks[ref.supBook].self);
  for (TXLSName& name : book_.Names()) {
    if (!RenumberFormulaNames(name.formula)) name.formula = {kPtgErrToken, kErrorRef};
  }
}

bool TXLSReader::RenumberFormulaNames(std::span<std::uint8_t> tokens) const {
  return !renumberNames_ || RenumberNames(tokens, nameMap_, selfExternSheets_);
}

// References from converted BIFF5 formulas to sheets of this workbook.
SheetReferenceFunction TXLSReader::SheetReferences() {
  return [this](int firstTab, int lastTab) -> int {
    const IXLSWorksheet* first = SheetOfTab(firstTab);
    const IXLSWorksheet* last = SheetOfTab(lastTab);
    if (!first || !last) return -1;
    TXLSExternals& externals = book_.Externals();
    std::size_t self = externals.supBooks.size();
    for (std::size_t i = 0; i < externals.supBooks.size(); ++i) {
      if (externals.supBooks[i].self) self = i;
    }
    if (self == externals.supBooks.size()) {
      externals.supBooks.push_back(TXLSSupBook{true, {}, {}});
    }
    const TXLSExternSheetRef wanted{static_cast<std::uint16_t>(self),
                                    static_cast<std::uint16_t>(book_.Worksheets().PositionOf(first) - 1),
                                    static_cast<std::uint16_t>(book_.Worksheets().PositionOf(last) - 1)};
    for (std::size_t i = 0; i < externals.sheets.size(); ++i) {
      if (externals.sheets[i] == wanted) return static_cast<int>(i);
    }
    externals.sheets.push_back(wanted);
    return static_cast<int>(externals.sheets.size() - 1);
  };
}

}  // namespace xls
