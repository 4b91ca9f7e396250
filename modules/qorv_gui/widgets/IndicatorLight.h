#pragma once

namespace juce::qorv_gui
{

/** A round lamp. State -1 (or any negative state) draws an outline in the off
    colour; state n >= 0 fills the lamp with stateColours[n], or draws nothing if
    there is no such colour. Owners may append further state colours. */
class IndicatorLight : public juce::Button
{
public:
    explicit IndicatorLight (const LookAndFeel& lookAndFeel);

    /** Shows the given state; always succeeds. */
    bool setLightState (int newState);
    int getLightState() const noexcept { return state; }

    juce::Colour offColour;
    juce::Array<juce::Colour> stateColours;

protected:
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    int state = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IndicatorLight)
};

} // namespace juce::qorv_gui
