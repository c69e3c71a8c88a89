#include "xls/string_table.h"

namespace xls {

std::int32_t TXLSStringTable::Add(std::u16string_view text) {
  const auto found = index_.find(text);
  if (found != index_.end()) {
    ++strings_[static_cast<std::size_t>(found->second)].uses;
    return found->second;
  }
  const auto index = static_cast<std::int32_t>(strings_.size());
  strings_.push_back(Entry{std::u16string(text), 1});
  index_.emplace(strings_.back().text, index);
  return index;
}

void TXLSStringTable::Release(std::int32_t index) {
  if (index < 0 || index >= Count()) return;
  Entry& entry = strings_[static_cast<std::size_t>(index)];
  if (entry.uses > 0) --entry.uses;
}

const std::u16string& TXLSStringTable::Text(std::int32_t index) const {
  static const std::u16string kNone;
  if (index < 0 || index >= Count()) return kNone;
  return strings_[static_cast<std::size_t>(index)].text;
}

std::uint32_t TXLSStringTable::UseCount(std::int32_t index) const {
  if (index < 0 || index >= Count()) return 0;
  return strings_[static_cast<std::size_t>(index)].uses;
}

std::int32_t TXLSStringTable::Find(std::u16string_view text) const {
  const auto found = index_.find(text);
  return found == index_.end() ? -1 : found->second;
}

void TXLSStringTable::Clear() {
  index_.clear();
  strings_.clear();
}

}  // namespace xls
