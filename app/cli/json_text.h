#pragma once
// JSON text for the commands' output lines: the one string writer every
// command uses, so that all of them escape alike.

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace cli {

// A JSON string holding UTF-8 text. The quote, the backslash and control
// characters are escaped (\n, \r, \t by name, the others as \u00xx); every
// other byte is kept as it is, so text that is not valid UTF-8 passes through
// unchanged rather than being lost.
inline std::string JsonString(std::string_view utf8) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHexDigits[byte >> 4];
          out += kHexDigits[byte & 0x0F];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// A JSON string of the program's own 8-bit text (Windows-1250), in UTF-8.
inline std::string JsonAnsiString(std::string_view ansi) { return JsonString(platform::AnsiToUtf8(ansi)); }

}  // namespace cli
