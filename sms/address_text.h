#pragma once
// Addresses of received PDUs (3GPP TS 23.040, 9.1.2.5): a type-of-address
// octet, then either digits as swapped semi-octets or, for an alphanumeric
// address such as a company name, GSM 7-bit packed characters.
//
// Threads: pure functions, no shared state; safe from any thread.

#include <string_view>

#include "platform/codepage.h"

namespace sms {

// True when the type of address marks an alphanumeric address.
bool IsAlphanumericAddress(int type);

// The name of an alphanumeric address field (packed septets in hexadecimal),
// without its fill; characters that Windows-1250 lacks become "?".
platform::AnsiString AlphanumericAddress(std::string_view field);

}  // namespace sms
