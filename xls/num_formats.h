#pragma once
// Number formats (`TXLSNumFormatList`): the built-in formats every BIFF8
// reader knows by index, and the workbook's own formats, which are written as
// FORMAT records. A new workbook holds the four currency formats 5-8 as its
// own.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace xls {

inline constexpr std::uint16_t kFirstUserNumFormat = 164;

class TXLSNumFormatList {
 public:
  TXLSNumFormatList();

  // The text of a format index: the workbook's own format when it has one,
  // else the built-in one; "" for an index that is neither.
  std::u16string Format(std::uint16_t index) const;
  // The workbook's own formats, in index order.
  const std::map<std::uint16_t, std::u16string>& OwnFormats() const { return own_; }
  void Set(std::uint16_t index, std::u16string text);
  // The index of a format with this text (own or built-in), adding an own
  // format from index 164 on when there is none.
  std::uint16_t FindOrAdd(std::u16string_view text);
  void Clear();  // back to the formats of a new workbook

  // A date or time format: the text, upper-cased, contains "DD", "MM", "YY",
  // "HH" or "SS".
  static bool IsDateFormatText(std::u16string_view text);
  // Asked for every number read: the text is looked at where it is.
  bool IsDateFormat(std::uint16_t index) const { return IsDateFormatText(FormatText(index)); }

 private:
  // Format's text where it is kept (valid until the list changes).
  std::u16string_view FormatText(std::uint16_t index) const;

  std::map<std::uint16_t, std::u16string> own_;
};

}  // namespace xls
