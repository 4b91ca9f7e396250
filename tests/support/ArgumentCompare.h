#pragma once

#include <gtest/gtest.h>

namespace tandrel::test
{
/** Expects two smoothed arguments to stand exactly alike: ramp, published
    value and display text. */
template <typename Argument>
void expectSameArgument (Argument& actual, Argument& expected)
{
    const auto a = actual.getRamp(), e = expected.getRamp();
    EXPECT_EQ (a.current, e.current);
    EXPECT_EQ (a.target, e.target);
    EXPECT_EQ (a.step, e.step);
    EXPECT_EQ (a.remaining, e.remaining);
    EXPECT_EQ (a.rampLength, e.rampLength);
    EXPECT_EQ (actual.getPublished(), expected.getPublished());
    EXPECT_EQ (actual.toString (2), expected.toString (2));
}
} // namespace tandrel::test
