#pragma once

namespace juce::qorv_gui
{

/** A link without text or URL, hidden until an owner gives it something to say
    and makes it visible. */
class NotificationLabel : public HyperlinkLabel
{
public:
    NotificationLabel (const juce::Font& font, juce::Colour colour, juce::Justification justification);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NotificationLabel)
};

} // namespace juce::qorv_gui
