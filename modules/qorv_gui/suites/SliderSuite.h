#pragma once

namespace juce::qorv_gui
{

/** A slider (rotary or horizontal, drawn by the toolkit's look and feel) with an
    editable value label. Typing "Seg Mix: 7" or just "7" into the label sends 7
    to the updater; the processor then rewrites the label with the formatted value. */
class SliderSuite final : public LabeledSuite,
                    private juce::Label::Listener
{
public:
    SliderSuite (LookAndFeel& lookAndFeel, juce::Slider::SliderStyle style);
    ~SliderSuite() override;

    BasicLabel& getLabel() noexcept { return label; }
    juce::Slider& getSlider() noexcept { return slider; }
    const juce::String& getParamID() const noexcept { return paramID; }

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
