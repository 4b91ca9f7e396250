namespace juce::qorv_gui
{

NotificationLabel::NotificationLabel (const juce::Font& labelFont, juce::Colour colour,
                                      juce::Justification labelJustification)
    : HyperlinkLabel ({}, juce::URL(), labelFont, colour, labelJustification)
{
    setHelpText ({});
    setVisible (false);
}

} // namespace juce::qorv_gui
