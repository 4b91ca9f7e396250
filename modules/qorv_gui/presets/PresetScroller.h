#pragma once

namespace juce::qorv_gui
{

/** The previous/next arrows beside the preset browser. A click steps through
    the presets in id order (wrapping at both ends) and selects the result in
    the browser at once, which loads it. */
class PresetScroller : public juce::Component,
                       public juce::Button::Listener
{
public:
    PresetScroller (const LookAndFeel& lf, PresetComponent& browser);

    void resized() override;
    void buttonClicked (juce::Button* button) override;

    TriangleButton leftButton;
    TriangleButton rightButton;

private:
    PresetComponent* presetComponent;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetScroller)
};

} // namespace juce::qorv_gui
