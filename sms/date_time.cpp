#include "sms/date_time.h"

#include <chrono>
#include <cstdio>

namespace sms {

bool IsValidDateTime(const DateTime& value) {
  using namespace std::chrono;
  const year_month_day date{year{value.year}, month{static_cast<unsigned>(value.month)},
                            day{static_cast<unsigned>(value.day)}};
  return value.month >= 1 && value.day >= 1 && date.ok() && value.hour >= 0 && value.hour < 24 &&
         value.minute >= 0 && value.minute < 60 && value.second >= 0 && value.second < 60;
}

DateTime AddMinutes(const DateTime& value, int minutes) {
  using namespace std::chrono;
  const sys_days date{year{value.year} / month{static_cast<unsigned>(value.month)} /
                      day{static_cast<unsigned>(value.day)}};
  const sys_seconds moment = date + hours{value.hour} + std::chrono::minutes{value.minute + minutes} +
                             seconds{value.second};
  const sys_days newDate = floor<days>(moment);
  const year_month_day ymd{newDate};
  const hh_mm_ss time{moment - newDate};
  return {static_cast<int>(ymd.year()),        static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count())};
}

std::optional<std::array<int, 6>> ReadTimestampFields(std::string_view swappedDigits) {
  if (swappedDigits.size() < 12) return std::nullopt;
  std::array<int, 6> fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    const char units = swappedDigits[2 * i], tens = swappedDigits[2 * i + 1];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') return std::nullopt;
    fields[i] = (tens - '0') * 10 + (units - '0');
  }
  return fields;
}

std::string FormatDateTime(const DateTime& value) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", value.year, value.month, value.day, value.hour,
                value.minute, value.second);
  return text;
}

}  // namespace sms
