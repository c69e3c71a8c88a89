#include "xls/rk.h"

#include <bit>
#include <cmath>

namespace xls {

namespace {
constexpr double kLimit29 = 536870912.0;  // 2^29
constexpr std::uint64_t kLow34Bits = (std::uint64_t{1} << 34) - 1;

bool IsSmallWhole(double value) { return value == std::floor(value) && value >= -kLimit29 && value < kLimit29; }
}  // namespace

std::optional<std::uint32_t> EncodeRK(double x) {
  if (!std::isfinite(x) || std::fabs(x) >= 2147483648.0) return std::nullopt;
  // A form is taken only when a reader gets the very same double back: x * 100
  // rounds, so 20.990000000000002 would otherwise come back as 20.99.
  const auto exact = [x](std::uint32_t rk) -> std::optional<std::uint32_t> {
    if (std::bit_cast<std::uint64_t>(DecodeRK(rk)) == std::bit_cast<std::uint64_t>(x)) return rk;
    return std::nullopt;
  };
  if (IsSmallWhole(x)) {
    if (auto rk = exact(static_cast<std::uint32_t>(static_cast<std::int32_t>(x) * 4 + 2))) return rk;
  }
  const double hundredths = std::round(x * 100);
  if (IsSmallWhole(hundredths)) {
    if (auto rk = exact(static_cast<std::uint32_t>(static_cast<std::int32_t>(hundredths) * 4 + 3))) return rk;
  }
  const auto bits = std::bit_cast<std::uint64_t>(x);
  if ((bits & kLow34Bits) == 0) {
    if (auto rk = exact(static_cast<std::uint32_t>(bits >> 32) & ~3u)) return rk;
  }
  const auto bits100 = std::bit_cast<std::uint64_t>(x * 100);
  if ((bits100 & kLow34Bits) == 0) return exact((static_cast<std::uint32_t>(bits100 >> 32) & ~2u) | 1u);
  return std::nullopt;
}

double DecodeRK(std::uint32_t rk) {
  double value;
  if (rk & 2) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
  }
  return (rk & 1) ? value / 100 : value;
}

}  // namespace xls
