#pragma once
// A recipient's number as people type it on the command line: "600 100 200",
// "(0048) 600-100-200", "+48 600.100.200". Blanks, dashes, dots, slashes and
// brackets go; a leading "00" means an international number; a national
// nine-digit number gets the country prefix. Anything else is refused with
// the reason, before anything is sent: a message must never go to a number
// the user did not mean. (The component's own normalisation, which other
// callers rely on, is not this rule.)

#include <string>
#include <string_view>

namespace cli {

struct TypedNumber {
  std::string number;  // international form, "+48600100200"; empty when refused
  std::string error;   // why the number was refused; empty when accepted
};

TypedNumber ReadTypedNumber(std::string_view typed, std::string_view countryPrefix);

// For a command's NUMBER argument: replaces `number` with its international
// form and returns true, or says on stderr why `command` refuses it and
// returns false.
bool AcceptTypedNumber(std::string& number, std::string_view command, std::string_view countryPrefix);

}  // namespace cli
