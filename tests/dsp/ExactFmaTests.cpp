// The scalar and SSE2 paths' fused multiply-add: rounded once on every
// platform, where a sum rounded first to double (or to x87's long double) and
// then to float can land on a midpoint and round the wrong way.

#include <qorv_dsp/qorv_dsp.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace
{
using juce::qorv_dsp::ExactFma;

float scaled (float x, int exponent) { return std::ldexp (x, exponent); }

TEST (ExactFma, RoundsOnceWhereASumRoundedTwiceWouldNot)
{
    const float justAboveOne = 1.0f + scaled (1.0f, -23);
    const float justBelowOne = 1.0f - scaled (1.0f, -23);

    struct Case
    {
        float a, b, c, expected;
    };
    // The product is 2^-24 - 2^-70: a double sum lands on the midpoint
    // 1 + 3 * 2^-24 and would round to even, upwards; the exact sum lies below.
    const Case cases[] = {
        { scaled (justAboveOne, -12), scaled (justBelowOne, -12), justAboveOne, justAboveOne },
        { -scaled (justAboveOne, -12), scaled (justBelowOne, -12), -justAboveOne, -justAboveOne },
        // The mirror image: 2^-24 + a little above an even float rounds up.
        { scaled (justAboveOne, -12), scaled (justAboveOne, -12), 1.0f, justAboveOne },
        { 0.0f, 5.0f, -0.0f, 0.0f },
        { 3.0f, 0.5f, -1.5f, 0.0f },
        { std::numeric_limits<float>::max(), 2.0f, -std::numeric_limits<float>::max(), std::numeric_limits<float>::max() },
        { std::numeric_limits<float>::max(), 2.0f, 0.0f, std::numeric_limits<float>::infinity() },
        // Subnormal results: 1.5 and 1.75 units of the least subnormal round to two.
        { scaled (1.0f, -75), scaled (1.0f, -75), scaled (1.0f, -149), scaled (1.0f, -148) },
        { scaled (1.5f, -75), scaled (1.0f, -75), scaled (1.0f, -149), scaled (1.0f, -148) },
        { scaled (1.0f, -74), scaled (1.5f, -75), 0.0f, scaled (1.0f, -148) },
    };
    for (const auto& c : cases)
        EXPECT_EQ (ExactFma::apply (c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " + " << c.c;

    EXPECT_TRUE (std::isnan (ExactFma::apply (std::numeric_limits<float>::infinity(), 0.0f, 1.0f)));
    EXPECT_TRUE (std::isnan (ExactFma::apply (std::numeric_limits<float>::quiet_NaN(), 1.0f, 1.0f)));
    EXPECT_EQ (ExactFma::apply (std::numeric_limits<float>::infinity(), 2.0f, 1.0f), std::numeric_limits<float>::infinity());
}

#if ! defined(_WIN32) // glibc's fmaf is correctly rounded; Windows C libraries' are not all
TEST (ExactFma, AgreesWithACorrectlyRoundedFmaOnEveryKindOfOperand)
{
    std::mt19937 random (20261211);
    auto anyFloat = [&] (int exponentSpread)
    {
        const float mantissa = std::uniform_real_distribution<float> (-2.0f, 2.0f) (random);
        return std::ldexp (mantissa, std::uniform_int_distribution<int> (-exponentSpread, exponentSpread) (random));
    };
    for (int i = 0; i < 2'000'000; ++i)
    {
        // Close exponents make the near-cancellations and midpoints that matter.
        const int spread = i % 3 == 0 ? 140 : 30;
        const float a = anyFloat (spread), b = anyFloat (spread);
        const float c = i % 2 == 0 ? anyFloat (spread) : -a * b * (1.0f + anyFloat (0) * 1e-6f);
        const float got = ExactFma::apply (a, b, c), want = std::fma (a, b, c);
        if (std::isnan (want))
            ASSERT_TRUE (std::isnan (got)) << a << " * " << b << " + " << c;
        else
            ASSERT_EQ (got, want) << a << " * " << b << " + " << c;
    }
}
#endif
} // namespace
