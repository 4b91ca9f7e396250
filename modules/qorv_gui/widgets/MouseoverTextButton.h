#pragma once

namespace juce::qorv_gui
{

/** A framed text button that inverts to accent fill with background-coloured
    text and frame while it is on, hovered or pressed. Clicking does not toggle it. */
class MouseoverTextButton : public juce::Button
{
public:
    MouseoverTextButton (const LookAndFeel& toolkitLookAndFeel, const juce::String& text,
                         juce::Button::Listener* listener = nullptr);

    const LookAndFeel& toolkitLookAndFeel;
    juce::String text;

protected:
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MouseoverTextButton)
};

} // namespace juce::qorv_gui
