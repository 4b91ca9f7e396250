#include "GuiTestSupport.h"

#include <stdexcept>

using namespace juce::qorv_gui;
using gui_test::render;

namespace
{
struct RotaryCase
{
    bool enabled;
    juce::uint8 bodyAlpha;
};

class LookAndFeelTest : public ::testing::Test
{
protected:
    LookAndFeel lf;
};
} // namespace

TEST_F (LookAndFeelTest, RotarySliderDimsBodyWhenDisabledButKeepsPointerOpaque)
{
    for (const auto& c : { RotaryCase { true, 255 }, RotaryCase { false, 153 } })
    {
        SCOPED_TRACE (c.enabled ? "enabled" : "disabled");
        juce::Slider slider (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox);
        slider.setLookAndFeel (&lf);
        slider.setRotaryParameters (0.0f, juce::MathConstants<float>::pi, true);
        slider.setRange (0.0, 1.0);
        slider.setValue (0.0);
        slider.setEnabled (c.enabled);
        slider.setSize (60, 60);

        const auto image = render (slider);
        // Centre (30, 30), radius 30, body 48 px across; at angle 0 the pointer points straight up.
        EXPECT_PIXEL (image, 30, 42, lf.accentColour.withAlpha (c.bodyAlpha));
        EXPECT_PIXEL (image, 30, 54, lf.highlightColour.withAlpha (c.bodyAlpha)); // the ring outside the body
        EXPECT_PIXEL (image, 30, 14, lf.backgroundColour);
        slider.setLookAndFeel (nullptr);
    }
}

TEST_F (LookAndFeelTest, HorizontalSliderTrackGrowsFromLeftAndIsEmptyAtMinimum)
{
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lf);
    slider.setRange (0.0, 10.0);
    slider.setSize (200, 16);

    slider.setValue (0.0);
    const auto atMinimum = render (slider);
    EXPECT_EQ (0, gui_test::countPixels (atMinimum, [&] (juce::Colour c) { return gui_test::nearWithin (c, lf.highlightColour, 40); }));
    EXPECT_PIXEL (atMinimum, 3, 8, lf.accentColour); // the thumb, pushed half outside on the left

    slider.setValue (5.0);
    const auto halfway = render (slider);
    EXPECT_PIXEL (halfway, 20, 8, lf.highlightColour);
    EXPECT_PIXEL (halfway, 150, 8, juce::Colours::transparentBlack);
    slider.setLookAndFeel (nullptr);
}

TEST_F (LookAndFeelTest, VerticalSliderIsRefused)
{
    juce::Slider slider (juce::Slider::LinearVertical, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lf);
    slider.setSize (16, 100);
    try
    {
        render (slider);
        ADD_FAILURE() << "a vertical slider was drawn";
    }
    catch (const std::exception& e)
    {
        EXPECT_STREQ ("Not coded", e.what());
    }
    slider.setLookAndFeel (nullptr);
}

TEST_F (LookAndFeelTest, ComboBoxArrowSitsEightPixelsFromTheRightAndIsCentred)
{
    juce::ComboBox box;
    box.setLookAndFeel (&lf);
    box.setSize (120, 22);
    const auto image = render (box);

    // Side 12: apex at (106, 16.2), top edge at y 5.8 from x 100 to 112.
    EXPECT_PIXEL (image, 106, 9, lf.highlightColour);
    EXPECT_PIXEL (image, 101, 7, lf.highlightColour);
    EXPECT_PIXEL (image, 106, 19, lf.backgroundColour);
    EXPECT_PIXEL (image, 96, 9, lf.backgroundColour);
    EXPECT_PIXEL (image, 115, 9, lf.backgroundColour);
    EXPECT_PIXEL (image, 0, 11, lf.highlightColour);
    box.setLookAndFeel (nullptr);
}

