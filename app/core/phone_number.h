#pragma once
// The one rule for what a value read or typed means as a phone number: the
// separators people type (blanks, dashes, dots, parentheses, slashes) go,
// then the country prefix in its written forms (+48, 0048, or 48 before nine
// digits); what remains is a national number only when it is nine digits
// not beginning with 0. Nothing else is ever made into a number: cutting a
// longer value to nine characters turned good numbers into other
// customers' numbers.
//
// Threads: pure functions; safe from any thread.

#include <optional>
#include <string>
#include <string_view>

namespace app {

// Digits of a national number.
inline constexpr int kNationalDigits = 9;

// `text` without the separators people type between digits.
std::string WithoutSeparators(std::string_view text);

// `text` without its separators and country prefix (program text; the
// result may still be no number).
std::string CleanPhoneText(std::string_view text);

// The national number `text` stands for, or nothing when it stands for none.
std::optional<std::string> NationalNumberOf(std::string_view text);

}  // namespace app
