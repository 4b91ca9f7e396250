namespace juce::qorv_gui
{

TextEditorSuite::TextEditorSuite (const LookAndFeel& lf, const juce::String& labelText)
    : field (lf),
      label (lf, labelText)
{
}

void TextEditorSuite::addKeyListener (juce::KeyListener* listener)
{
    field.addKeyListener (listener);
}

void TextEditorSuite::attach (juce::AudioProcessorValueTreeState& state, const juce::String& id,
                              UserValueUpdater*, float)
{
    attachParameter (state, id);
}

void TextEditorSuite::addAndMakeVisibleTo (juce::Component& parent)
{
    parent.addAndMakeVisible (label);
    parent.addAndMakeVisible (field);
}

void TextEditorSuite::setBounds (const juce::Array<juce::Rectangle<float>>& rects)
{
    placePair (field, label, rects);
}

void TextEditorSuite::setLabelText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

void TextEditorSuite::setEnabled (bool shouldBeEnabled)
{
    field.setEnabled (shouldBeEnabled);
    label.setEnabled (shouldBeEnabled);
}

void TextEditorSuite::setVisible (bool shouldBeVisible)
{
    field.setVisible (shouldBeVisible);
    label.setVisible (shouldBeVisible);
}

void TextEditorSuite::setHelpText (const juce::String& text)
{
    field.setHelpText (text);
    label.setHelpText (text);
}

} // namespace juce::qorv_gui
