#include "sms/address_text.h"

#include <algorithm>

#include "sms/gsm_alphabet.h"

namespace sms {

bool IsAlphanumericAddress(int type) { return (type & 0x50) == 0x50; }

platform::AnsiString AlphanumericAddress(std::string_view field) {
  std::u16string name = SeptetsToText(field);
  name.resize(std::min(name.size(), name.find(u'\0')));
  return platform::UnicodeToAnsi(name);
}

}  // namespace sms
