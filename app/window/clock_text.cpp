#include "app/window/clock_text.h"

#include <chrono>
#include <ctime>

namespace app {

namespace {

std::string Format(const std::tm& local, const char* format) {
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &local));
}

}  // namespace

AnsiString ClockPanelText(platform::SystemTime now) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0 && millis == 0;
  // Digits and dots only: the text is the same in the program's code page.
  return midnight ? Format(local, "%d.%m.%Y") : Format(local, "%d.%m.%Y %H:%M:%S");
}

}  // namespace app
