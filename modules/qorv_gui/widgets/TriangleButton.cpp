namespace juce::qorv_gui
{

TriangleButton::TriangleButton (int direction, const LookAndFeel& lf, const juce::String& buttonName,
                                juce::Button::Listener* listener)
    : juce::ShapeButton (buttonName, lf.highlightColour, lf.highlightColour.darker (0.4f),
                         lf.highlightColour.darker (1.3f))
{
    setShape (makeShape (direction), false, true, false);

    if (listener != nullptr)
        addListener (listener);
}

juce::Path TriangleButton::makeShape (int direction)
{
    constexpr float h = 0.8660254f; // height of a unit-sided equilateral triangle

    juce::Path shape;
    switch (direction)
    {
        case up:    shape.addTriangle (0.5f, 0.0f, 0.0f, h, 1.0f, h); break;
        case down:  shape = makeDownTriangle (0.5f, 1.0f, 1.0f); break;
        case left:  shape.addTriangle (0.0f, 0.5f, h, 0.0f, h, 1.0f); break;
        case right: shape = makeRightTriangle (1.0f, 0.5f, 1.0f); break;
        default: break;
    }
    return shape;
}

} // namespace juce::qorv_gui
