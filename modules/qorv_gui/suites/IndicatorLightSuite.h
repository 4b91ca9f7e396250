#pragma once

namespace juce::qorv_gui
{

/** An IndicatorLight with a read-only label. It is never bound to a parameter:
    its owner sets the light's state and listens to its clicks. */
class IndicatorLightSuite final : public LabeledSuitePair<IndicatorLightSuite>
{
public:
    explicit IndicatorLightSuite (const LookAndFeel& lookAndFeel);

    BasicLabel& getLabel() noexcept { return label; }
    const BasicLabel& getLabel() const noexcept { return label; }
    IndicatorLight& getLight() noexcept { return light; }
    IndicatorLight& getControl() noexcept { return light; }
    const IndicatorLight& getControl() const noexcept { return light; }

    bool setLightState (int newState) { return light.setLightState (newState); }

    void addKeyListener (juce::KeyListener*) override {}

private:
    BasicLabel label;
    IndicatorLight light;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IndicatorLightSuite)
};

} // namespace juce::qorv_gui
