#pragma once

namespace juce::qorv_gui
{

/** The editor's title line: the company link in the title font and accent colour,
    followed by the product link in the subtitle font and highlight colour. The
    product title is shown with "_" as spaces and "-" as points, so
    "Name_v2-0-1" reads "Name v2.0.1". */
class TitleLabels : public juce::Component
{
public:
    TitleLabels (const juce::String& companyName, const juce::URL& companyUrl,
                 const juce::String& productTitle, const juce::URL& productUrl,
                 const LookAndFeel& lookAndFeel);

    HyperlinkLabel& getCompanyLabel() noexcept { return company; }
    HyperlinkLabel& getProductLabel() noexcept { return product; }

    void resized() override;

private:
    HyperlinkLabel company;
    HyperlinkLabel product;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TitleLabels)
};

} // namespace juce::qorv_gui
