namespace juce::qorv_gui
{

MouseoverTextButton::MouseoverTextButton (const LookAndFeel& lf, const juce::String& buttonText,
                                          juce::Button::Listener* listener)
    : juce::Button ("MouseoverTextButton"),
      toolkitLookAndFeel (lf),
      text (buttonText)
{
    setClickingTogglesState (false);

    if (listener != nullptr)
        addListener (listener);
}

void MouseoverTextButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto active = getToggleState() || shouldDrawButtonAsHighlighted || shouldDrawButtonAsDown;
    const auto fill = active ? toolkitLookAndFeel.accentColour : toolkitLookAndFeel.backgroundColour;
    const auto ink = active ? toolkitLookAndFeel.backgroundColour : toolkitLookAndFeel.highlightColour;
    const auto bounds = getLocalBounds();

    g.fillAll (fill);
    g.setColour (ink);
    g.setFont (toolkitLookAndFeel.mainFont);
    g.drawFittedText (text, bounds, juce::Justification::centred, 1, 1.0f);
    g.drawRect (bounds.toFloat(), 2.0f);
}

} // namespace juce::qorv_gui
