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
// A file's own table of strings can be taken over whole (AdoptUnused): its
// cells then refer to the entries by index (Use), and the lookup by text is
// built only when a text is first looked up. That keeps opening a file with
// tens of thousands of distinct texts from hashing each of them. A file whose
// table holds the same text twice keeps both entries; a lookup finds the
// first.
//
// The texts live in one arena that grows in large blocks and is given back
// whole by Clear or the end of the table: entries are never removed one by
// one, so there is nothing to free piecemeal. The lookup is a flat table of
// entry indexes, each beside its text's hash (open addressing, at most half
// full): entering a new text costs one probe into it, where a map of nodes
// costs a chain of scattered reads; files bring tens of thousands of texts.
//
// Threads: part of a workbook, which with everything it holds belongs to one
// thread at a time (the main thread in the window); nothing is locked.

#include <cstdint>
#include <deque>
#include <memory_resource>
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
  // Appends plain texts with no use yet, in order; returns the index of the
  // first of them.
  std::int32_t AdoptUnused(const std::vector<std::u16string>& texts);
  // Enters one use of the string at index; an unknown index is ignored.
  void Use(std::int32_t index);
  // Makes room in the lookup for `more` texts beyond those in the table.
  void Reserve(std::size_t more);

  std::int32_t Count() const { return static_cast<std::int32_t>(strings_.size()); }
  // The text of a string (empty for an unknown index); valid while the table
  // lives and is not cleared.
  std::u16string_view Text(std::int32_t index) const;
  // The formatting runs of a string (none for a plain text).
  const std::vector<TXLSRichRun>& Runs(std::int32_t index) const;
  std::uint32_t UseCount(std::int32_t index) const;
  // The index of a text, or -1.
  std::int32_t Find(std::u16string_view text) const;

  void Clear();

 private:
  static constexpr std::int32_t kPlain = -1;
  struct Entry {
    std::u16string_view text;  // in arena_
    std::uint32_t uses = 0;
    std::int32_t runs = kPlain;  // index in runs_ of a rich text's runs
  };
  // A copy of the text in the arena.
  std::u16string_view Keep(std::u16string_view text);
  // Enters the plain texts appended since the last lookup into the lookup.
  void CatchUpIndex() const;

  // A place in the lookup: the index of a plain text with its hash, or empty.
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t index = -1;
  };
  static std::uint32_t HashOf(std::u16string_view text);
  // The slot holding the text, or the empty slot where it would go.
  std::size_t Probe(std::u16string_view text, std::uint32_t hash) const;
  // Makes room for `count` texts in the lookup.
  void GrowLookup(std::size_t count) const;

  // Declared first, so that it outlives everything that points into it.
  mutable std::pmr::monotonic_buffer_resource arena_;
  std::deque<Entry> strings_;
  // The plain texts of strings_[0, indexed_) by text; filled lazily. The
  // number of slots is a power of two (or none).
  mutable std::vector<Slot> lookup_;
  mutable std::size_t lookupCount_ = 0;  // texts in lookup_
  mutable std::size_t indexed_ = 0;
  std::unordered_map<std::u16string, std::int32_t> richIndex_;  // text, NUL, the runs as characters
  std::vector<std::vector<TXLSRichRun>> runs_;  // of the rich texts only: most texts are plain
};

}  // namespace xls
