#pragma once
// The cell-format table (`TXLSXFList`): XF records in the BIFF8 sense, each
// format kept once (equal contents share one entry) with a count of the
// cells, rows, columns and styles that use it. A new table holds 21 entries:
// XF 0 the Normal style, XF 1-14 style XFs, XF 15 the default cell format and
// XF 16-20 the built-in number styles. Cells refer to XF 0 to mean XF 15.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace xls {

inline constexpr std::uint16_t kStyleParent = 0xFFF;  // parent field of a style XF
inline constexpr std::uint32_t kDefaultCellXF = 15;
inline constexpr std::uint32_t kBuiltInXFCount = 21;

// Used-attribute flags (6 bits): which attribute groups a cell XF sets itself.
enum XFUsed : std::uint8_t {
  kUsedNumFormat = 0x01,
  kUsedFont = 0x02,
  kUsedAlignment = 0x04,
  kUsedBorder = 0x08,
  kUsedFill = 0x10,
  kUsedProtection = 0x20,
};

// Alignment byte.
inline constexpr std::uint8_t kHorizontalMask = 0x07;
inline constexpr std::uint8_t kWrapBit = 0x08;
inline constexpr std::uint8_t kVerticalMask = 0x70;
inline constexpr int kVerticalShift = 4;

struct TXLSXF {
  std::uint16_t font = 0;       // index in the font table
  std::uint16_t numFormat = 0;  // number-format index
  std::uint8_t protection = 1;  // bit 0 locked, bit 1 hidden
  std::uint16_t parent = 0;     // parent style XF; kStyleParent for a style XF
  std::uint8_t alignment = 0x20;  // horizontal bits 0-2, wrap bit 3, vertical bits 4-6
  std::uint8_t rotation = 0;
  std::uint8_t indent = 0;          // indent level, shrink-to-fit, merge, reading order
  std::uint8_t usedAttributes = 0;  // XFUsed flags
  std::uint32_t borders = 0;        // border styles and left/right colours (BIFF8 word at offset 10)
  std::uint32_t borderColours = 0;  // low 26 bits: top/bottom/diagonal colours and diagonal style
  std::uint8_t pattern = 0;         // fill pattern 0 none, 1 solid, 2-18 hatches
  std::uint16_t fillColours = 0x20C0;  // foreground bits 0-6, background bits 7-13, bits 14-15 kept

  bool IsStyle() const { return parent == kStyleParent; }
  int Foreground() const { return fillColours & 0x7F; }
  int Background() const { return (fillColours >> 7) & 0x7F; }
  void SetForeground(int entry) {
    fillColours = static_cast<std::uint16_t>((fillColours & ~0x007F) | (entry & 0x7F));
  }
  void SetBackground(int entry) {
    fillColours = static_cast<std::uint16_t>((fillColours & ~0x3F80) | ((entry & 0x7F) << 7));
  }
  int HorizontalAlignment() const { return alignment & kHorizontalMask; }
  int VerticalAlignment() const { return (alignment & kVerticalMask) >> kVerticalShift; }
  bool Wrap() const { return (alignment & kWrapBit) != 0; }

  bool operator==(const TXLSXF&) const = default;
};

struct TXLSXFHash {
  std::size_t operator()(const TXLSXF& xf) const;
};

// A STYLE record: a built-in style (number 0-9, outline level) or a user
// style with a name, bound to a style XF.
struct TXLSStyle {
  std::uint16_t xf = 0;
  bool builtIn = true;
  std::uint8_t builtInId = 0;
  std::uint8_t level = 0xFF;
  std::u16string name;  // user styles only
};

class TXLSXFList {
 public:
  TXLSXFList();

  int Count() const { return static_cast<int>(entries_.size()); }
  // XF 0 in a cell means the default cell format: Resolve(0) is 15.
  static std::uint32_t Resolve(std::uint32_t index) { return index == 0 ? kDefaultCellXF : index; }
  // The entry at an index, after Resolve; an index past the table gives XF 15.
  const TXLSXF& Entry(std::uint32_t index) const;
  // The entry at a table position as it stands (no Resolve); past the table: XF 15.
  const TXLSXF& At(std::uint32_t index) const;

  // The index of an entry equal to xf, adding one when there is none.
  std::uint32_t FindOrAdd(const TXLSXF& xf);
  // Replaces entry `index` (growing the table with default cell formats);
  // the reader puts the n-th XF record there.
  void Set(std::uint32_t index, const TXLSXF& xf);

  // Usage counts; a use of XF 0 counts for XF 0.
  void AddUse(std::uint32_t index);
  void ReleaseUse(std::uint32_t index);
  void MoveUse(std::uint32_t from, std::uint32_t to);
  std::uint32_t UseCount(std::uint32_t index) const;

  // The number format that applies to a cell of this XF: its own, or the
  // parent style's when its own is General (0) and it does not set a number
  // format of its own.
  std::uint16_t EffectiveNumFormat(std::uint32_t index) const;

  std::vector<TXLSStyle>& Styles() { return styles_; }
  const std::vector<TXLSStyle>& Styles() const { return styles_; }

  void Clear();  // back to the 21 entries and six styles of a new workbook

 private:
  std::vector<TXLSXF> entries_;
  std::vector<std::uint32_t> uses_;
  std::unordered_map<TXLSXF, std::uint32_t, TXLSXFHash> index_;
  std::vector<TXLSStyle> styles_;
};

}  // namespace xls
