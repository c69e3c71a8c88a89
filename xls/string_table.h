#pragma once
// The shared string table (`TXLSStringTable`): every distinct cell text once,
// with the number of cells that use it. Indexes stay stable while the
// workbook lives; a string whose last user went away stays in the table with
// a count of 0 (the writer leaves it out) and is reused when the same text
// comes back.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace xls {

class TXLSStringTable {
 public:
  TXLSStringTable() = default;
  TXLSStringTable(const TXLSStringTable&) = delete;
  TXLSStringTable& operator=(const TXLSStringTable&) = delete;

  // Enters one use of the text and returns its index.
  std::int32_t Add(std::u16string_view text);
  // Takes one use away from the string at index; an unknown index is ignored.
  void Release(std::int32_t index);

  std::int32_t Count() const { return static_cast<std::int32_t>(strings_.size()); }
  const std::u16string& Text(std::int32_t index) const;
  std::uint32_t UseCount(std::int32_t index) const;
  // The index of a text, or -1.
  std::int32_t Find(std::u16string_view text) const;

  void Clear();

 private:
  struct Entry {
    std::u16string text;
    std::uint32_t uses = 0;
  };
  std::deque<Entry> strings_;  // a deque keeps the texts in place, so the map can view them
  std::unordered_map<std::u16string_view, std::int32_t> index_;
};

}  // namespace xls
