#pragma once
// RK values: the compact number form of BIFF cell records (30 bits of an
// integer or of the high part of a double, optionally divided by 100).
//
// Threads: pure functions, no shared state; safe from any thread.

#include <cstdint>
#include <optional>

namespace xls {

// The RK value of x, tried in the writer's order: whole numbers in
// [-2^29, 2^29 - 1]; hundredths that are such whole numbers; doubles whose
// low 34 bits are 0; hundredths that are such doubles. A form is used only
// when DecodeRK gives back x bit for bit. No RK value for |x| >= 2^31 or
// anything else (the writer then stores the full double).
std::optional<std::uint32_t> EncodeRK(double x);
double DecodeRK(std::uint32_t rk);

}  // namespace xls
