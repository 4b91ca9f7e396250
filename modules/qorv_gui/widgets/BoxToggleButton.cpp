namespace juce::qorv_gui
{

BoxToggleButton::BoxToggleButton (const LookAndFeel& lf)
    : toolkitLookAndFeel (lf)
{
}

void BoxToggleButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool)
{
    const auto bounds = getLocalBounds().toFloat();

    if (getToggleState())
    {
        g.setColour (toolkitLookAndFeel.accentColour);
        g.fillRect (bounds);
        return;
    }

    g.setColour (toolkitLookAndFeel.backgroundColour);
    g.fillRect (bounds);
    g.setColour (shouldDrawButtonAsHighlighted ? toolkitLookAndFeel.accentColour : toolkitLookAndFeel.highlightColour);
    g.drawRect (bounds, 2.0f);
}

} // namespace juce::qorv_gui
