#pragma once

namespace juce::qorv_gui
{

/** A BoxToggleButton with a read-only value label. A nudge in either direction
    flips the value. */
class ToggleButtonSuite final : public LabeledSuite
{
public:
    explicit ToggleButtonSuite (const LookAndFeel& lookAndFeel);
    ~ToggleButtonSuite();

    BasicLabel& getLabel() noexcept { return label; }
    const BasicLabel& getLabel() const noexcept { return label; }
    BoxToggleButton& getButton() noexcept { return button; }
    const BoxToggleButton& getButton() const noexcept { return button; }

    bool owns (const juce::Component*) const override;
    void registerComponents (ComponentMap&) override;
    void addKeyListener (juce::KeyListener*) override;
    void attach (juce::AudioProcessorValueTreeState&, const juce::String& paramID,
                 UserValueUpdater*, float step) override;
    void attachParameter (juce::AudioProcessorValueTreeState&, const juce::String& paramID) override;
    void nudge (int direction) override;
    void addAndMakeVisibleTo (juce::Component& parent) override;
    void setBounds (const juce::Array<juce::Rectangle<float>>& rects) override;
    void setLabelText (const juce::String& text) override;
    void setEnabled (bool) override;
    void setVisible (bool) override;
    void setHelpText (const juce::String& text) override;

private:
    BasicLabel label;
    BoxToggleButton button;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToggleButtonSuite)
};

} // namespace juce::qorv_gui
