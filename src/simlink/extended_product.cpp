#include "simlink/extended_product.h"

#include <bit>
#include <limits>

namespace tolvex {

namespace {

struct U128 {
  std::uint64_t high, low;
};

U128 multiply(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t a_low = a & 0xFFFFFFFFu, a_high = a >> 32;
  const std::uint64_t b_low = b & 0xFFFFFFFFu, b_high = b >> 32;
  const std::uint64_t low_low = a_low * b_low;
  const std::uint64_t high_low = a_high * b_low;
  const std::uint64_t low_high = a_low * b_high;
  const std::uint64_t high_high = a_high * b_high;
  const std::uint64_t middle = (low_low >> 32) + (high_low & 0xFFFFFFFFu) + (low_high & 0xFFFFFFFFu);
  return {high_high + (high_low >> 32) + (low_high >> 32) + (middle >> 32), (middle << 32) | (low_low & 0xFFFFFFFFu)};
}

// Keeps the top 64 bits of a 128-bit value whose top bit is set, rounding the rest to nearest even.
ExtendedNumber round_to_64_bits(bool negative, U128 value, int exponent) {
  std::uint64_t mantissa = value.high;
  const std::uint64_t half = std::uint64_t{1} << 63;
  if (value.low > half || (value.low == half && (mantissa & 1))) {
    if (++mantissa == 0) {
      mantissa = half;
      ++exponent;
    }
  }
  return {negative, mantissa, exponent + 64};
}

}  // namespace

ExtendedNumber extended_from_int(std::int64_t value) {
  if (value == 0) return {};
  const bool negative = value < 0;
  // The magnitude in unsigned arithmetic, so the most negative value needs no special case.
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const int shift = std::countl_zero(magnitude);
  return {negative, magnitude << shift, -shift};
}

ExtendedNumber extended_quotient(std::uint64_t numerator, std::uint32_t denominator) {
  if (numerator == 0) return {};
  // Long division, one bit at a time, until 64 quotient bits past the leading one plus a
  // guard bit and the remainder (sticky) are known.
  std::uint64_t remainder = 0;
  std::uint64_t quotient = 0;
  int bits = 0;      // quotient bits collected since the leading one
  int exponent = 0;  // of the last bit collected
  int position = 63;
  bool started = false;
  bool guard = false;
  for (;;) {
    const std::uint64_t next_bit = position >= 0 ? (numerator >> position) & 1 : 0;
    remainder = (remainder << 1) | next_bit;
    const bool bit = remainder >= denominator;
    if (bit) remainder -= denominator;
    if (bit) started = true;
    if (started) {
      if (bits < 64) {
        quotient = (quotient << 1) | (bit ? 1 : 0);
        ++bits;
        exponent = position;
      } else {
        guard = bit;
        break;
      }
    }
    --position;
  }
  const bool sticky = remainder != 0;
  if (guard && (sticky || (quotient & 1))) {
    if (++quotient == 0) {
      quotient = std::uint64_t{1} << 63;
      ++exponent;
    }
  }
  return {false, quotient, exponent};
}

ExtendedNumber extended_times_power_of_two(ExtendedNumber value, int power) {
  if (value.mantissa) value.exponent += power;
  return value;
}

ExtendedNumber extended_product(ExtendedNumber a, ExtendedNumber b) {
  if (!a.mantissa || !b.mantissa) return {};
  U128 product = multiply(a.mantissa, b.mantissa);
  int exponent = a.exponent + b.exponent;
  if (!(product.high >> 63)) {
    product = {(product.high << 1) | (product.low >> 63), product.low << 1};
    --exponent;
  }
  return round_to_64_bits(a.negative != b.negative, product, exponent);
}

std::int64_t extended_round(ExtendedNumber value) {
  if (!value.mantissa || value.exponent <= -65) return 0;  // below one half
  if (value.exponent >= 0) {
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max();
    return value.negative ? -huge : huge;
  }
  const int fraction_bits = -value.exponent;
  std::uint64_t whole = fraction_bits == 64 ? 0 : value.mantissa >> fraction_bits;
  const std::uint64_t half_bit = std::uint64_t{1} << (fraction_bits - 1);
  if (value.mantissa & half_bit) ++whole;  // the fraction is at least one half
  const auto magnitude = static_cast<std::int64_t>(whole);
  return value.negative ? -magnitude : magnitude;
}

}  // namespace tolvex
