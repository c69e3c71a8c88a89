#include "app/core/cell_text.h"

#include <langinfo.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

namespace app {

namespace {

// Exponent part as "E15" or "E-5": no plus sign, no leading zeros.
std::string WithShortExponent(const std::string& printed) {
  const std::size_t e = printed.find('e');
  if (e == std::string::npos) return printed;
  const int exponent = std::stoi(printed.substr(e + 1));
  return printed.substr(0, e) + "E" + std::to_string(exponent);
}

std::string NumberText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char printed[40];
  const double magnitude = std::fabs(value);
  if (magnitude != 0 && (magnitude >= 1e15 || magnitude < 1e-4)) {
    std::snprintf(printed, sizeof printed, "%.14e", value);
    // Shortest mantissa: drop trailing zeros of the fraction.
    std::string text = printed;
    const std::size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
    return WithShortExponent(mantissa + text.substr(e));
  }
  // Whole numbers (phone numbers among them) print as their digits, as
  // "%.15g" prints them, without the cost of a formatted print.
  if (value == std::trunc(value) && !(value == 0 && std::signbit(value))) {
    return std::to_string(static_cast<long long>(value));
  }
  std::snprintf(printed, sizeof printed, "%.15g", value);
  return printed;
}

// The date (and the time, when the day count has a fraction) of a day count
// from 30 December 1899, in the locale's formats.
std::string DateText(double dayCount) {
  if (!std::isfinite(dayCount) || std::fabs(dayCount) > 3e6) return NumberText(dayCount);
  using namespace std::chrono;
  const double whole = std::floor(dayCount);
  const year_month_day date{sys_days{1899y / December / 30} + days{static_cast<int>(whole)}};
  const long seconds = std::lround((dayCount - whole) * 86400.0);
  std::tm fields{};
  fields.tm_year = static_cast<int>(date.year()) - 1900;
  fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  fields.tm_hour = static_cast<int>(seconds / 3600 % 24);
  fields.tm_min = static_cast<int>(seconds / 60 % 60);
  fields.tm_sec = static_cast<int>(seconds % 60);
  std::string format = ::nl_langinfo(D_FMT);
  if (seconds != 0) format += std::string(" ") + ::nl_langinfo(T_FMT);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, format.c_str(), &fields);
  return std::string(text, length);
}

}  // namespace

AnsiString ValueToText(const xls::Variant& value) {
  using xls::VariantKind;
  switch (value.Kind()) {
    case VariantKind::Null:
    case VariantKind::Empty:
    case VariantKind::Array:
      return {};
    case VariantKind::AnsiText:
      return value.AnsiValue();
    case VariantKind::Text:
      return platform::UnicodeToAnsi(value.AsText());
    case VariantKind::Boolean:
      return value.AsBoolean() ? "True" : "False";
    case VariantKind::Date:
      return DateText(value.AsDouble());
    default:
      return NumberText(value.AsDouble());
  }
}

}  // namespace app
