#pragma once

namespace juce::qorv_gui
{

/** A BoxToggleButton with a read-only value label. A nudge in either direction
    flips the value. */
class ToggleButtonSuite final : public LabeledSuitePair<ToggleButtonSuite>
{
public:
    explicit ToggleButtonSuite (const LookAndFeel& lookAndFeel);
    ~ToggleButtonSuite();

    BasicLabel& getLabel() noexcept { return label; }
    const BasicLabel& getLabel() const noexcept { return label; }
    BoxToggleButton& getButton() noexcept { return button; }
    const BoxToggleButton& getButton() const noexcept { return button; }
    BoxToggleButton& getControl() noexcept { return button; }
    const BoxToggleButton& getControl() const noexcept { return button; }

    void attach (juce::AudioProcessorValueTreeState&, const juce::String& paramID,
                 UserValueUpdater*, float step) override;
    void attachParameter (juce::AudioProcessorValueTreeState&, const juce::String& paramID) override;
    void nudge (int direction) override;

private:
    BasicLabel label;
    BoxToggleButton button;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToggleButtonSuite)
};

} // namespace juce::qorv_gui
