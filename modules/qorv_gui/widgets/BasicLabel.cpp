namespace juce::qorv_gui
{

BasicLabel::BasicLabel (const LookAndFeel& lf, const juce::String& text)
    : juce::Label ({}, {})
{
    setFont (lf.mainFont);
    setColour (juce::Label::textColourId, lf.textColour);
    setJustificationType (juce::Justification::centredLeft);
    setBorderSize (juce::BorderSize<int> (6));

    if (text.isNotEmpty())
        setText (text, juce::dontSendNotification);
}

} // namespace juce::qorv_gui
