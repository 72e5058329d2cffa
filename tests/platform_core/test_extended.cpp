#include "platform/core/extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

using Limits = std::numeric_limits<double>;

TExtended80 Make(std::uint64_t mantissa, std::uint16_t signExponent)
{
    TExtended80 out {};
    for (int i = 0; i < 8; ++i)
        out[i] = std::uint8_t(mantissa >> (8 * i));
    out[8] = std::uint8_t(signExponent);
    out[9] = std::uint8_t(signExponent >> 8);
    return out;
}

void ExpectSameDouble(double actual, double expected)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual));
    else
        EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected)) << expected;
}

} // namespace

TEST(Extended, KnownEncodings)
{
    EXPECT_EQ(DoubleToExtended(1.0), (TExtended80 { 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F }));
    EXPECT_EQ(DoubleToExtended(0.0), TExtended80 {});
    EXPECT_EQ(DoubleToExtended(-0.0), (TExtended80 { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80 }));
    EXPECT_EQ(DoubleToExtended(-2.0), (TExtended80 { 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0 }));
    EXPECT_EQ(DoubleToExtended(36526.0), (TExtended80 { 0, 0, 0, 0, 0, 0, 0xAE, 0x8E, 0x0E, 0x40 }));
    // The smallest subnormal double is a normal extended: 2^-1074.
    EXPECT_EQ(DoubleToExtended(Limits::denorm_min()), Make(0x8000000000000000, 16383 - 1074));
}

TEST(Extended, EveryDoubleRoundTrips)
{
    for (double v : { 0.0, -0.0, 0.1, -1e-300, 1.0 / 3, Limits::denorm_min(), -Limits::denorm_min(), Limits::min() / 3,
             Limits::min(), Limits::max(), Limits::lowest(), Limits::infinity(), -Limits::infinity(),
             Limits::quiet_NaN(), Limits::signaling_NaN() })
        ExpectSameDouble(ExtendedToDouble(DoubleToExtended(v)), v);

    std::mt19937_64 random(20240229);
    for (int i = 0; i < 100000; ++i) {
        const double v = std::bit_cast<double>(random());
        const double back = ExtendedToDouble(DoubleToExtended(v));
        if (std::isnan(v))
            ASSERT_TRUE(std::isnan(back));
        else
            ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v)) << v;
    }
}

TEST(Extended, ValuesOutsideTheDoubleRange)
{
    ExpectSameDouble(ExtendedToDouble(Make(0x8000000000000000, 16383 + 1024)), Limits::infinity());
    ExpectSameDouble(ExtendedToDouble(Make(0xC000000000000000, 0x7FFE | 0x8000)), -Limits::infinity());
    // The largest double's mantissa plus half an ulp rounds up out of range.
    ExpectSameDouble(ExtendedToDouble(Make(0xFFFFFFFFFFFFFC00, 16383 + 1023)), Limits::infinity());
    ExpectSameDouble(ExtendedToDouble(Make(0xFFFFFFFFFFFFFBFF, 16383 + 1023)), Limits::max());
    ExpectSameDouble(ExtendedToDouble(Make(0x8000000000000000, 1)), 0.0);
    ExpectSameDouble(ExtendedToDouble(Make(0x8000000000000000, 0x8001)), -0.0);
    ExpectSameDouble(ExtendedToDouble(Make(0x4000000000000000, 0x7FFF)), Limits::quiet_NaN());
    ExpectSameDouble(ExtendedToDouble(Make(0x4000000000000000, 0x3FFF)), Limits::quiet_NaN()); // unnormal
}

TEST(Extended, ExtraMantissaBitsRoundToNearestEven)
{
    const double ulp = std::ldexp(1.0, -52);
    const std::pair<std::uint64_t, double> cases[] = {
        { 0x80000000000003FF, 1.0 }, // below half
        { 0x8000000000000400, 1.0 }, // tie, even stays
        { 0x8000000000000401, 1.0 + ulp }, // above half
        { 0x8000000000000C00, 1.0 + 2 * ulp }, // tie, odd goes up
        { 0xFFFFFFFFFFFFFC00, 2.0 }, // carry into the next power of two
    };
    for (auto [mantissa, expected] : cases)
        ExpectSameDouble(ExtendedToDouble(Make(mantissa, 0x3FFF)), expected);

    // In the subnormal range fewer bits survive, and they must be rounded once.
    const double tiny = Limits::denorm_min();
    ExpectSameDouble(ExtendedToDouble(Make(0x8000000000000000, 16383 - 1075)), 0.0); // half: even is 0
    ExpectSameDouble(ExtendedToDouble(Make(0x8000000000000001, 16383 - 1075)), tiny); // just above half
    ExpectSameDouble(ExtendedToDouble(Make(0xC000000000000000, 16383 - 1074)), 2 * tiny);
    ExpectSameDouble(ExtendedToDouble(Make(0xA000000000000001, 16383 - 1073)), 3 * tiny);
    ExpectSameDouble(ExtendedToDouble(Make(0xFFFFFFFFFFFFFFFF, 1)), 0.0); // far below
    ExpectSameDouble(ExtendedToDouble(Make(0x8000000000000000, 0)), 0.0); // pseudo-denormal
}

TEST(Extended, AgreesWithTheX87Conversion)
{
    // Where long double is the x87 format, the hardware conversion is the reference.
    if constexpr (std::numeric_limits<long double>::digits != 64 || sizeof(long double) < 10) {
        GTEST_SKIP() << "long double is not the x87 extended format";
    } else {
        std::mt19937_64 random(80);
        for (int i = 0; i < 200000; ++i) {
            const int band = int(random() % 3); // the normal, subnormal and overflow edges
            const int centre = band == 0 ? 16383 : band == 1 ? 16383 - 1074 : 16383 + 1024;
            const std::uint16_t exponent = std::uint16_t(centre + int(random() % 130) - 65);
            std::uint64_t mantissa = random() | std::uint64_t(1) << 63;
            if (random() % 2) // trailing zeros make exact halves common
                mantissa &= ~std::uint64_t(0) << (random() % 64);
            const TExtended80 bytes = Make(mantissa, std::uint16_t(exponent | (random() & 0x8000)));
            long double reference = 0;
            std::memcpy(&reference, bytes.data(), bytes.size());
            const double expected = double(reference);
            const double actual = ExtendedToDouble(bytes);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
                << std::hex << mantissa << ' ' << exponent;
        }
    }
}
