#pragma once
// A cell value as the import reads it, in the program's text.
//
// Threads: pure functions, no shared state; safe from any thread.

#include "app/core/view_types.h"
#include "xls/variant.h"

namespace app {

// Texts as they are; numbers in their shortest form of at most 15
// significant digits (whole numbers without a decimal point, 10^15 and more
// or below 10^-4 with an exponent, as 1E15 or 1.5E-5);
// Booleans as True or False; dates as the locale writes them; null, empty
// and arrays as an empty text.
AnsiString ValueToText(const xls::Variant& value);

}  // namespace app
