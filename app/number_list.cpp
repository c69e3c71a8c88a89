#include "app/number_list.h"

#include <algorithm>

#include "platform/text_case.h"

namespace app {

bool NumberLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(platform::FoldCase(x)) < static_cast<unsigned char>(platform::FoldCase(y));
  });
}

void TNumberList::SetExcludeDuplicates(bool value) {
  excludeDuplicates_ = value;
  if (value) std::stable_sort(numbers_.begin(), numbers_.end(), NumberLess);
}

bool TNumberList::Add(const std::string& number) {
  if (!excludeDuplicates_) {
    numbers_.push_back(number);
    return true;
  }
  auto at = std::lower_bound(numbers_.begin(), numbers_.end(), number, NumberLess);
  if (at != numbers_.end() && !NumberLess(number, *at)) return false;
  numbers_.insert(at, number);
  return true;
}

void TNumberList::Delete(int index) { numbers_.erase(numbers_.begin() + index); }

}  // namespace app
