#pragma once

namespace juce::qorv_gui
{

/** A right-aligned row of links read left to right in list order, separated by
    " // ". Extra entries of the longer of the two lists are ignored. */
class HyperlinkLabelRow : public juce::Component
{
public:
    HyperlinkLabelRow (const LookAndFeel& lookAndFeel, const juce::StringArray& texts,
                       const juce::StringArray& urls, juce::Justification justification);

    int getNumLabels() const noexcept { return labels.size(); }
    HyperlinkLabel& getLabel (int index) noexcept { return *labels.getUnchecked (index); }

    void resized() override;

    static const juce::String separator;

private:
    juce::OwnedArray<HyperlinkLabel> labels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HyperlinkLabelRow)
};

} // namespace juce::qorv_gui
