#pragma once

namespace juce::qorv_gui
{

/** Builds one suite per kind and lays them out row by row in a grid of equal
    cells. In each cell a square control (rotary, toggle, light) sits centred in
    the cell's left square with its label filling the rest; a horizontal slider
    has a fixed length and thickness with its label after it.

    The owner reaches the suites in construction order through getSuites() and
    casts them to their concrete type by kind. */
class LabeledSuiteGrid : public juce::Component
{
public:
    /** Kinds outside 0..4 create no suite; pass only valid kinds, because layout
        pairs the i-th suite with the i-th kind. */
    LabeledSuiteGrid (LookAndFeel& lookAndFeel, const juce::Array<int>& kinds);

    const juce::Array<LabeledSuite*>& getSuites() const noexcept { return suites; }
    LabeledSuite* getSuite (int index) const noexcept { return suites[index]; }

    /** The suite at index as its concrete type, or nullptr if it is another kind. */
    template <typename SuiteType>
    SuiteType* getSuiteAs (int index) const { return dynamic_cast<SuiteType*> (getSuite (index)); }

    //==============================================================================
    void setGrid (int numRows, int numColumns);
    int getNumRows() const noexcept { return rows; }
    int getNumColumns() const noexcept { return columns; }

    /** Side of the square control of a rotary, toggle or indicator-light cell. */
    void setControlSide (int kind, float side);
    float getControlSide (int kind) const noexcept;

    void setHorizontalSliderSize (float length, float thickness);

    /** Each line is a polyline x0, y0, x1, y1, ... in cell units, stroked 1 px wide. */
    void setLines (const juce::Array<juce::Array<float>>& newLines);
    void setLineColour (juce::Colour colour);

    //==============================================================================
    /** Throws an exception carrying "Not coded" if the grid holds a vertical slider. */
    void resized() override;
    void paint (juce::Graphics&) override;

private:
    juce::Array<int> kinds;
    juce::OwnedArray<SliderSuite> sliderSuites;
    juce::OwnedArray<ToggleButtonSuite> toggleSuites;
    juce::OwnedArray<IndicatorLightSuite> lightSuites;
    juce::Array<LabeledSuite*> suites;

    int rows = 4;
    int columns = 1;
    float rotarySide = 0.0f;
    float toggleSide = 0.0f;
    float lightSide = 14.0f;
    float sliderLength = 250.0f;
    float sliderThickness = 16.0f;
    juce::Colour lineColour;
    juce::Array<juce::Array<float>> lines;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LabeledSuiteGrid)
};

} // namespace juce::qorv_gui
