#pragma once
// Filling a byte buffer whole or not at all: what the container gives back
// (a stream read, a file image built in memory) is either complete or empty.
//
// Threads: any thread; touches only the caller's buffer.

#include <cstdint>
#include <new>
#include <vector>

#include "xls/cfb/result_codes.h"

namespace xls::cfb {

// Empties `out`, runs `fill` (which writes into `out` and returns a result
// code) and empties `out` again on any failure; running out of memory gives
// kTooLarge.
template <typename Fill>
int FillWholeOrNothing(std::vector<std::uint8_t>& out, Fill&& fill) {
  out.clear();
  try {
    const int result = fill();
    if (result != kOk) out.clear();
    return result;
  } catch (const std::bad_alloc&) {
    out.clear();
    return kTooLarge;
  }
}

}  // namespace xls::cfb
