#pragma once

namespace juce::qorv_gui
{

/** An IndicatorLight with a read-only label. It is never bound to a parameter:
    its owner sets the light's state and listens to its clicks. */
class IndicatorLightSuite final : public LabeledSuite
{
public:
    explicit IndicatorLightSuite (const LookAndFeel& lookAndFeel);

    BasicLabel& getLabel() noexcept { return label; }
    IndicatorLight& getLight() noexcept { return light; }

    bool setLightState (int newState) { return light.setLightState (newState); }

    bool owns (const juce::Component*) const override;
    void registerComponents (ComponentMap&) override;
    void addKeyListener (juce::KeyListener*) override {}
    void attach (juce::AudioProcessorValueTreeState&, const juce::String& paramID,
                 UserValueUpdater*, float step) override;
    void attachParameter (juce::AudioProcessorValueTreeState&, const juce::String&) override {}
    void nudge (int) override {}
    void addAndMakeVisibleTo (juce::Component& parent) override;
    void setBounds (const juce::Array<juce::Rectangle<float>>& rects) override;
    void setLabelText (const juce::String& text) override;
    void setEnabled (bool) override;
    void setVisible (bool) override;
    void setHelpText (const juce::String& text) override;

private:
    BasicLabel label;
    IndicatorLight light;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IndicatorLightSuite)
};

} // namespace juce::qorv_gui
