#pragma once

namespace juce::qorv_gui
{

/** The toolkit's label: main font in the text colour, centred-left, with a
    6-pixel border that also frames the in-place editor. Suites use it to name a
    control and show its value. */
class BasicLabel : public juce::Label
{
public:
    explicit BasicLabel (const LookAndFeel& lookAndFeel, const juce::String& text = {});

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasicLabel)
};

} // namespace juce::qorv_gui
