#include "sms/text_preparation.h"

#include <array>

namespace sms {

platform::AnsiString Transliterate(std::string_view text) {
  // Byte -> replacement, built from the two rows of the table in Windows-1250.
  static const auto table = [] {
    const platform::AnsiString letters = platform::UnicodeToAnsi(u"ĄĆĘŁŃÓŚŻŹąćęłńóśżź");
    const std::string_view plain = "ACELNOSZZacelnoszz";
    std::array<char, 256> map;
    for (size_t b = 0; b < map.size(); ++b) map[b] = static_cast<char>(b);
    for (size_t i = 0; i < letters.size(); ++i) map[static_cast<unsigned char>(letters[i])] = plain[i];
    return map;
  }();
  platform::AnsiString out(text);
  for (char& c : out) c = table[static_cast<unsigned char>(c)];
  return out;
}

platform::AnsiString ReplaceLineBreaks(std::string_view text) {
  platform::AnsiString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out.push_back(' ');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace sms
