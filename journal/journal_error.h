#pragma once
// What a journal operation answers: a value, or the reason it could not be
// done, in words the window can show as they stand (Polish, in the program's
// code page). A caller never has to read SQL error codes: the fault tells it
// what to do (try again later, free some disk space, leave the file alone).
//
// Threads: plain values.

#include <optional>
#include <string>
#include <utility>

#include "platform/codepage.h"

namespace journal {

enum class TJournalFault {
  None,
  Damaged,   // not a journal, or its pages fail the check: the file is left as it is
  Newer,     // written by a newer version of the program
  Locked,    // another program held the journal longer than the wait allows
  DiskFull,  // no room to write
  NoAccess,  // the file or its folder cannot be opened or written
  Io,        // any other failure of the storage
  Refused,   // the operation does not fit the state of the message or campaign
  NotFound,  // no such campaign or recipient
  Claimed,   // another program sends or continues the campaign now
};

struct TJournalError {
  TJournalFault fault = TJournalFault::None;
  platform::AnsiString text;  // the reason, for the operator
};

// A value of T, or an error. Tested like a pointer: true when it holds a value.
template <class T>
class TJournalResult {
 public:
  TJournalResult(T value) : value_(std::move(value)) {}              // NOLINT: a result converts from its value
  TJournalResult(TJournalError error) : error_(std::move(error)) {}  // NOLINT

  explicit operator bool() const { return value_.has_value(); }
  const T& operator*() const { return *value_; }
  T& operator*() { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }
  const TJournalError& Error() const { return error_; }

 private:
  std::optional<T> value_;
  TJournalError error_;
};

struct TDone {};
// An operation that answers only whether it was done.
using TJournalStatus = TJournalResult<TDone>;
inline TJournalStatus Done() { return TDone{}; }

}  // namespace journal
