#pragma once
// Local time and the user's date and time formats (LC_TIME of the locale).
//
// Threads: safe from any thread (the locale is set once, at start-up).

#include <chrono>
#include <cstdint>
#include <string>

namespace platform {

using SystemTime = std::chrono::system_clock::time_point;

// The locale's short date (nl_langinfo(D_FMT)), long time (T_FMT) and both
// with one blank between them, for a moment in local time.
std::string FormatShortDate(SystemTime when);
std::string FormatLongTime(SystemTime when);
std::string FormatDateTime(SystemTime when);

// A calendar date and time of day (no time zone: shown as given) in the same
// short date and long time formats, one blank between them.
struct CalendarTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};
std::string FormatDateTime(const CalendarTime& when);

// Milliseconds of a monotonic clock (the system's tick counter).
std::int64_t TickCountMs();

}  // namespace platform
