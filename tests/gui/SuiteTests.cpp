#include "GuiTestSupport.h"

#include <stdexcept>

using namespace juce::qorv_gui;

namespace
{
class SuiteTest : public ::testing::Test
{
protected:
    LookAndFeel lf;
    gui_test::StateProcessor processor;
    gui_test::RecordingUpdater updater;
};
} // namespace

TEST_F (SuiteTest, LabelEditSendsTheNumberAfterTheParameterName)
{
    struct EditCase
    {
        const char* typed;
        float expected;
    };

    SliderSuite suite (lf, juce::Slider::LinearHorizontal);
    suite.attach (processor.state, "1- Seg Mix", &updater, 1.0f);
    EXPECT_TRUE (suite.getLabel().isEditableOnSingleClick());

    for (const auto& c : { EditCase { "Seg Mix: 7", 7.0f }, EditCase { "7", 7.0f }, EditCase { "abc", 0.0f },
                           EditCase { "Seg Mix: 12.5 %", 12.5f } })
    {
        SCOPED_TRACE (c.typed);
        updater.calls.clear();
        suite.getLabel().setText (c.typed, juce::sendNotificationSync);
        ASSERT_EQ (1u, updater.calls.size());
        EXPECT_EQ (juce::String ("1- Seg Mix"), updater.calls[0].first);
        EXPECT_FLOAT_EQ (c.expected, updater.calls[0].second);
    }
}

TEST_F (SuiteTest, SliderNudgeStepsAndStopsAtTheRangeEnds)
{
    struct NudgeCase
    {
        float value;
        int direction;
        float expected;
    };

    SliderSuite suite (lf, juce::Slider::LinearHorizontal);
    suite.attach (processor.state, "1- Seg Mix", &updater, 1.0f);
    ASSERT_EQ (120.0, suite.getSlider().getMaximum()); // the attachment took the parameter's range

    for (const auto& c : { NudgeCase { 0.0f, -1, 0.0f }, NudgeCase { 0.0f, 1, 1.0f },
                           NudgeCase { 60.0f, -1, 59.0f }, NudgeCase { 120.0f, 1, 120.0f } })
    {
        SCOPED_TRACE (juce::String (c.value) + " nudged " + juce::String (c.direction));
        processor.state.getParameter ("1- Seg Mix")->setValueNotifyingHost (processor.state.getParameter ("1- Seg Mix")->convertTo0to1 (c.value));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10); // the attachment updates the slider asynchronously
        ASSERT_FLOAT_EQ (c.value, (float) suite.getSlider().getValue());

        updater.calls.clear();
        suite.nudge (c.direction);
        ASSERT_EQ (1u, updater.calls.size());
        EXPECT_FLOAT_EQ (c.expected, updater.calls[0].second);
    }

    updater.calls.clear();
    suite.nudge (0);
    EXPECT_TRUE (updater.calls.empty());
}

TEST_F (SuiteTest, ToggleNudgeFlipsInEitherDirection)
{
    ToggleButtonSuite suite (lf);
    suite.attach (processor.state, "Mode", &updater, 1.0f);
    EXPECT_TRUE (suite.getButton().getWantsKeyboardFocus());
    EXPECT_FALSE (suite.getLabel().isEditableOnSingleClick());

    suite.getButton().setToggleState (false, juce::dontSendNotification);
    suite.nudge (-1);
    suite.getButton().setToggleState (true, juce::dontSendNotification);
    suite.nudge (-1);
    suite.nudge (1);

    ASSERT_EQ (3u, updater.calls.size());
    EXPECT_EQ (juce::String ("Mode"), updater.calls[0].first);
    EXPECT_FLOAT_EQ (1.0f, updater.calls[0].second);
    EXPECT_FLOAT_EQ (0.0f, updater.calls[1].second);
    EXPECT_FLOAT_EQ (0.0f, updater.calls[2].second);
}

TEST_F (SuiteTest, UnknownParameterLeavesTheControlFreeButEditsStillReachTheUpdater)
{
    SliderSuite suite (lf, juce::Slider::LinearHorizontal);
    suite.getSlider().setRange (0.0, 10.0);
    suite.attach (processor.state, "No Such Parameter", &updater, 2.0f);

    suite.getSlider().setValue (9.0);
    suite.nudge (1);
    suite.getLabel().setText ("3", juce::sendNotificationSync);

    ASSERT_EQ (2u, updater.calls.size());
    EXPECT_EQ (juce::String ("No Such Parameter"), updater.calls[0].first);
    EXPECT_FLOAT_EQ (10.0f, updater.calls[0].second);
    EXPECT_FLOAT_EQ (3.0f, updater.calls[1].second);
}

