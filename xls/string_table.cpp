#include "xls/string_table.h"

#include <algorithm>

namespace xls {

std::u16string_view TXLSStringTable::Keep(std::u16string_view text) {
  if (text.empty()) return {};
  std::pmr::polymorphic_allocator<char16_t> allocator(&arena_);
  char16_t* copy = allocator.allocate(text.size());
  std::copy(text.begin(), text.end(), copy);
  return {copy, text.size()};
}

void TXLSStringTable::CatchUpIndex() const {
  for (; indexed_ < strings_.size(); ++indexed_) {
    const Entry& entry = strings_[indexed_];
    if (entry.runs == kPlain) index_.try_emplace(entry.text, static_cast<std::int32_t>(indexed_));
  }
}

std::int32_t TXLSStringTable::Add(std::u16string_view text) {
  CatchUpIndex();
  const auto found = index_.find(text);
  if (found != index_.end()) {
    ++strings_[static_cast<std::size_t>(found->second)].uses;
    return found->second;
  }
  const auto index = static_cast<std::int32_t>(strings_.size());
  strings_.push_back(Entry{Keep(text), 1, kPlain});
  CatchUpIndex();
  return index;
}

std::int32_t TXLSStringTable::AdoptUnused(const std::vector<std::u16string>& texts) {
  const auto first = static_cast<std::int32_t>(strings_.size());
  for (const std::u16string& text : texts) strings_.push_back(Entry{Keep(text), 0, kPlain});
  return first;
}

void TXLSStringTable::Reserve(std::size_t more) {
  CatchUpIndex();
  index_.reserve(index_.size() + more);
}

void TXLSStringTable::Use(std::int32_t index) {
  if (index < 0 || index >= Count()) return;
  ++strings_[static_cast<std::size_t>(index)].uses;
}

std::int32_t TXLSStringTable::AddRich(std::u16string_view text, const std::vector<TXLSRichRun>& runs) {
  if (runs.empty()) return Add(text);
  std::u16string key(text);
  key.push_back(u'\0');  // texts hold no NUL, so the key is unique
  for (const TXLSRichRun& run : runs) {
    key.push_back(static_cast<char16_t>(run.firstChar));
    key.push_back(static_cast<char16_t>(run.font));
  }
  const auto found = richIndex_.find(key);
  if (found != richIndex_.end()) {
    ++strings_[static_cast<std::size_t>(found->second)].uses;
    return found->second;
  }
  const auto index = static_cast<std::int32_t>(strings_.size());
  strings_.push_back(Entry{Keep(text), 1, static_cast<std::int32_t>(runs_.size())});
  runs_.push_back(runs);
  richIndex_.emplace(std::move(key), index);
  return index;
}

const std::vector<TXLSRichRun>& TXLSStringTable::Runs(std::int32_t index) const {
  static const std::vector<TXLSRichRun> kNone;
  if (index < 0 || index >= Count()) return kNone;
  const std::int32_t runs = strings_[static_cast<std::size_t>(index)].runs;
  return runs == kPlain ? kNone : runs_[static_cast<std::size_t>(runs)];
}

void TXLSStringTable::Release(std::int32_t index) {
  if (index < 0 || index >= Count()) return;
  Entry& entry = strings_[static_cast<std::size_t>(index)];
  if (entry.uses > 0) --entry.uses;
}

std::u16string_view TXLSStringTable::Text(std::int32_t index) const {
  if (index < 0 || index >= Count()) return {};
  return strings_[static_cast<std::size_t>(index)].text;
}

std::uint32_t TXLSStringTable::UseCount(std::int32_t index) const {
  if (index < 0 || index >= Count()) return 0;
  return strings_[static_cast<std::size_t>(index)].uses;
}

std::int32_t TXLSStringTable::Find(std::u16string_view text) const {
  CatchUpIndex();
  const auto found = index_.find(text);
  return found == index_.end() ? -1 : found->second;
}

void TXLSStringTable::Clear() {
  // Everything that points into the arena goes before the arena's blocks do.
  decltype(index_)(&arena_).swap(index_);
  indexed_ = 0;
  richIndex_.clear();
  runs_.clear();
  strings_.clear();
  arena_.release();
}

}  // namespace xls