TEST_F (LookAndFeelTest, PopupItemIsFilledOnlyWhenHighlightedAndActive)
{
    auto drawItem = [&] (bool isActive, bool isHighlighted)
    {
        juce::Image image (juce::Image::ARGB, 120, 24, true);
        juce::Graphics g (image);
        lf.drawPopupMenuItem (g, { 0, 0, 120, 24 }, false, isActive, isHighlighted, false, false,
                              "Item", {}, nullptr, nullptr);
        return image;
    };

    const auto normal = drawItem (false, false);
    const auto highlightedInactive = drawItem (false, true);
    const auto highlightedActive = drawItem (true, true);

    EXPECT_PIXEL (highlightedActive, 2, 2, lf.accentColour);
    EXPECT_PIXEL (highlightedInactive, 2, 2, juce::Colours::transparentBlack);
    EXPECT_EQ (0, gui_test::countPixels (highlightedInactive, [&] (juce::Colour c) { return gui_test::nearWithin (c, lf.accentColour, 40); }));

    // Same pixels as a plain item: the text is drawn, in the text colour.
    auto differences = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 120; ++x)
            differences += normal.getPixelAt (x, y) != highlightedInactive.getPixelAt (x, y) ? 1 : 0;
    EXPECT_EQ (0, differences);
    EXPECT_GT (gui_test::countPixels (normal, [&] (juce::Colour c) { return gui_test::near (c, lf.textColour); }), 0);
}

TEST_F (LookAndFeelTest, TabShapesRoundOnlyTheOuterCorners)
{
    struct TabCase
    {
        int numTabs, index;
        bool topLeftInside, bottomRightInside;
    };

    for (const auto& c : { TabCase { 1, 0, false, true },
                           TabCase { 3, 0, false, true },
                           TabCase { 3, 1, true, true },
                           TabCase { 3, 2, true, false } })
    {
        SCOPED_TRACE ("tab " + std::to_string (c.index) + " of " + std::to_string (c.numTabs));
        juce::TabbedButtonBar bar (juce::TabbedButtonBar::TabsAtTop);
        bar.setLookAndFeel (&lf);
        for (int i = 0; i < c.numTabs; ++i)
            bar.addTab ("Tab " + juce::String (i), juce::Colours::grey, -1);
        bar.setBounds (0, 0, 400, 30);

        auto& button = *bar.getTabButton (c.index);
        juce::Path shape;
        lf.createTabButtonShape (button, shape, false, false);
        const auto area = button.getActiveArea().toFloat();

        EXPECT_EQ (c.topLeftInside, shape.contains (area.getX() + 1.0f, area.getY() + 1.0f));
        EXPECT_TRUE (shape.contains (area.getRight() - 1.0f, area.getY() + 1.0f));
        EXPECT_TRUE (shape.contains (area.getX() + 1.0f, area.getBottom() - 1.0f));
        EXPECT_EQ (c.bottomRightInside, shape.contains (area.getRight() - 1.0f, area.getBottom() - 1.0f));
        bar.setLookAndFeel (nullptr);
    }
}

TEST_F (LookAndFeelTest, TabBarExtrasButtonIsAnOpaqueBlackBlock)
{
    std::unique_ptr<juce::Button> extras (lf.createTabBarExtrasButton());
    ASSERT_NE (nullptr, dynamic_cast<LookAndFeel::ExtrasButtonPlaceholder*> (extras.get()));
    EXPECT_EQ (juce::String ("Placeholder"), extras->getName());
    extras->setSize (20, 16);

    const auto image = render (*extras);
    EXPECT_EQ (20 * 16, gui_test::countPixels (image, [] (juce::Colour c) { return c.getARGB() == 0xff000000; }));
}

TEST_F (LookAndFeelTest, FontsComeFromTheEmbeddedTypefaces)
{
    EXPECT_FLOAT_EQ (19.0f, lf.mainFont.getHeight());
    EXPECT_FLOAT_EQ (34.0f, lf.titleFont.getHeight());
    EXPECT_FLOAT_EQ (28.0f, lf.subtitleFont.getHeight());
#if JUCE_WINDOWS // the framework names a typeface there by its full name, style included
    EXPECT_EQ (juce::String ("Source Code Pro Bold"), lf.mainFont.getTypefaceName());
    EXPECT_EQ (juce::String ("Courier Prime Regular"), lf.titleFont.getTypefaceName());
#else
    EXPECT_EQ (juce::String ("Source Code Pro"), lf.mainFont.getTypefaceName());
    EXPECT_EQ (juce::String ("Courier Prime"), lf.titleFont.getTypefaceName());
#endif
    // A monospaced face: every glyph has the same advance.
    EXPECT_FLOAT_EQ (lf.mainFont.getStringWidthFloat ("iiii"), lf.mainFont.getStringWidthFloat ("WWWW"));
}
