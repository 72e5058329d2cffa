#include "extended.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

TExtended80 DoubleToExtended(double value)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = bits >> 63;
    const int exp = int((bits >> 52) & 0x7FF);
    std::uint64_t frac = bits & ((std::uint64_t(1) << 52) - 1);

    std::uint16_t outExp = 0;
    std::uint64_t mantissa = 0;
    if (exp == 0x7FF) { // infinity or NaN
        outExp = 0x7FFF;
        mantissa = (std::uint64_t(1) << 63) | (frac << 11);
    } else if (exp == 0) {
        if (frac != 0) { // subnormal double: normalise, extended has the range
            int shift = std::countl_zero(frac) - 11; // bring the top bit to position 52
            frac <<= shift;
            outExp = std::uint16_t(1 - 1023 - shift + 16383);
            mantissa = frac << 11;
        }
    } else {
        outExp = std::uint16_t(exp - 1023 + 16383);
        mantissa = (std::uint64_t(1) << 63) | (frac << 11);
    }
    if (negative)
        outExp |= 0x8000;

    TExtended80 out{};
    for (int i = 0; i < 8; ++i)
        out[i] = std::uint8_t(mantissa >> (8 * i));
    out[8] = std::uint8_t(outExp);
    out[9] = std::uint8_t(outExp >> 8);
    return out;
}

double ExtendedToDouble(const TExtended80& bytes)
{
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= std::uint64_t(bytes[i]) << (8 * i);
    const std::uint16_t se = std::uint16_t(bytes[8] | (bytes[9] << 8));
    const bool negative = se & 0x8000;
    const int exp = se & 0x7FFF;

    double result;
    if (exp == 0x7FFF) {
        const std::uint64_t frac = mantissa & ~(std::uint64_t(1) << 63);
        result = frac == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    } else if (mantissa == 0) {
        result = 0.0;
    } else if (exp != 0 && !(mantissa >> 63)) {
        result = std::numeric_limits<double>::quiet_NaN(); // unnormal: invalid on x87
    } else {
        // value = mantissa * 2^(exp - 16383 - 63); denormals use exponent 1.
        const int e = (exp == 0 ? 1 : exp) - 16383 - 63;
        // Round here, once, to what the double can hold: at most 53 bits and
        // nothing below 2^-1074, the smallest subnormal; the scaling is then exact
        // (or overflows to infinity). Letting ldexp round subnormals again would
        // round twice.
        const int lead = 63 - std::countl_zero(mantissa);
        const int drop = std::max({ lead - 52, -1074 - e, 0 });
        std::uint64_t kept = drop < 64 ? mantissa >> drop : 0;
        if (drop > 0 && drop <= 64) {
            const std::uint64_t rest = drop < 64 ? mantissa & ((std::uint64_t(1) << drop) - 1) : mantissa;
            const std::uint64_t half = std::uint64_t(1) << (drop - 1);
            if (rest > half || (rest == half && (kept & 1)))
                ++kept;
        }
        result = std::ldexp(double(kept), e + drop);
    }
    return negative ? -result : result;
}
