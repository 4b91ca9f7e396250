namespace juce::qorv_gui
{

TitleLabels::TitleLabels (const juce::String& companyName, const juce::URL& companyUrl,
                          const juce::String& productTitle, const juce::URL& productUrl,
                          const LookAndFeel& lf)
    : company (companyName, companyUrl, lf.titleFont, lf.accentColour,
               juce::Justification::centredLeft),
      product (productTitle.replaceCharacters ("_-", " ."), productUrl, lf.subtitleFont,
               lf.highlightColour, juce::Justification::centredLeft)
{
    addAndMakeVisible (company);
    addAndMakeVisible (product);
}

void TitleLabels::resized()
{
    company.changeWidthToFitText();
    product.changeWidthToFitText();

    // The company name wins: the product title only gets what is left after a 30 px gap.
    const auto companyWidth = juce::jmin (getWidth(), company.getWidth());
    company.setBounds (0, 0, companyWidth, getHeight());

    const auto productWidth = juce::jmax (0, juce::jmin (product.getWidth(), getWidth() - companyWidth - 30));
    product.setBounds (companyWidth, 0, productWidth, getHeight());
}

} // namespace juce::qorv_gui
