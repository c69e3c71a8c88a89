#include "xls/interior.h"

#include <cmath>

#include "xls/format_edit.h"
#include "xls/workbook.h"
#include "xls/worksheet.h"

namespace xls {

namespace {
constexpr int kPatternNone = 0;
constexpr int kPatternSolid = 1;

// Automation pattern constants and the BIFF pattern they stand for.
struct PatternCode {
  int argument;
  int pattern;
};
constexpr PatternCode kPatterns[] = {
    {xlNone, 0}, {1, 1},   {-4125, 2}, {-4126, 3}, {-4124, 4}, {-4128, 5}, {-4166, 6}, {-4121, 7}, {-4162, 8},
    {9, 9},      {10, 10}, {11, 11},   {12, 12},   {13, 13},   {14, 14},   {15, 15},   {16, 16},   {17, 17},
    {18, 18},
};

// The palette entry a colour index argument stands for: -1 ignore the call,
// 0 remove, else the entry.
int EntryOfArgument(int colourIndex, int automaticEntry) {
  if (colourIndex == 0 || colourIndex == xlNone) return 0;
  if (colourIndex >= 1 && colourIndex <= kUserColourCount) return colourIndex + 7;
  if (colourIndex == xlAutomatic) return automaticEntry;
  return -1;
}

int ColourIndexOfEntry(int entry) {
  if (entry == 0) return xlNone;
  if (entry >= 1 && entry <= 7) return entry;
  if (entry == kSystemForeground || entry == kSystemBackground) return xlAutomatic;
  return entry - 7;
}

void RemoveFill(TXLSXF& xf) {
  xf.pattern = kPatternNone;
  xf.SetForeground(kSystemForeground);
  xf.SetBackground(kSystemBackground);
}
}  // namespace

const TXLSXF& TXLSInterior::TopLeftXF() const {
  const IXLSWorksheet& sheet = range_->Sheet();
  const TXLSArea& area = range_->Area();
  return sheet.Workbook().XFList().Entry(sheet.EffectiveXF(area.firstRow, area.firstColumn));
}

void TXLSInterior::SetColorIndex(int colourIndex) {
  const int entry = EntryOfArgument(colourIndex, kSystemBackground);
  if (entry < 0) return;
  ChangeFormats(range_->Sheet(), range_->Area(), [entry](TXLSXF& xf) {
    if (entry == 0) return RemoveFill(xf);
    if (xf.pattern == kPatternNone) {
      xf.SetBackground(xf.Foreground());
      xf.pattern = kPatternSolid;
      xf.SetForeground(entry);
    } else if (xf.pattern == kPatternSolid) {
      xf.SetForeground(entry);
    } else {
      xf.SetBackground(entry);
    }
    xf.usedAttributes |= kUsedFill;
  });
}

void TXLSInterior::SetPatternColorIndex(int colourIndex) {
  const int entry = EntryOfArgument(colourIndex, kSystemForeground);
  if (entry < 0) return;
  ChangeFormats(range_->Sheet(), range_->Area(), [entry](TXLSXF& xf) {
    if (entry == 0) return RemoveFill(xf);
    if (xf.pattern == kPatternNone) {
      xf.SetForeground(xf.Background());
      xf.pattern = kPatternSolid;
      xf.SetBackground(entry);
    } else if (xf.pattern == kPatternSolid) {
      xf.SetBackground(entry);
    } else {
      xf.SetForeground(entry);
    }
    xf.usedAttributes |= kUsedFill;
  });
}

void TXLSInterior::SetPattern(int pattern) {
  for (const PatternCode& code : kPatterns) {
    if (code.argument != pattern) continue;
    const int biffPattern = code.pattern;
    ChangeFormats(range_->Sheet(), range_->Area(), [biffPattern](TXLSXF& xf) {
      xf.pattern = static_cast<std::uint8_t>(biffPattern);
      xf.usedAttributes |= kUsedFill;
    });
    return;
  }
}

int TXLSInterior::ColorIndex() const {
  const TXLSXF& xf = TopLeftXF();
  const int entry = xf.pattern == kPatternNone ? 0 : xf.pattern == kPatternSolid ? xf.Foreground() : xf.Background();
  return ColourIndexOfEntry(entry);
}

int TXLSInterior::PatternColorIndex() const {
  const TXLSXF& xf = TopLeftXF();
  const int entry = xf.pattern == kPatternNone ? 0 : xf.pattern == kPatternSolid ? xf.Background() : xf.Foreground();
  return ColourIndexOfEntry(entry);
}

int TXLSInterior::Pattern() const {
  const int pattern = TopLeftXF().pattern;
  for (const PatternCode& code : kPatterns) {
    if (code.pattern == pattern) return code.argument;
  }
  return xlNone;
}

std::uint32_t TXLSInterior::ColourOfIndex(int colourIndex) const {
  if (colourIndex == xlNone) return 0;
  if (colourIndex == xlAutomatic) return kSystemWindowTextColour;
  const TXLSPalette& palette = range_->Sheet().Workbook().Palette();
  return colourIndex <= 7 ? palette.Entry(colourIndex) : palette.Colour(colourIndex);
}

void TXLSInterior::SetColor(std::uint32_t rgb) {
  SetColorIndex(range_->Sheet().Workbook().Palette().NearestEntry(rgb) - 7);
}

std::uint32_t TXLSInterior::Color() const { return ColourOfIndex(ColorIndex()); }

void TXLSInterior::SetPatternColor(std::uint32_t rgb) {
  SetPatternColorIndex(range_->Sheet().Workbook().Palette().NearestEntry(rgb) - 7);
}

std::uint32_t TXLSInterior::PatternColor() const { return ColourOfIndex(PatternColorIndex()); }

// ---- Font -----------------------------------------------------------------------

const TXLSFontData& TXLSFont::TopLeftFont() const {
  const IXLSWorksheet& sheet = range_->Sheet();
  const TXLSArea& area = range_->Area();
  const TXLSWorkbook& book = sheet.Workbook();
  return book.Fonts().Font(book.XFList().Entry(sheet.EffectiveXF(area.firstRow, area.firstColumn)).font);
}

template <typename Change>
void TXLSFont::ChangeFont(Change change) {
  TXLSWorkbook& book = range_->Sheet().Workbook();
  ChangeFormats(range_->Sheet(), range_->Area(), [&book, &change](TXLSXF& xf) {
    TXLSFontData font = book.Fonts().Font(xf.font);
    change(font);
    xf.font = static_cast<std::uint16_t>(book.Fonts().FindOrAdd(font));
    xf.usedAttributes |= kUsedFont;
  });
}

std::u16string TXLSFont::Name() const { return TopLeftFont().name; }
void TXLSFont::SetName(const std::u16string& name) {
  ChangeFont([&name](TXLSFontData& font) { font.name = name; });
}
double TXLSFont::Size() const { return TopLeftFont().height / 20.0; }
void TXLSFont::SetSize(double points) {
  if (!(points >= 1 && points <= 409)) return;
  ChangeFont([points](TXLSFontData& font) { font.height = static_cast<std::uint16_t>(std::lround(points * 20)); });
}
bool TXLSFont::Bold() const { return TopLeftFont().bold; }
void TXLSFont::SetBold(bool bold) {
  ChangeFont([bold](TXLSFontData& font) { font.bold = bold; });
}
bool TXLSFont::Italic() const { return TopLeftFont().italic; }
void TXLSFont::SetItalic(bool italic) {
  ChangeFont([italic](TXLSFontData& font) { font.italic = italic; });
}
bool TXLSFont::Strikethrough() const { return TopLeftFont().strikeout; }
void TXLSFont::SetStrikethrough(bool strikethrough) {
  ChangeFont([strikethrough](TXLSFontData& font) { font.strikeout = strikethrough; });
}
int TXLSFont::Underline() const { return TopLeftFont().underline; }
void TXLSFont::SetUnderline(int underline) {
  if (underline < 0 || underline > 2) return;
  ChangeFont([underline](TXLSFontData& font) { font.underline = static_cast<std::uint8_t>(underline); });
}
int TXLSFont::ColorIndex() const {
  const int colour = TopLeftFont().colour;
  return colour == 0 || colour >= kSystemForeground ? xlAutomatic : ColourIndexOfEntry(colour);
}
void TXLSFont::SetColorIndex(int colourIndex) {
  int entry = 0;
  if (colourIndex >= 1 && colourIndex <= kUserColourCount) {
    entry = colourIndex + 7;
  } else if (colourIndex != xlAutomatic) {
    return;
  }
  ChangeFont([entry](TXLSFontData& font) { font.colour = static_cast<std::uint16_t>(entry); });
}

}  // namespace xls