TEST_F (SuiteTest, OwnershipAndRegistration)
{
    SliderSuite slider (lf, juce::Slider::LinearHorizontal);
    ToggleButtonSuite toggle (lf);
    TextEditorSuite text (lf, "Name");

    EXPECT_TRUE (slider.owns (&slider.getSlider()));
    EXPECT_TRUE (slider.owns (&slider.getLabel()));
    EXPECT_FALSE (slider.owns (&toggle.getButton()));
    EXPECT_FALSE (text.owns (&text.getTextEditor()));
    EXPECT_FALSE (text.owns (&text.getLabel()));
    EXPECT_EQ (juce::String ("Name"), text.getLabel().getText());

    LabeledSuite::ComponentMap map;
    slider.registerComponents (map);
    toggle.registerComponents (map);
    text.registerComponents (map);
    slider.registerComponents (map);
    ASSERT_EQ (4u, map.size());
    EXPECT_EQ (&slider, map.at (&slider.getLabel()));
    EXPECT_EQ (&toggle, map.at (&toggle.getButton()));
}

TEST_F (SuiteTest, GridPlacesSquareControlsAndSlidersInTheirCells)
{
    LabeledSuiteGrid grid (lf, { indicatorLight, horizontalSlider, toggle, rotary });
    grid.setControlSide (rotary, 20.0f);
    grid.setSize (510, 96);

    ASSERT_EQ (4, grid.getSuites().size());
    ASSERT_NE (nullptr, grid.getSuiteAs<IndicatorLightSuite> (0));
    ASSERT_NE (nullptr, grid.getSuiteAs<SliderSuite> (1));
    ASSERT_NE (nullptr, grid.getSuiteAs<ToggleButtonSuite> (2));
    ASSERT_NE (nullptr, grid.getSuiteAs<SliderSuite> (3));
    EXPECT_EQ (nullptr, grid.getSuiteAs<SliderSuite> (0));

    struct Placement
    {
        juce::Component& control;
        juce::Component& label;
        juce::Rectangle<int> controlBounds, labelBounds;
    };

    const Placement placements[] = {
        { grid.getSuiteAs<IndicatorLightSuite> (0)->getLight(), grid.getSuiteAs<IndicatorLightSuite> (0)->getLabel(), { 5, 5, 14, 14 }, { 24, 0, 486, 24 } },
        { grid.getSuiteAs<SliderSuite> (1)->getSlider(), grid.getSuiteAs<SliderSuite> (1)->getLabel(), { 0, 24, 250, 16 }, { 250, 24, 260, 16 } },
        { grid.getSuiteAs<ToggleButtonSuite> (2)->getButton(), grid.getSuiteAs<ToggleButtonSuite> (2)->getLabel(), { 12, 60, 0, 0 }, { 24, 48, 486, 24 } },
        { grid.getSuiteAs<SliderSuite> (3)->getSlider(), grid.getSuiteAs<SliderSuite> (3)->getLabel(), { 2, 74, 20, 20 }, { 24, 72, 486, 24 } },
    };

    for (size_t i = 0; i < std::size (placements); ++i)
    {
        SCOPED_TRACE (i);
        EXPECT_EQ (placements[i].controlBounds, placements[i].control.getBounds());
        EXPECT_EQ (placements[i].labelBounds, placements[i].label.getBounds());
        EXPECT_EQ (&grid, placements[i].control.getParentComponent());
    }
}

TEST_F (SuiteTest, GridWithAVerticalSliderRefusesLayout)
{
    LabeledSuiteGrid grid (lf, { rotary, verticalSlider, 9 });
    EXPECT_EQ (2, grid.getSuites().size()); // the unknown kind creates nothing

    try
    {
        grid.setSize (510, 96);
        ADD_FAILURE() << "a vertical slider was laid out";
    }
    catch (const std::exception& e)
    {
        EXPECT_STREQ ("Not coded", e.what());
    }
}
