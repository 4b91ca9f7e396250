#pragma once

namespace juce::qorv_gui
{

/** An equilateral arrow button in the highlight colour (darker under the mouse
    and while pressed), e.g. the preset scroller's previous and next buttons. */
class TriangleButton : public juce::ShapeButton
{
public:
    enum Direction
    {
        up = 0,
        down = 1,
        left = 2,
        right = 3
    };

    /** direction is one of Direction; any other value gives an empty, invisible shape. */
    TriangleButton (int direction, const LookAndFeel& lookAndFeel, const juce::String& buttonName,
                    juce::Button::Listener* listener = nullptr);

    /** The arrow in the unit square, as the button shows it scaled to its bounds. */
    static juce::Path makeShape (int direction);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TriangleButton)
};

} // namespace juce::qorv_gui
