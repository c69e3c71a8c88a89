#include "xls/string_table.h"

#include <algorithm>
#include <functional>

namespace xls {

std::u16string_view TXLSStringTable::Keep(std::u16string_view text) {
  if (text.empty()) return {};
  std::pmr::polymorphic_allocator<char16_t> allocator(&arena_);
  char16_t* copy = allocator.allocate(text.size());
  std::copy(text.begin(), text.end(), copy);
  return {copy, text.size()};
}

std::uint32_t TXLSStringTable::HashOf(std::u16string_view text) {
  return static_cast<std::uint32_t>(std::hash<std::u16string_view>{}(text));
}

std::size_t TXLSStringTable::Probe(std::u16string_view text, std::uint32_t hash) const {
  const std::size_t mask = lookup_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = lookup_[at];
    if (slot.index < 0) return at;
    if (slot.hash == hash && strings_[static_cast<std::size_t>(slot.index)].text == text) return at;
  }
}

void TXLSStringTable::GrowLookup(std::size_t count) const {
  if (count * 2 <= lookup_.size()) return;
  std::size_t size = lookup_.empty() ? 64 : lookup_.size();
  while (count * 2 > size) size *= 2;
  std::vector<Slot> old(size);
  old.swap(lookup_);
  const std::size_t mask = size - 1;
  for (const Slot& slot : old) {
    if (slot.index < 0) continue;
    std::size_t at = slot.hash & mask;
    while (lookup_[at].index >= 0) at = (at + 1) & mask;
    lookup_[at] = slot;
  }
}

void TXLSStringTable::CatchUpIndex() const {
  if (indexed_ == strings_.size()) return;
  GrowLookup(lookupCount_ + (strings_.size() - indexed_));
  for (; indexed_ < strings_.size(); ++indexed_) {
    const Entry& entry = strings_[indexed_];
    if (entry.runs != kPlain) continue;
    const std::uint32_t hash = HashOf(entry.text);
    Slot& slot = lookup_[Probe(entry.text, hash)];
    if (slot.index >= 0) continue;  // the same text earlier in the table: the lookup finds that one
    slot = Slot{hash, static_cast<std::int32_t>(indexed_)};
    ++lookupCount_;
  }
}

std::int32_t TXLSStringTable::Add(std::u16string_view text) {
  CatchUpIndex();
  GrowLookup(lookupCount_ + 1);
  const std::uint32_t hash = HashOf(text);
  Slot& slot = lookup_[Probe(text, hash)];
  if (slot.index >= 0) {
    ++strings_[static_cast<std::size_t>(slot.index)].uses;
    return slot.index;
  }
  const auto index = static_cast<std::int32_t>(strings_.size());
  strings_.push_back(Entry{Keep(text), 1, kPlain});
  slot = Slot{hash, index};
  ++lookupCount_;
  indexed_ = strings_.size();
  return index;
}

std::int32_t TXLSStringTable::AdoptUnused(const std::vector<std::u16string>& texts) {
  const auto first = static_cast<std::int32_t>(strings_.size());
  for (const std::u16string& text : texts) strings_.push_back(Entry{Keep(text), 0, kPlain});
  return first;
}

void TXLSStringTable::Reserve(std::size_t more) {
  CatchUpIndex();
  GrowLookup(lookupCount_ + more);
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
  if (lookup_.empty()) return -1;
  return lookup_[Probe(text, HashOf(text))].index;
}

void TXLSStringTable::Clear() {
  // Everything that points into the arena goes before the arena's blocks do.
  std::vector<Slot>().swap(lookup_);
  lookupCount_ = 0;
  indexed_ = 0;
  richIndex_.clear();
  runs_.clear();
  strings_.clear();
  arena_.release();
}

}  // namespace xls
