#include "app/core/number_list.h"

#include <algorithm>
#include <array>
#include <utility>

namespace app {

namespace {

// A letter of the program's text (Windows-1250) as its lower-case letter:
// A-Z, the Polish and other Central European capitals (Ą Ć Ę Ł Ń Ó Ś Ź Ż,
// Š Ť Ž Ľ Ş and the accented capitals of 0xC0-0xDE); other bytes as they are.
unsigned char FoldLetter(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + ('a' - 'A'));
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 0x20);
  switch (b) {
    case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F:  // Š Ś Ť Ž Ź
      return static_cast<unsigned char>(b + 0x10);
    case 0xA3: return 0xB3;  // Ł
    case 0xA5: return 0xB9;  // Ą
    case 0xAA: return 0xBA;  // Ş
    case 0xAF: return 0xBF;  // Ż
    case 0xBC: return 0xBE;  // Ľ
    default: return b;
  }
}

// FoldLetter of every byte, looked up: the comparison runs for every number
// of a long sheet against its neighbours in the sorted list.
const std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = FoldLetter(static_cast<char>(b));
  return table;
}();

}  // namespace

bool NumberLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return kFolded[static_cast<unsigned char>(x)] < kFolded[static_cast<unsigned char>(y)];
  });
}

namespace {

bool RecipientLess(const TRecipient& a, const TRecipient& b) { return NumberLess(a.number, b.number); }

}  // namespace

TRecipient ListRecipient(std::string number, int row, std::string numberRead) {
  TRecipient recipient;
  recipient.row = row;
  recipient.numberRead = numberRead.empty() ? number : std::move(numberRead);
  recipient.number = std::move(number);
  return recipient;
}

void TNumberList::SetExcludeDuplicates(bool value) {
  excludeDuplicates_ = value;
  if (value) std::stable_sort(recipients_.begin(), recipients_.end(), RecipientLess);
}

bool TNumberList::Add(const TRecipient& recipient) {
  if (!excludeDuplicates_) {
    recipients_.push_back(recipient);
    return true;
  }
  auto at = std::lower_bound(recipients_.begin(), recipients_.end(), recipient, RecipientLess);
  if (at != recipients_.end() && !NumberLess(recipient.number, at->number)) return false;
  recipients_.insert(at, recipient);
  return true;
}

void TNumberList::Delete(int index) { recipients_.erase(recipients_.begin() + index); }

void TNumberList::NumberRows(int first) {
  for (TRecipient& recipient : recipients_) recipient.row = first++;
}

std::vector<std::string> TNumberList::Numbers() const {
  std::vector<std::string> numbers;
  numbers.reserve(recipients_.size());
  for (const TRecipient& recipient : recipients_) numbers.push_back(recipient.number);
  return numbers;
}

}  // namespace app
