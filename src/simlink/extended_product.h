#pragma once
// Products in extended precision (64-bit mantissa, round to nearest even after each step),
// done in integers, so every compiler and every FPU setting gives the same bits: MSVC's
// long double has only 53, and an x87 set to double precision would round differently too.
#include <cstdint>

namespace tolvex {

// A finite number: (negative ? -1 : 1) * mantissa * 2^exponent; the mantissa's top bit is set,
// or the mantissa is 0 for zero.
struct ExtendedNumber {
  bool negative = false;
  std::uint64_t mantissa = 0;
  int exponent = 0;
};

ExtendedNumber extended_from_int(std::int64_t value);
// numerator / denominator, correctly rounded (both positive).
ExtendedNumber extended_quotient(std::uint64_t numerator, std::uint32_t denominator);
ExtendedNumber extended_times_power_of_two(ExtendedNumber value, int power);
ExtendedNumber extended_product(ExtendedNumber a, ExtendedNumber b);
// Nearest integer, halves away from zero (saturates far beyond any coordinate).
std::int64_t extended_round(ExtendedNumber value);

}  // namespace tolvex
