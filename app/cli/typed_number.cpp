#include "app/cli/typed_number.h"

#include <algorithm>
#include <iostream>

#include "app/core/phone_number.h"

namespace cli {
namespace {

// An international number holds at most 15 digits with its country code; the
// shortest in use hold 7.
constexpr size_t kFewestInternationalDigits = 7;
constexpr size_t kMostInternationalDigits = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

TypedNumber Refused(std::string reason) { return {{}, std::move(reason)}; }

std::string Digits(size_t count) { return std::to_string(count) + (count == 1 ? " digit" : " digits"); }

}  // namespace

TypedNumber ReadTypedNumber(std::string_view typed, std::string_view countryPrefix) {
  const std::string compact = app::WithoutSeparators(typed);
  if (compact.empty()) return Refused("no number given");

  const bool international = compact.starts_with('+') || compact.starts_with("00");
  const std::string digits = compact.substr(compact.starts_with('+') ? 1 : international ? 2 : 0);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
    return Refused("it holds characters that are not digits");
  }
  if (international) {
    if (digits.size() < kFewestInternationalDigits) return Refused("an international number this short (" + Digits(digits.size()) + ") does not exist");
    if (digits.size() > kMostInternationalDigits) return Refused("an international number holds at most 15 digits, this one " + Digits(digits.size()));
    return {"+" + digits, {}};
  }
  if (digits.size() == app::kNationalDigits) return {std::string(countryPrefix) + digits, {}};
  return Refused("a national number has 9 digits, this one " + Digits(digits.size()) +
                 "; write an international number with + or 00 in front");
}

bool AcceptTypedNumber(std::string& number, std::string_view command, std::string_view countryPrefix) {
  TypedNumber read = ReadTypedNumber(number, countryPrefix);
  if (!read.error.empty()) {
    std::cerr << "talvane-cli " << command << ": '" << number << "' is not a phone number: " << read.error << "\n";
    return false;
  }
  number = std::move(read.number);
  return true;
}

}  // namespace cli
