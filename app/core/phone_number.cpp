#include "app/core/phone_number.h"

#include <algorithm>
#include <iterator>

#include "modem/zogsm_settings.h"

namespace app {

namespace {

constexpr unsigned char kNoBreakSpace = 0xA0;  // Windows-1250, as spreadsheets keep "600 100 200"

bool IsSeparator(char c) {
  switch (static_cast<unsigned char>(c)) {
    case ' ': case '\t': case '-': case '.': case '(': case ')': case '/': case kNoBreakSpace:
      return true;
    default:
      return false;
  }
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The country prefix forms: "+48" always, "0048" and "48" only before
// exactly nine digits (a ten-digit "48..." is no Polish number with a prefix).
std::string WithoutCountryPrefix(std::string text) {
  const std::string plus = modem::kCountryPrefix;
  const std::string code = plus.substr(1);
  const auto before9 = [&](std::size_t prefix) {
    return text.size() == prefix + kNationalDigits && AllDigits(std::string_view(text).substr(prefix));
  };
  if (text.starts_with(plus)) return text.substr(plus.size());
  if (text.starts_with("00" + code) && before9(2 + code.size())) return text.substr(2 + code.size());
  if (text.starts_with(code) && before9(code.size())) return text.substr(code.size());
  return text;
}

}  // namespace

std::string WithoutSeparators(std::string_view text) {
  std::string cleaned;
  std::copy_if(text.begin(), text.end(), std::back_inserter(cleaned), [](char c) { return !IsSeparator(c); });
  return cleaned;
}

std::string CleanPhoneText(std::string_view text) { return WithoutCountryPrefix(WithoutSeparators(text)); }

std::optional<std::string> NationalNumberOf(std::string_view text) {
  std::string number = CleanPhoneText(text);
  if (number.size() != kNationalDigits || !AllDigits(number) || number.front() == '0') return std::nullopt;
  return number;
}

}  // namespace app
