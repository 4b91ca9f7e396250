#pragma once

#include "ParameterLayout.h"

#include <qorv_gui/qorv_gui.h>

/** One framed stage panel: the stage's indicator light above its three
    horizontal sliders (N Segs, Seg Size, Seg Mix), laid out by a suite grid.
    The editor binds the sliders and listens to the light. */
class TandrelStageControls : public juce::Component
{
public:
    static constexpr int lightSuite = 0, nSegsSuite = 1, segSizeSuite = 2, segMixSuite = 3;

    explicit TandrelStageControls (juce::qorv_gui::LookAndFeel& lf);

    juce::qorv_gui::LabeledSuiteGrid& getGrid() noexcept { return grid; }
    juce::qorv_gui::IndicatorLightSuite& getLightSuite() const;
    /** The slider suite in grid row index (nSegsSuite, segSizeSuite, segMixSuite). */
    juce::qorv_gui::SliderSuite& getSliderSuite (int index) const;
    /** The slider suite of a stage parameter: kind is nSegs, segSize or segMix. */
    juce::qorv_gui::SliderSuite& getSliderSuite (ParamKind kind) const;

    /** The grid row of a stage parameter's slider; -1 for the kinds no slider
        of the panel shows. */
    static int sliderSuiteFor (ParamKind kind) noexcept;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    juce::Colour panelColour;
    juce::qorv_gui::LabeledSuiteGrid grid;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TandrelStageControls)
};
