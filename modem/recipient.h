#pragma once
// Who a message is for: the identity a recipient keeps from the row of the
// list it came from to every part the modem submits and back to the report
// of each part. The component and the engine carry it unchanged and read
// only its destination (to address the PDU); the caller (the campaign) knows
// what the other fields mean.
//
// Threads: a plain value; copied across the engine's hand-over.

#include <string>

namespace modem {

struct TRecipient {
  // The recipient's row in the campaign's list and in its result workbook,
  // from 1; 0 for a message that belongs to no list.
  int row = 0;
  // The number as the list held it before it was cleaned (program text).
  std::string numberRead;
  // The national number, nine digits.
  std::string number;
  // As the PDU addresses it: the country prefix and the national number.
  std::string destination;

  bool operator==(const TRecipient&) const = default;
};

}  // namespace modem
