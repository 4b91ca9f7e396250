#pragma once

namespace juce::qorv_gui
{

/** The kinds of suite a LabeledSuiteGrid builds, one integer per grid cell. */
enum SuiteKind : int
{
    rotary = 0,           ///< SliderSuite, rotary
    toggle = 1,           ///< ToggleButtonSuite
    verticalSlider = 2,   ///< SliderSuite, linear vertical (never laid out)
    horizontalSlider = 3, ///< SliderSuite, linear horizontal
    indicatorLight = 4    ///< IndicatorLightSuite
};

} // namespace juce::qorv_gui
