#pragma once
// The workbook's font table (`TXLSFontList`). Fonts are referred to by their
// position in the table; the file form leaves out index 4 (the writer and the
// reader translate). A new workbook holds four copies of the default font,
// Arial 10 points with the automatic colour, as the first four file fonts.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <string>
#include <vector>

namespace xls {

struct TXLSFontData {
  std::u16string name = u"Arial";
  std::uint16_t height = 200;  // 1/20 point
  bool bold = false;
  bool italic = false;
  bool strikeout = false;
  bool outline = false;
  bool shadow = false;
  std::uint16_t colour = 0;  // palette entry; 0 = automatic (written as 0x7FFF)
  std::uint8_t escapement = 0;  // 0 none, 1 superscript, 2 subscript
  std::uint8_t underline = 0;   // 0 none, 1 single, 2 double, 0x21, 0x22 accounting
  std::uint8_t family = 0;
  std::uint8_t charset = 0;

  bool operator==(const TXLSFontData&) const = default;
};

class TXLSFontList {
 public:
  static constexpr int kDefaultFontCount = 4;

  TXLSFontList();

  int Count() const { return static_cast<int>(fonts_.size()); }
  // Index 0..Count-1; anything else gives the default font.
  const TXLSFontData& Font(int index) const;
  // The index of an equal font, adding it at the end when there is none.
  int FindOrAdd(const TXLSFontData& font);
  // Places a font at a position, growing the table with default fonts when
  // needed (the reader puts the n-th FONT record at position n).
  void Set(int index, const TXLSFontData& font);

  // How many of the leading fonts came from the file read; they are all
  // written back, in order, so that font numbers inside records kept as read
  // (text boxes, charts) stay valid.
  int FileFontCount() const { return fileFontCount_; }
  void SetFileFontCount(int count) { fileFontCount_ = count; }

  void Clear();  // back to the default table

 private:
  std::vector<TXLSFontData> fonts_;
  int fileFontCount_ = 0;
};

}  // namespace xls
