#pragma once

namespace juce::qorv_gui
{

/** Closed equilateral triangle pointing down: apex at (apexX, apexY), the two
    upper corners one triangle height (side * sqrt(3)/2) above it. */
juce::Path makeDownTriangle (float apexX, float apexY, float side);

/** Closed equilateral triangle pointing right: apex at (apexX, apexY), the two
    left corners one triangle height to the left of it. */
juce::Path makeRightTriangle (float apexX, float apexY, float side);

} // namespace juce::qorv_gui
