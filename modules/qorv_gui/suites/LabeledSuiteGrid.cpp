#include <stdexcept>

namespace juce::qorv_gui
{

LabeledSuiteGrid::LabeledSuiteGrid (LookAndFeel& lf, const juce::Array<int>& suiteKinds)
    : lineColour (lf.highlightColour)
{
    for (auto kind : suiteKinds)
    {
        LabeledSuite* suite = nullptr;
        switch (kind)
        {
            case rotary:           suite = sliderSuites.add (new SliderSuite (lf, juce::Slider::RotaryHorizontalVerticalDrag)); break;
            case toggle:           suite = toggleSuites.add (new ToggleButtonSuite (lf)); break;
            case verticalSlider:   suite = sliderSuites.add (new SliderSuite (lf, juce::Slider::LinearVertical)); break;
            case horizontalSlider: suite = sliderSuites.add (new SliderSuite (lf, juce::Slider::LinearHorizontal)); break;
            case indicatorLight:   suite = lightSuites.add (new IndicatorLightSuite (lf)); break;
            default: continue;
        }

        kinds.add (kind);
        suites.add (suite);
        suite->addAndMakeVisibleTo (*this);
    }
}

void LabeledSuiteGrid::setGrid (int numRows, int numColumns)
{
    // At least one cell each way, so the cell size is always defined.
    rows = juce::jmax (1, numRows);
    columns = juce::jmax (1, numColumns);
    resized();
}

void LabeledSuiteGrid::setControlSide (int kind, float side)
{
    switch (kind)
    {
        case rotary:         rotarySide = side; break;
        case toggle:         toggleSide = side; break;
        case indicatorLight: lightSide = side; break;
        default: return;
    }
    resized();
}

float LabeledSuiteGrid::getControlSide (int kind) const noexcept
{
    switch (kind)
    {
        case rotary:         return rotarySide;
        case toggle:         return toggleSide;
        case indicatorLight: return lightSide;
        default:             return 0.0f;
    }
}

void LabeledSuiteGrid::setHorizontalSliderSize (float length, float thickness)
{
    sliderLength = length;
    sliderThickness = thickness;
    resized();
}

void LabeledSuiteGrid::setLines (const juce::Array<juce::Array<float>>& newLines)
{
    lines = newLines;
    repaint();
}

void LabeledSuiteGrid::setLineColour (juce::Colour colour)
{
    lineColour = colour;
    repaint();
}

void LabeledSuiteGrid::resized()
{
    const auto cellWidth = (float) getWidth() / (float) columns;
    const auto cellHeight = (float) getHeight() / (float) rows;

    for (int i = 0; i < suites.size(); ++i)
    {
        const auto kind = kinds.getUnchecked (i);
        const auto x = (float) (i % columns) * cellWidth;
        const auto y = (float) (i / columns) * cellHeight;

        if (kind == verticalSlider)
            throw std::logic_error ("Not coded");

        if (kind == horizontalSlider)
        {
            suites.getUnchecked (i)->setBounds (LabeledSuite::makeBounds (
                { x, y, sliderLength, sliderThickness },
                { x + sliderLength, y, cellWidth - sliderLength, sliderThickness }));
            continue;
        }

        const auto square = juce::jmin (cellWidth, cellHeight);
        const auto side = juce::jmax (getControlSide (kind), 0.0f);
        const auto inset = (square - side) / 2.0f;
        suites.getUnchecked (i)->setBounds (LabeledSuite::makeBounds ({ x + inset, y + inset, side, side },
                                                                { x + square, y, cellWidth - square, square }));
    }
}

void LabeledSuiteGrid::paint (juce::Graphics& g)
{
    if (lines.isEmpty())
        return;

    const auto cellWidth = (float) getWidth() / (float) columns;
    const auto cellHeight = (float) getHeight() / (float) rows;

    g.setColour (lineColour);
    for (const auto& line : lines)
    {
        // A line too short for a first point starts at its lone number (or 0) on the top edge.
        const auto start = line.size() >= 2 ? juce::Point<float> (line[0] * cellWidth, line[1] * cellHeight)
                                            : juce::Point<float> (line.isEmpty() ? 0.0f : line[0], 0.0f);
        juce::Path path;
        path.startNewSubPath (start);
        for (int j = 2; j + 1 < line.size(); j += 2)
            path.lineTo (line[j] * cellWidth, line[j + 1] * cellHeight);

        g.strokePath (path, juce::PathStrokeType (1.0f));
    }
}

} // namespace juce::qorv_gui
