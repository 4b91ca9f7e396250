#include "GuiTestSupport.h"
#include "XErrors.h"

#include <thread>

using namespace juce::qorv_gui;

namespace
{
/** A desktop window holding a target with a hint, a target without one, and the hint strip. */
class HintWindow : public juce::Component
{
public:
    explicit HintWindow (const LookAndFeel& lf) : tips (std::make_unique<TipDisplayComponent> (lf))
    {
        tandrel::test::ignoreXErrors();
        hinted.setHelpText ("Number of segments for stage 1 (click label to enter value).");
        addAndMakeVisible (hinted);
        addAndMakeVisible (silent);
        addAndMakeVisible (*tips);
        setBounds (100, 100, 540, 140);
        hinted.setBounds (10, 10, 200, 50);
        silent.setBounds (260, 10, 200, 50);
        tips->setBounds (0, 118, 540, 22);
        addToDesktop (0);
        setVisible (true);
    }

    ~HintWindow() override
    {
        tips.reset();
        removeFromDesktop();
    }

    void paint (juce::Graphics& g) override { g.fillAll (juce::Colours::darkgrey); }

    void moveMouseOver (juce::Component& c)
    {
        juce::Desktop::setMousePosition (c.getScreenBounds().getCentre());
    }

    juce::Component hinted, silent;
    std::unique_ptr<TipDisplayComponent> tips;
};

/** Lets the message loop run (the hint thread needs it to take its lock) until the
    strip shows the text, or gives up after a generous safety margin. */
bool waitForHint (TipDisplayComponent& tips, const juce::String& expected)
{
    for (int i = 0; i < 150 && tips.getHintText() != expected; ++i)
    {
        // Xlib may already have read the pointer's motion event off the socket, where
        // JUCE only looks when the socket is readable; a repaint makes traffic that
        // wakes it, as any real mouse movement would.
        tips.getParentComponent()->repaint();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
    return tips.getHintText() == expected;
}

class TipDisplayTest : public ::testing::Test
{
protected:
    LookAndFeel lf;
};
} // namespace

TEST_F (TipDisplayTest, ShowsTheHintOfTheComponentUnderTheMouse)
{
    HintWindow window (lf);
    auto& tips = *window.tips;
    EXPECT_TRUE (tips.isPolling());
    EXPECT_TRUE (tips.getSwitch().getToggleState());
    EXPECT_EQ (juce::Rectangle<int> (4, 4, 14, 14), tips.getSwitch().getBounds());

    window.moveMouseOver (window.hinted);
    EXPECT_TRUE (waitForHint (tips, window.hinted.getHelpText())) << tips.getHintText();

    window.moveMouseOver (window.silent);
    EXPECT_TRUE (waitForHint (tips, "Toggle button to disable hints.")) << tips.getHintText();

    window.moveMouseOver (window.hinted);
    EXPECT_TRUE (waitForHint (tips, window.hinted.getHelpText())) << tips.getHintText();

    juce::Desktop::setMousePosition (window.getScreenPosition() + juce::Point<int> (230, 90)); // the window itself
    EXPECT_TRUE (waitForHint (tips, "Toggle button to disable hints.")) << tips.getHintText();
}

TEST_F (TipDisplayTest, SwitchingOffShowsHintsOffUntilSwitchedOnAgain)
{
    HintWindow window (lf);
    auto& tips = *window.tips;
    window.moveMouseOver (window.hinted);
    ASSERT_TRUE (waitForHint (tips, window.hinted.getHelpText()));

    tips.getSwitch().setToggleState (false, juce::sendNotification);
    EXPECT_FALSE (tips.areHintsEnabled());
    EXPECT_EQ (juce::String ("Component Hints: Off"), tips.getHintText());

    // Several polls later, with the mouse over a hinted control, it still says off.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (600);
    EXPECT_EQ (juce::String ("Component Hints: Off"), tips.getHintText());

    tips.getSwitch().setToggleState (true, juce::sendNotification);
    EXPECT_TRUE (tips.areHintsEnabled());
    EXPECT_TRUE (waitForHint (tips, window.hinted.getHelpText())) << tips.getHintText();
}

TEST_F (TipDisplayTest, ThreadStopsWhileWaitingForTheMessageThread)
{
    auto window = std::make_unique<HintWindow> (lf);
    window->moveMouseOver (window->hinted);
    ASSERT_TRUE (waitForHint (*window->tips, window->hinted.getHelpText()));

    // The message thread is busy, so the next poll is stuck waiting for its lock.
    std::this_thread::sleep_for (std::chrono::milliseconds (400));
    EXPECT_TRUE (window->tips->stopPolling());
    EXPECT_FALSE (window->tips->isPolling());

    window.reset();
    // Whatever the aborted lock attempt left queued is delivered after the strip is gone.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
}

TEST_F (TipDisplayTest, DestroyingTheStripStopsItsThread)
{
    for (int i = 0; i < 5; ++i)
    {
        auto window = std::make_unique<HintWindow> (lf);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (30 * i);
        ASSERT_TRUE (window->tips->isPolling());
        window.reset(); // must neither hang nor leave the thread touching freed memory
    }
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
}

TEST_F (TipDisplayTest, ModalComponentElsewhereSilencesTheHints)
{
    HintWindow window (lf);
    auto& tips = *window.tips;
    window.moveMouseOver (window.hinted);
    ASSERT_TRUE (waitForHint (tips, window.hinted.getHelpText()));

    juce::Component dialog;
    dialog.setBounds (700, 100, 100, 60);
    dialog.addToDesktop (0);
    dialog.setVisible (true);
    dialog.enterModalState (false);
    EXPECT_TRUE (waitForHint (tips, "Toggle button to disable hints.")) << tips.getHintText();

    dialog.exitModalState (0);
    EXPECT_TRUE (waitForHint (tips, window.hinted.getHelpText())) << tips.getHintText();
    dialog.removeFromDesktop();
}
