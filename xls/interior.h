#pragma once
// Views bound to one range that act on the formats of its cells: the fill
// (`TXLSInterior`, used through `IXLSInterior`) and the font (`TXLSFont`,
// `IXLSFont`). They hold nothing but the range.
//
// Fill colours are palette colour indexes 1-56, xlNone (-4142, or 0) for no
// fill and xlAutomatic (-4105) for the system colours; RGB values are
// 0x00BBGGRR.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <string>

#include "xls/fonts.h"
#include "xls/range.h"

namespace xls {

class TXLSInterior {
 public:
  explicit TXLSInterior(IXLSRange range) : range_(std::move(range)) {}

  void SetColor(std::uint32_t rgb);  // nearest palette colour
  std::uint32_t Color() const;       // 0 without fill
  void SetPatternColor(std::uint32_t rgb);
  std::uint32_t PatternColor() const;
  void SetColorIndex(int colourIndex);
  void SetPatternColorIndex(int colourIndex);
  // Automation pattern constants: xlNone, 1 solid, -4125 50% grey, -4126 75%,
  // -4124 25%, -4128 horizontal, -4166 vertical, -4121 down, -4162 up,
  // 9-16 and 17, 18 (the BIFF hatches of the same numbers).
  void SetPattern(int pattern);
  int ColorIndex() const;
  int PatternColorIndex() const;
  int Pattern() const;

 private:
  const TXLSXF& TopLeftXF() const;
  std::uint32_t ColourOfIndex(int colourIndex) const;

  IXLSRange range_;
};

class TXLSFont {
 public:
  explicit TXLSFont(IXLSRange range) : range_(std::move(range)) {}

  std::u16string Name() const;
  void SetName(const std::u16string& name);
  double Size() const;  // points
  void SetSize(double points);
  bool Bold() const;
  void SetBold(bool bold);
  bool Italic() const;
  void SetItalic(bool italic);
  bool Strikethrough() const;
  void SetStrikethrough(bool strikethrough);
  int Underline() const;  // 0 none, 1 single, 2 double
  void SetUnderline(int underline);
  int ColorIndex() const;  // 1-56, or xlAutomatic
  void SetColorIndex(int colourIndex);

 private:
  const TXLSFontData& TopLeftFont() const;
  template <typename Change>
  void ChangeFont(Change change);

  IXLSRange range_;
};

}  // namespace xls
