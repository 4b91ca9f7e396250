#pragma once

namespace juce::qorv_gui
{

/** A text link that opens its URL in the default browser when clicked. The font
    keeps its own height instead of following the component's height. */
class HyperlinkLabel : public juce::HyperlinkButton
{
public:
    HyperlinkLabel (const juce::String& text, const juce::URL& url, const juce::Font& font,
                    juce::Colour colour, juce::Justification justification);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HyperlinkLabel)
};

} // namespace juce::qorv_gui
