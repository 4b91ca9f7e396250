namespace juce::qorv_gui
{

BasicTextEditor::BasicTextEditor (const LookAndFeel& lf)
    : juce::TextEditor ({}, 0)
{
    setFont (lf.mainFont);
    applyFontToAllText (lf.mainFont);
    setColour (juce::TextEditor::textColourId, lf.textColour);
    setColour (juce::TextEditor::outlineColourId, lf.highlightColour);
    setJustification (juce::Justification::centredLeft);
}

} // namespace juce::qorv_gui
