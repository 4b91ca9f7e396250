#include "GuiTestSupport.h"

using namespace juce::qorv_gui;
using gui_test::render;

namespace
{
class ButtonTest : public ::testing::Test
{
protected:
    LookAndFeel lf;
};
} // namespace

TEST_F (ButtonTest, IconButtonDarkensOnHoverAndPressAndFadesWhenDisabled)
{
    struct StateCase
    {
        const char* name;
        juce::Button::ButtonState state;
        bool enabled;
        juce::uint32 expected;
    };

    const auto undo = gui_test::iconData ("undo.svg");
    IconButton button (undo.getData(), undo.getSize(), juce::Colour (0xff9acd32), "UndoButton");
    button.setSize (44, 44);

    for (const auto& c : { StateCase { "normal", juce::Button::buttonNormal, true, 0xff9acd32 },
                           StateCase { "over", juce::Button::buttonOver, true, 0xff6e9223 },
                           StateCase { "down", juce::Button::buttonDown, true, 0xff425915 },
                           StateCase { "disabled", juce::Button::buttonNormal, false, 0x999acd32 } })
    {
        SCOPED_TRACE (c.name);
        button.setEnabled (c.enabled);
        button.setState (c.state);
        const auto solid = gui_test::mostOpaquePixel (render (button));
        EXPECT_PRED2 (gui_test::near, solid, juce::Colour (c.expected)) << gui_test::hex (solid);
    }
}

TEST_F (ButtonTest, EveryIconResourceParsesAndIsDrawnInOpaqueBlackOnly)
{
    for (const auto* name : { "new.svg", "randomPreset.svg", "redo.svg", "reload.svg", "undo.svg" })
    {
        SCOPED_TRACE (name);
        const auto icon = gui_test::iconData (name);
        auto drawable = juce::Drawable::createFromImageData (icon.getData(), icon.getSize());
        ASSERT_NE (nullptr, drawable);
        juce::Image image (juce::Image::ARGB, 22, 22, true);
        {
            juce::Graphics g (image);
            drawable->drawWithin (g, { 0.0f, 0.0f, 22.0f, 22.0f }, juce::RectanglePlacement::centred, 1.0f);
        }
        // Legible at 22 x 22 (a fair share of ink), nothing but black to recolour, and
        // no overlapping strokes (they would show as dark joints on a faded icon).
        EXPECT_GT (gui_test::countPixels (image, [] (juce::Colour c) { return c.getAlpha() > 200; }), 40);
        EXPECT_EQ (0, gui_test::countPixels (image, [] (juce::Colour c) { return c.getAlpha() > 0 && (c.getRed() | c.getGreen() | c.getBlue()) > 8; }));

        IconButton button (icon.getData(), icon.getSize(), juce::Colours::black, "Icon");
        button.setSize (22, 22);
        button.setEnabled (false);
        EXPECT_EQ (153, gui_test::mostOpaquePixel (render (button)).getAlpha());
    }
}

TEST_F (ButtonTest, TriangleShapesPointTheirWayAndUnknownDirectionsAreEmpty)
{
    struct DirectionCase
    {
        int direction;
        juce::Point<float> inside, outside;
    };

    for (const auto& c : { DirectionCase { 0, { 0.5f, 0.6f }, { 0.5f, 0.95f } },
                           DirectionCase { 1, { 0.5f, 0.4f }, { 0.5f, 0.05f } },
                           DirectionCase { 2, { 0.4f, 0.5f }, { 0.95f, 0.5f } },
                           DirectionCase { 3, { 0.6f, 0.5f }, { 0.05f, 0.5f } } })
    {
        SCOPED_TRACE (c.direction);
        const auto shape = TriangleButton::makeShape (c.direction);
        EXPECT_TRUE (shape.contains (c.inside));
        EXPECT_FALSE (shape.contains (c.outside));
    }

    EXPECT_TRUE (TriangleButton::makeShape (7).isEmpty());
    TriangleButton invalid (7, lf, "Invalid");
    invalid.setSize (20, 20);
    EXPECT_EQ (0, gui_test::countPixels (render (invalid), [] (juce::Colour c) { return c.getAlpha() > 0; }));
}

TEST_F (ButtonTest, BoxToggleButtonOutlinesOnlyWhenOff)
{
    struct BoxCase
    {
        bool on, hovered;
        juce::Colour edge, centre;
    };

    BoxToggleButton button (lf);
    button.setSize (14, 14);

    for (const auto& c : { BoxCase { true, false, lf.accentColour, lf.accentColour },
                           BoxCase { true, true, lf.accentColour, lf.accentColour },
                           BoxCase { false, false, lf.highlightColour, lf.backgroundColour },
                           BoxCase { false, true, lf.accentColour, lf.backgroundColour } })
    {
        SCOPED_TRACE (juce::String (c.on ? "on" : "off") + (c.hovered ? ", hovered" : ""));
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setState (c.hovered ? juce::Button::buttonOver : juce::Button::buttonNormal);
        const auto image = render (button);
        EXPECT_PIXEL (image, 0, 7, c.edge);
        EXPECT_PIXEL (image, 7, 13, c.edge);
        EXPECT_PIXEL (image, 7, 7, c.centre);
    }
}

TEST_F (ButtonTest, IndicatorLightPicksItsColourByState)
{
    struct LightCase
    {
        int state;
        juce::Colour centre, edge;
        int edgeY;
    };

    IndicatorLight light (lf);
    light.setSize (14, 14);
    const auto clear = juce::Colours::transparentBlack;

    // The outline is a 2 px stroke centred on the rim, so only its inner half shows.
    for (const auto& c : { LightCase { -1, clear, lf.textColour, 0 },
                           LightCase { 0, lf.accentColour, lf.accentColour, 1 },
                           LightCase { 1, lf.highlightColour, lf.highlightColour, 1 } })
    {
        SCOPED_TRACE (c.state);
        EXPECT_TRUE (light.setLightState (c.state));
        const auto image = render (light);
        EXPECT_PIXEL (image, 7, 7, c.centre);
        EXPECT_PIXEL (image, 7, c.edgeY, c.edge);
    }

    // Past the end of the two colours: nothing at all.
    light.setLightState (5);
    EXPECT_EQ (0, gui_test::countPixels (render (light), [] (juce::Colour c) { return c.getAlpha() > 0; }));
}

TEST_F (ButtonTest, MouseoverTextButtonInvertsUnderTheMouse)
{
    MouseoverTextButton button (lf, "Save");
    button.setSize (80, 24);

    button.setState (juce::Button::buttonNormal);
    const auto idle = render (button);
    EXPECT_PIXEL (idle, 4, 4, lf.backgroundColour);
    EXPECT_PIXEL (idle, 0, 12, lf.highlightColour);

    button.setState (juce::Button::buttonOver);
    const auto hovered = render (button);
    EXPECT_PIXEL (hovered, 4, 4, lf.accentColour);
    EXPECT_PIXEL (hovered, 0, 12, lf.backgroundColour);

    button.setState (juce::Button::buttonNormal);
    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_FALSE (button.getToggleState());
}
