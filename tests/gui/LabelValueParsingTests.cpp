#include <qorv_gui/qorv_gui.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Typed exponents of ten digits or more used to wrap around inside the number
// reader, so a huge value could come back as a small one inside a range.
TEST (LabelValueParsing, HugeExponentsReadAsInfinityOrZero)
{
    constexpr auto inf = std::numeric_limits<float>::infinity();
    const struct { const char* text; float expected; } rows[] = {
        { "5e4294967297", inf },
        { "Seg Mix: 5e4294967297", inf },
        { "-3E+99999999999", -inf },
        { "5e-4294967297", 0.0f },
        { " 1.5e00000000000001", 15.0f },
        { "Tone: 2.5e1", 25.0f },
        { "1e2 µs", 100.0f },
        { "N Segs: 31", 31.0f },
        { "e4294967297", 0.0f },
    };

    for (const auto& row : rows)
        EXPECT_EQ (juce::qorv_gui::SliderSuite::parseLabelValue (juce::String::fromUTF8 (row.text)), row.expected) << row.text;
}
