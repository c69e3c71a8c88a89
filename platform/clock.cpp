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

std::string Format(SystemTime when, const char* format) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[256];
  const size_t length = ::strftime_l(text, sizeof text, format, &local, TimeLocale());
  return std::string(text, length);
}

}  // namespace

std::string FormatShortDate(SystemTime when) { return Format(when, ::nl_langinfo_l(D_FMT, TimeLocale())); }

std::string FormatLongTime(SystemTime when) { return Format(when, ::nl_langinfo_l(T_FMT, TimeLocale())); }

std::string FormatDateTime(SystemTime when) { return FormatShortDate(when) + " " + FormatLongTime(when); }

std::int64_t TickCountMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace platform
