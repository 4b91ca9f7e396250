#pragma once

#include "TandrelStageControls.h"

/** The editor's middle area: three stage panels above a strip with the Mode
    switch and the Tone slider. It only builds and places the widgets. */
class TandrelControls : public juce::Component
{
public:
    explicit TandrelControls (juce::qorv_gui::LookAndFeel& lf);

    juce::qorv_gui::ToggleButtonSuite modeSuite;
    juce::qorv_gui::SliderSuite toneSuite;
    juce::OwnedArray<TandrelStageControls> stageControls;

    void resized() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TandrelControls)
};
