#pragma once

namespace juce::qorv_gui
{

/** A button showing a single-colour SVG icon. The icon is drawn in opaque black
    in its source; every black is replaced by the icon colour, a darker shade
    under the mouse and a darker one still while pressed, and the colour at 60 %
    alpha when disabled. */
class IconButton : public juce::DrawableButton
{
public:
    IconButton (const void* svgData, size_t svgDataSize, juce::Colour iconColour,
                const juce::String& buttonName, juce::Button::Listener* listener = nullptr);

    /** The colour the icon sources are drawn in and that the icon colour replaces. */
    const juce::Colour colourToReplace { 0xff000000 };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IconButton)
};

} // namespace juce::qorv_gui
