#pragma once
// A calendar date and time of day as the PDUs carry it (no time zone). The
// zero value (all fields 0) stands for "no time".
//
// Threads: plain values, no shared state; safe from any thread.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sms {

struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool IsZero() const { return *this == DateTime{}; }
  bool operator==(const DateTime&) const = default;
};

// True for an existing calendar day (1 <= month <= 12, the month's days) and
// a time of day from 00:00:00 to 23:59:59.
bool IsValidDateTime(const DateTime& value);

// `value` moved by `minutes` (negative to go back), carrying into the date.
// `value` must be valid.
DateTime AddMinutes(const DateTime& value, int minutes);

// The six two-digit fields (year in the century, month, day, hour, minute,
// second) of a PDU timestamp, whose digits come in swapped pairs
// ("208062917314" is 02-08-26 19:37:41); nothing when fewer than 12
// characters are given or one is not a decimal digit.
std::optional<std::array<int, 6>> ReadTimestampFields(std::string_view swappedDigits);

// "YYYY-MM-DD HH:MM:SS"; the zero value gives "0000-00-00 00:00:00".
std::string FormatDateTime(const DateTime& value);

}  // namespace sms
