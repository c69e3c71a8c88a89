#pragma once
// The number list of the main window: the recipients still to be sent to,
// head first. Its duplicate rule is set each time numbers are added: sorted
// without repeats (ascending by national number, case-insensitive), or in
// the order of adding with repeats.
//
// A recipient's row is its row in the result workbook, fixed when it joins
// the list, so that its mark lands on its own number whatever is deleted or
// sent before it.
//
// Threads: main thread only (the window's, or talvane-cli's).

#include <string>
#include <vector>

#include "modem/recipient.h"

namespace app {

using TRecipient = modem::TRecipient;

// A recipient as the list takes it: its national number, its row of the
// result workbook (0 until it has one) and the number as it was read (the
// national number when left empty). The campaign addresses it.
TRecipient ListRecipient(std::string number, int row = 0, std::string numberRead = {});

class TNumberList {
 public:
  // true: keep the list sorted and ignore numbers already present (sorts
  // the list now); false: keep the order of adding and accept repeats.
  void SetExcludeDuplicates(bool value);
  bool ExcludeDuplicates() const { return excludeDuplicates_; }

  // Adds a recipient under the current rule (repeats compared by national
  // number); true when the list grew.
  bool Add(const TRecipient& recipient);
  void Delete(int index);
  void Clear() { recipients_.clear(); }
  // Gives the entries the rows first, first + 1, ... in list order.
  void NumberRows(int first);

  int Count() const { return static_cast<int>(recipients_.size()); }
  bool Empty() const { return recipients_.empty(); }
  const TRecipient& Recipient(int index) const { return recipients_.at(index); }
  // The national number of an entry.
  const std::string& operator[](int index) const { return recipients_.at(index).number; }
  // The national numbers in list order (the phone list window shows them).
  std::vector<std::string> Numbers() const;

 private:
  std::vector<TRecipient> recipients_;
  bool excludeDuplicates_ = false;
};

// Case-insensitive text order of the number list.
bool NumberLess(const std::string& a, const std::string& b);

}  // namespace app
