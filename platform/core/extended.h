#pragma once

#include <array>
#include <cstdint>

// The 10-byte x87 extended-precision float the component stream stores
// floating-point values in: 64-bit mantissa with an explicit integer bit,
// 15-bit exponent biased by 16383, sign bit; little-endian.
using TExtended80 = std::array<std::uint8_t, 10>;

// Exact for every finite double, infinity and NaN.
TExtended80 DoubleToExtended(double value);
// Rounds to nearest; values beyond the double range become infinity,
// values below it zero or subnormal; pseudo-denormals and unnormals are
// decoded by their value, invalid encodings become NaN.
double ExtendedToDouble(const TExtended80& bytes);
