#pragma once
// Journal times as talvane-cli prints them.
//
// Threads: safe from any thread.

#include <ctime>
#include <string>

#include "journal/journal_records.h"

namespace cli {

// Milliseconds since the epoch as local time, "2026-12-11 09:30:05".
inline std::string LocalTime(journal::TMillis millis) {
  const std::time_t seconds = static_cast<std::time_t>(millis / 1000);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace cli
