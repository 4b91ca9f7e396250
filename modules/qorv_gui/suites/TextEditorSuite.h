#pragma once

namespace juce::qorv_gui
{

/** A text field with a fixed caption label. It is not bound to a parameter and
    never claims its components, so the editor's arrow-key handling leaves the
    field's own cursor keys alone. */
class TextEditorSuite final : public LabeledSuite
{
public:
    TextEditorSuite (const LookAndFeel& lookAndFeel, const juce::String& labelText);

    BasicTextEditor& getTextEditor() noexcept { return field; }
    BasicLabel& getLabel() noexcept { return label; }

    bool owns (const juce::Component*) const override { return false; }
    void registerComponents (ComponentMap&) override {}
    void addKeyListener (juce::KeyListener*) override;
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
    BasicTextEditor field;
    BasicLabel label;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextEditorSuite)
};

} // namespace juce::qorv_gui
