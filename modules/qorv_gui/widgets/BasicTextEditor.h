#pragma once

namespace juce::qorv_gui
{

/** The toolkit's text field (used by TextEditorSuite): main font in the text
    colour, highlight-coloured outline, centred-left. Line mode, length limits and
    input filters stay at JUCE's defaults. */
class BasicTextEditor : public juce::TextEditor
{
public:
    explicit BasicTextEditor (const LookAndFeel& lookAndFeel);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasicTextEditor)
};

} // namespace juce::qorv_gui
