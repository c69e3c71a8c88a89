#pragma once
// The shared string table (`TXLSStringTable`): every distinct cell text once,
// with the number of cells that use it. Indexes stay stable while the
// workbook lives; a string whose last user went away stays in the table with
// a count of 0 (the writer leaves it out) and is reused when the same text
// comes back.
//
// A text may carry formatting runs (rich text: parts of it in other fonts).
// Such a string is an entry of its own, shared only by cells with the same
// text and the same runs; a plain text never finds it.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace xls {

// From character `firstChar` on, the text is drawn in font `font` (a
// workbook font index), up to the next run.
struct TXLSRichRun {
  std::uint16_t firstChar = 0;
  std::uint16_t font = 0;
  bool operator==(const TXLSRichRun&) const = default;
};

class TXLSStringTable {
 public:
  TXLSStringTable() = default;
  TXLSStringTable(const TXLSStringTable&) = delete;
  TXLSStringTable& operator=(const TXLSStringTable&) = delete;

  // Enters one use of the text and returns its index.
  std::int32_t Add(std::u16string_view text);
  // The same for a text with formatting runs (Add when there are none).
  std::int32_t AddRich(std::u16string_view text, const std::vector<TXLSRichRun>& runs);
  // Takes one use away from the string at index; an unknown index is ignored.
  void Release(std::int32_t index);

  std::int32_t Count() const { return static_cast<std::int32_t>(strings_.size()); }
  const std::u16string& Text(std::int32_t index) const;
  // The formatting runs of a string (none for a plain text).
  const std::vector<TXLSRichRun>& Runs(std::int32_t index) const;
  std::uint32_t UseCount(std::int32_t index) const;
  // The index of a text, or -1.
  std::int32_t Find(std::u16string_view text) const;

  void Clear();

 private:
  struct Entry {
    std::u16string text;
    std::uint32_t uses = 0;
    std::vector<TXLSRichRun> runs;
  };
  std::deque<Entry> strings_;  // a deque keeps the texts in place, so the map can view them
  std::unordered_map<std::u16string_view, std::int32_t> index_;
  std::unordered_map<std::u16string, std::int32_t> richIndex_;  // text, NUL, the runs as characters
};

}  // namespace xls
