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

} // namespace juce::qorv_gui
