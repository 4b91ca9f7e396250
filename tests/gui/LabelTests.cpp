#include "GuiTestSupport.h"

using namespace juce::qorv_gui;

namespace
{
class LabelTest : public ::testing::Test
{
protected:
    LookAndFeel lf;
};

juce::StringArray texts (HyperlinkLabelRow& row)
{
    juce::StringArray result;
    for (int i = 0; i < row.getNumLabels(); ++i)
        result.add (row.getLabel (i).getButtonText());
    return result;
}
} // namespace

TEST_F (LabelTest, HyperlinkRowShowsOneLinkPerTextAndUrlPairRightAligned)
{
    HyperlinkLabelRow row (lf, { "User Guide", "Get Support" },
                           { "https://example.com/guide", "https://example.com/support", "https://example.com/extra" },
                           juce::Justification::bottomLeft);
    row.setSize (540, 22);

    ASSERT_EQ (2, row.getNumLabels());
    EXPECT_EQ (2, row.getNumChildComponents());
    EXPECT_EQ (juce::StringArray ({ "User Guide", " // Get Support" }), texts (row));
    EXPECT_EQ (540, row.getLabel (1).getRight());
    EXPECT_EQ (row.getLabel (0).getRight(), row.getLabel (1).getX());
    EXPECT_EQ (juce::String ("https://example.com/support"), row.getLabel (1).getURL().toString (false));

    const auto firstBounds = row.getLabel (0).getBounds();
    row.resized();
    row.resized();
    EXPECT_EQ (juce::StringArray ({ "User Guide", " // Get Support" }), texts (row));
    EXPECT_EQ (firstBounds, row.getLabel (0).getBounds());
}

TEST_F (LabelTest, TitleShowsProductTitleWithSpacesAndPoints)
{
    TitleLabels title ("Quorvex", juce::URL ("https://example.com"), "Tandrel_v1-1-3",
                       juce::URL ("https://example.com/tandrel"), lf);
    title.setSize (540, 40);

    EXPECT_EQ (juce::String ("Tandrel v1.1.3"), title.getProductLabel().getButtonText());
    EXPECT_EQ (0, title.getCompanyLabel().getX());
    EXPECT_EQ (title.getCompanyLabel().getRight(), title.getProductLabel().getX());
    EXPECT_GT (title.getProductLabel().getWidth(), 0);

    // A company name as wide as the title leaves the product no room.
    title.setSize (title.getCompanyLabel().getWidth(), 40);
    EXPECT_EQ (title.getWidth(), title.getCompanyLabel().getWidth());
    EXPECT_EQ (0, title.getProductLabel().getWidth());
}

TEST_F (LabelTest, LabelsAndLinksTakeTheToolkitLook)
{
    BasicLabel label (lf);
    EXPECT_TRUE (label.getText().isEmpty());
    EXPECT_EQ (juce::BorderSize<int> (6), label.getBorderSize());
    EXPECT_EQ (lf.textColour, label.findColour (juce::Label::textColourId));
    EXPECT_EQ (lf.mainFont, label.getFont());

    NotificationLabel notification (lf.mainFont, lf.textColour, juce::Justification::topLeft);
    EXPECT_FALSE (notification.isVisible());
    EXPECT_TRUE (notification.getButtonText().isEmpty());

    BasicTextEditor field (lf);
    EXPECT_EQ (lf.highlightColour, field.findColour (juce::TextEditor::outlineColourId));
    EXPECT_EQ (lf.mainFont, field.getFont());
}
