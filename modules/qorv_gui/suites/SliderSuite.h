#pragma once

namespace juce::qorv_gui
{

/** A slider (rotary or horizontal, drawn by the toolkit's look and feel) with an
    editable value label. Typing "Seg Mix: 7" or just "7" into the label sends 7
    to the updater; the processor then rewrites the label with the formatted value. */
class SliderSuite final : public LabeledSuitePair<SliderSuite>,
                          private juce::Label::Listener
{
public:
    SliderSuite (LookAndFeel& lookAndFeel, juce::Slider::SliderStyle style);
    ~SliderSuite() override;

    BasicLabel& getLabel() noexcept { return label; }
    const BasicLabel& getLabel() const noexcept { return label; }
    juce::Slider& getSlider() noexcept { return slider; }
    juce::Slider& getControl() noexcept { return slider; }
    const juce::Slider& getControl() const noexcept { return slider; }
    const juce::String& getParamID() const noexcept { return paramID; }

    void attach (juce::AudioProcessorValueTreeState&, const juce::String& paramID,
                 UserValueUpdater*, float step) override;
    void attachParameter (juce::AudioProcessorValueTreeState&, const juce::String& paramID) override;
    void nudge (int direction) override;

    /** The number a label edit stands for: what follows the first ": " if there
        is one, else the whole text; text that is not a number gives 0. */
    static float parseLabelValue (const juce::String& text);

private:
    void labelTextChanged (juce::Label*) override;
    void editorShown (juce::Label*, juce::TextEditor&) override {}
    void editorHidden (juce::Label*, juce::TextEditor&) override {}

    BasicLabel label;
    juce::Slider slider;
    std::unique_ptr<juce::SliderParameterAttachment> attachment;
    juce::String paramID;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SliderSuite)
};

} // namespace juce::qorv_gui
