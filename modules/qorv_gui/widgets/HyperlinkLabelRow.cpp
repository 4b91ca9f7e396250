namespace juce::qorv_gui
{

const juce::String HyperlinkLabelRow::separator (" // ");

HyperlinkLabelRow::HyperlinkLabelRow (const LookAndFeel& lf, const juce::StringArray& texts,
                                      const juce::StringArray& urls, juce::Justification justification)
{
    const auto count = juce::jmin (texts.size(), urls.size());
    for (int i = 0; i < count; ++i)
    {
        auto* label = labels.add (new HyperlinkLabel (texts[i], juce::URL (urls[i]), lf.mainFont,
                                                      lf.textColour, justification));
        addAndMakeVisible (label);
    }
}

void HyperlinkLabelRow::resized()
{
    auto rightEdge = getWidth();

    for (int i = labels.size(); --i >= 0;)
    {
        auto& label = *labels.getUnchecked (i);
        const auto text = label.getButtonText();

        // Idempotent: a layout never stacks a second separator onto a label.
        if (i > 0 && ! text.startsWith (separator))
            label.setButtonText (separator + text);
        else if (i == 0 && text.startsWith (separator))
            label.setButtonText (text.substring (separator.length()));

        label.changeWidthToFitText();
        rightEdge -= label.getWidth();
        label.setBounds (rightEdge, 0, label.getWidth(), getHeight());
    }
}

} // namespace juce::qorv_gui
