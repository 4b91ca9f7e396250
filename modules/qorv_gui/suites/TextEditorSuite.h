#pragma once

namespace juce::qorv_gui
{

/** A text field with a fixed caption label. It is not bound to a parameter and
    never claims its components, so the editor's arrow-key handling leaves the
    field's own cursor keys alone. */
class TextEditorSuite final : public LabeledSuitePair<TextEditorSuite>
{
public:
    TextEditorSuite (const LookAndFeel& lookAndFeel, const juce::String& labelText);

    BasicTextEditor& getTextEditor() noexcept { return field; }
    BasicTextEditor& getControl() noexcept { return field; }
    const BasicTextEditor& getControl() const noexcept { return field; }
    BasicLabel& getLabel() noexcept { return label; }
    const BasicLabel& getLabel() const noexcept { return label; }

    bool owns (const juce::Component*) const override { return false; }
    void registerComponents (ComponentMap&) override {}
    void addKeyListener (juce::KeyListener*) override;

private:
    BasicTextEditor field;
    BasicLabel label;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextEditorSuite)
};

} // namespace juce::qorv_gui
