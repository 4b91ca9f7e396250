namespace juce::qorv_gui
{

HyperlinkLabel::HyperlinkLabel (const juce::String& linkText, const juce::URL& linkUrl, const juce::Font& linkFont,
                                juce::Colour colour, juce::Justification linkJustification)
    : juce::HyperlinkButton (linkText, linkUrl)
{
    setFont (linkFont, false);
    setColour (juce::HyperlinkButton::textColourId, colour);
    setJustificationType (linkJustification);
}

} // namespace juce::qorv_gui
