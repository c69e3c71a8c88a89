#include "platform/clock.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>

namespace platform {
namespace {

// The user's LC_TIME locale, as setlocale(LC_TIME, "") would choose it, kept
// as a locale object of its own so that formatting never changes (or races
// with) the process's global locale.
locale_t TimeLocale() {
  static const locale_t locale = [] {
    locale_t user = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    return user ? user : ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  }();
  return locale;
}

std::string Format(const std::tm& local, const char* format) {
  char text[256];
  const size_t length = ::strftime_l(text, sizeof text, format, &local, TimeLocale());
  return std::string(text, length);
}

std::string Format(SystemTime when, const char* format) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  return Format(local, format);
}

}  // namespace

std::string FormatShortDate(SystemTime when) { return Format(when, ::nl_langinfo_l(D_FMT, TimeLocale())); }

std::string FormatLongTime(SystemTime when) { return Format(when, ::nl_langinfo_l(T_FMT, TimeLocale())); }

std::string FormatDateTime(SystemTime when) { return FormatShortDate(when) + " " + FormatLongTime(when); }

std::string FormatDateTime(const CalendarTime& when) {
  using namespace std::chrono;
  const year_month_day date{year{when.year}, month{static_cast<unsigned>(when.month)},
                            day{static_cast<unsigned>(when.day)}};
  std::tm fields{};
  fields.tm_year = when.year - 1900;
  fields.tm_mon = when.month - 1;
  fields.tm_mday = when.day;
  fields.tm_hour = when.hour;
  fields.tm_min = when.minute;
  fields.tm_sec = when.second;
  fields.tm_isdst = -1;
  if (date.ok()) {
    fields.tm_wday = static_cast<int>(weekday{sys_days{date}}.c_encoding());
    fields.tm_yday = static_cast<int>((sys_days{date} - sys_days{year_month_day{date.year(), January, day{1}}}).count());
  }
  return Format(fields, ::nl_langinfo_l(D_FMT, TimeLocale())) + " " +
         Format(fields, ::nl_langinfo_l(T_FMT, TimeLocale()));
}

std::int64_t TickCountMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace platform
