#pragma once
// The number list of the main window: the national numbers still to be sent,
// head first. Its duplicate rule is set each time numbers are added: sorted
// without repeats (ascending, case-insensitive), or in the order of adding
// with repeats.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <string>
#include <vector>

namespace app {

class TNumberList {
 public:
  // true: keep the list sorted and ignore numbers already present (sorts
  // the list now); false: keep the order of adding and accept repeats.
  void SetExcludeDuplicates(bool value);
  bool ExcludeDuplicates() const { return excludeDuplicates_; }

  // Adds a number under the current rule; true when the list grew.
  bool Add(const std::string& number);
  void Delete(int index);
  void Clear() { numbers_.clear(); }

  int Count() const { return static_cast<int>(numbers_.size()); }
  bool Empty() const { return numbers_.empty(); }
  const std::string& operator[](int index) const { return numbers_.at(index); }
  const std::vector<std::string>& Numbers() const { return numbers_; }

 private:
  std::vector<std::string> numbers_;
  bool excludeDuplicates_ = false;
};

// Case-insensitive text order of the number list.
bool NumberLess(const std::string& a, const std::string& b);

}  // namespace app
