#include "xls/xlsx_sheet.h"

#include <charconv>
#include <chrono>
#include <cstdlib>

#include <optional>

#include "platform/codepage.h"
#include "xls/workbook.h"
#include "xls/xlsx_package_entries.h"
#include "xls/result_codes.h"

namespace xls {

namespace {

constexpr double kDays1904 = 1462;  // day count of 1 January 1904 in the 1900 system

// A count or index as a sheet entry writes it: decimal digits only, to the
// end of the text; nullopt for anything else. Read by hand because it runs
// several times for every cell.
constexpr long kLargestIndex = 1L << 40;  // far past any row, style or string index

std::optional<long> ReadIndex(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9' || value > kLargestIndex) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<long> ToLong(const char* text) { return text ? ReadIndex(text) : std::nullopt; }

// The t attribute of a cell; anything unknown reads as a number.
enum class CellType { Number, SharedString, InlineString, FormulaString, Boolean, Date, Error };

CellType CellTypeOf(std::string_view type) {
  if (type == "s") return CellType::SharedString;
  if (type == "inlineStr") return CellType::InlineString;
  if (type == "str") return CellType::FormulaString;
  if (type == "b") return CellType::Boolean;
  if (type == "d") return CellType::Date;
  if (type == "e") return CellType::Error;
  return CellType::Number;
}

class SheetHandler : public XlsxXmlHandler {
 public:
  SheetHandler(IXLSWorksheet& sheet, XlsxSheetContext& context) : sheet_(sheet), context_(context) {}

  // Enters the texts of the cells that carry their own text (inline strings,
  // text results of formulas) into the workbook's string table. They wait
  // for the end of the entry: entered one by one between pieces of XML, each
  // lookup would find the table pushed out of the processor's caches by the
  // parse. The last text of a cell wins, as it would have when entered at
  // once; a cell given another value later holds that value.
  void EnterWaitingTexts() {
    sheet_.Workbook().Strings().Reserve(waiting_.size());
    for (auto text = waiting_.rbegin(); text != waiting_.rend(); ++text) {
      TXLSCellRef* cell = sheet_.CellHeap().Find(text->row, text->column);
      if (!cell || cell->kind != CellKind::Text || cell->stringIndex >= 0) continue;
      sheet_.SetCellText(*cell, std::u16string_view(waitingChars_).substr(text->at, text->size));
    }
    waiting_.clear();
    waitingChars_.clear();
  }

  void Start(std::string_view name, const char** attributes) override {
    if (inCell_) {
      if (name == "v") inValue_ = true;
      if (name == "f") context_.sawFormula = true;
      if (name == "is") inInline_ = true;
      if (inInline_) inline_.Start(name);
      return;
    }
    if (name == "row") {
      const auto r = ToLong(XmlAttribute(attributes, "r"));
      row_ = r ? static_cast<int>(*r - 1) : row_ + 1;
      column_ = -1;
    } else if (name == "c") {
      StartCell(attributes);
    }
  }

  void End(std::string_view name) override {
    if (!inCell_) return;
    if (name == "c") return EndCell();
    if (name == "v") inValue_ = false;
    if (inInline_) inline_.End(name);
    if (name == "is") inInline_ = false;
  }

  void Text(std::string_view text) override {
    if (inValue_) value_.append(text);
    if (inInline_) inline_.Text(text);
  }

 private:
  void StartCell(const char** attributes) {
    inCell_ = true;
    value_.clear();
    inline_.Clear();
    type_ = CellType::Number;
    const char* reference = nullptr;
    const char* styleText = nullptr;
    for (const char** at = attributes; at && *at; at += 2) {  // one pass: a sheet has a cell per value
      const std::string_view name = XmlLocalName(at[0]);
      if (name == "t") type_ = CellTypeOf(at[1]);
      else if (name == "r") reference = at[1];
      else if (name == "s") styleText = at[1];
    }
    int row = row_, column = column_ + 1;
    if (reference && !ParseCellReference(reference, row, column)) row = -1;
    cellRow_ = row;
    column_ = column;
    const auto style = ToLong(styleText);
    xf_ = 0;
    if (style && *style >= 0 && static_cast<std::size_t>(*style) < context_.cellFormats.size())
      xf_ = context_.cellFormats[static_cast<std::size_t>(*style)];
  }

  void EndCell() {
    inCell_ = inValue_ = inInline_ = false;
    if (cellRow_ >= kRowCount && (!value_.empty() || !inline_.Empty())) sheet_.NoteRowsLeftOut();
    if (cellRow_ < 0 || cellRow_ >= kRowCount || column_ < 0 || column_ >= kColumnCount) return;
    TXLSCellRef& cell = sheet_.GetOrCreateCell(cellRow_, column_);
    sheet_.ClearCellContent(cell);
    if (type_ == CellType::SharedString) {
      const auto index = ToLong(value_.c_str());
      if (index && *index >= 0 && static_cast<std::size_t>(*index) < context_.sharedStringCount)
        sheet_.SetCellStringIndex(cell, context_.firstSharedString + static_cast<std::int32_t>(*index));
    } else if (type_ == CellType::InlineString) {
      WaitForInlineText(cell);
    } else if (type_ == CellType::FormulaString) {
      Wait(cell, platform::Utf8ToUtf16(value_));
    } else if (type_ == CellType::Boolean) {
      if (!value_.empty()) {
        cell.kind = CellKind::Boolean;
        cell.number = value_ == "1" || value_ == "true" ? 1.0 : 0.0;
      }
    } else if (type_ == CellType::Date) {
      double days = 0;
      if (ParseIsoDate(value_, days)) SetNumber(cell, days, false);
    } else if (type_ != CellType::Error) {
      if (const std::optional<double> number = XmlNumber(value_)) SetNumber(cell, *number, true);
    }
    sheet_.SetCellXF(cell, xf_);
  }

  // A text cell whose text is entered by EnterWaitingTexts.
  void Wait(TXLSCellRef& cell, std::u16string_view text) {
    cell.kind = CellKind::Text;
    cell.stringIndex = -1;
    waiting_.push_back({cellRow_, column_, static_cast<std::uint32_t>(waitingChars_.size()),
                        static_cast<std::uint32_t>(text.size())});
    waitingChars_.append(text);
  }
  void WaitForInlineText(TXLSCellRef& cell) {
    cell.kind = CellKind::Text;
    cell.stringIndex = -1;
    const std::size_t at = waitingChars_.size();
    inline_.TakeInto(waitingChars_);
    waiting_.push_back({cellRow_, column_, static_cast<std::uint32_t>(at),
                        static_cast<std::uint32_t>(waitingChars_.size() - at)});
  }

  void SetNumber(TXLSCellRef& cell, double value, bool fromFileDays) {
    TXLSWorkbook& book = sheet_.Workbook();
    // The model counts days in the 1900 system.
    if (fromFileDays && book.Date1904() && book.NumFormats().IsDateFormat(book.XFList().EffectiveNumFormat(xf_)))
      value += kDays1904;
    cell.kind = CellKind::Number;
    cell.number = value;
  }

  IXLSWorksheet& sheet_;
  XlsxSheetContext& context_;
  int row_ = -1;
  int column_ = -1;
  int cellRow_ = -1;
  bool inCell_ = false;
  bool inValue_ = false;
  bool inInline_ = false;
  CellType type_ = CellType::Number;
  std::string value_;
  std::uint32_t xf_ = 0;
  XlsxRichTextCollector inline_;
  struct WaitingText {
    int row;
    int column;
    std::uint32_t at;  // in waitingChars_ (an entry is at most kMaxEntryBytes)
    std::uint32_t size;
  };
  std::vector<WaitingText> waiting_;
  std::u16string waitingChars_;
};

}  // namespace

bool ParseCellReference(std::string_view text, int& row, int& column) {
  std::size_t i = 0;
  long col = 0;
  while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z' && col <= 1 << 20) col = col * 26 + (text[i++] - 'A' + 1);
  if (i == 0 || i == text.size() || col > 1 << 20) return false;
  const std::optional<long> r = ReadIndex(text.substr(i));
  if (!r || *r < 1) return false;
  row = static_cast<int>(*r > (1L << 24) ? (1L << 24) : *r) - 1;
  column = static_cast<int>(col) - 1;
  return true;
}

bool ParseIsoDate(std::string_view text, double& days) {
  int year = 0;
  unsigned month = 0, day = 0;
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  auto number = [&text](std::size_t at, std::size_t length, auto& out) {
    const auto [next, error] = std::from_chars(text.data() + at, text.data() + at + length, out);
    return error == std::errc() && next == text.data() + at + length;
  };
  if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day)) return false;
  const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
  if (!date.ok()) return false;
  constexpr std::chrono::sys_days kEpoch = std::chrono::sys_days(std::chrono::year(1899) / 12 / 30);
  days = static_cast<double>((std::chrono::sys_days(date) - kEpoch).count());
  if (days < 61) days -= 1;  // the 1900 system counts a 29 February 1900 that never was
  unsigned hour = 0, minute = 0;
  double second = 0;
  if (text.size() >= 16 && text[10] == 'T' && number(11, 2, hour) && number(14, 2, minute)) {
    if (text.size() >= 19) second = XmlNumber(text.substr(17, 2)).value_or(0);
    days += (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  }
  return true;
}

int ReadSheetEntry(XlsxPackage& package, std::string_view entry, IXLSWorksheet& sheet, XlsxSheetContext& context) {
  SheetHandler handler(sheet, context);
  const int read = package.ReadEntry(entry, handler);
  handler.EnterWaitingTexts();  // what was read before a fault stays readable
  return read;
}

}  // namespace xls
