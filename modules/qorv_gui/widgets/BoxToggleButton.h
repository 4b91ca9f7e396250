#pragma once

namespace juce::qorv_gui
{

/** A square switch without tick or text: filled with the accent colour when on;
    when off, background-filled with a highlight outline that turns accent under
    the mouse. ToggleButtonSuite binds it to a parameter through `attachment`. */
class BoxToggleButton : public juce::ToggleButton
{
public:
    explicit BoxToggleButton (const LookAndFeel& toolkitLookAndFeel);

    const LookAndFeel& toolkitLookAndFeel;
    std::unique_ptr<juce::ButtonParameterAttachment> attachment;
    juce::String paramID;

protected:
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BoxToggleButton)
};

} // namespace juce::qorv_gui
