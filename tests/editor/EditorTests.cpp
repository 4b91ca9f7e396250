// The plug-in window: layout, bindings, labels, shortcuts and the stage lights.

#include "MessageLoop.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "XErrors.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
using tandrel::test::pumpMessages;

struct EditorFixture : ::testing::Test
{
    PluginProcessor processor;
    std::unique_ptr<PluginEditor> editor { static_cast<PluginEditor*> (processor.createEditor()) };

    juce::qorv_gui::SliderSuite& stageSlider (int stage, int suite)
    {
        return editor->getControls().stageControls[stage - 1]->getSliderSuite (suite);
    }

    float parameterValue (const juce::String& id) { return processor.getModelTree().getRawParameterValue (id)->load(); }
};
} // namespace

TEST_F (EditorFixture, LaysOutEveryRowAtItsFixedSize)
{
    ASSERT_EQ (editor->getWidth(), 550);
    ASSERT_EQ (editor->getHeight(), 550);

    auto& controls = editor->getControls();
    auto& bar = editor->getControlBar();

    struct Row { const char* what; juce::Component* component; juce::Rectangle<int> expected; };
    const Row rows[] = {
        { "title", &editor->getTitle(), { 10, 0, 540, 34 } },
        { "notification", &editor->getNotification(), { 10, 34, 540, 19 } },
        { "control bar", &bar, { 10, 59, 540, 22 } },
        { "controls", &controls, { 0, 81, 550, 416 } },
        { "hint line", &editor->getHintLine(), { 10, 503, 540, 22 } },
        { "link row", &editor->getLinkRow(), { 10, 525, 530, 22 } },
        { "panel 1", controls.stageControls[0], { 10, 10, 530, 116 } },
        { "panel 2", controls.stageControls[1], { 10, 136, 530, 116 } },
        { "panel 3", controls.stageControls[2], { 10, 262, 530, 116 } },
        { "grid", &controls.stageControls[0]->getGrid(), { 10, 10, 510, 96 } },
        { "N Segs slider", &controls.stageControls[0]->getSliderSuite (1).getSlider(), { 0, 24, 250, 16 } },
        { "N Segs label", &controls.stageControls[0]->getSliderSuite (1).getLabel(), { 250, 24, 260, 16 } },
        { "Mode button", &controls.modeSuite.getButton(), { 20, 388, 18, 18 } },
        { "Mode label", &controls.modeSuite.getLabel(), { 38, 388, 152, 18 } },
        { "Tone slider", &controls.toneSuite.getSlider(), { 190, 389, 186, 16 } },
        { "Tone label", &controls.toneSuite.getLabel(), { 376, 388, 164, 18 } },
        { "undo", &bar.undoButton, { 0, 0, 22, 22 } },
        { "redo", &bar.redoButton, { 22, 0, 22, 22 } },
        { "browser", &bar.presetComponent, { 52, 0, 250, 22 } },
        { "arrows", &bar.presetScroller, { 310, 0, 36, 22 } },
        { "reload", &bar.reloadButton, { 354, 0, 22, 22 } },
        { "new", &bar.newButton, { 384, 0, 22, 22 } },
        { "random", &bar.randomButton, { 414, 0, 22, 22 } },
    };
    for (const auto& row : rows)
        EXPECT_EQ (row.component->getBounds(), row.expected) << row.what;
}

TEST_F (EditorFixture, WiderAreaWidensPanelsButNotSliders)
{
    auto& controls = editor->getControls();
    controls.setSize (750, 416);
    EXPECT_EQ (controls.stageControls[0]->getWidth(), 730);
    EXPECT_EQ (controls.stageControls[0]->getSliderSuite (3).getSlider().getWidth(), 250);
    EXPECT_EQ (controls.stageControls[0]->getSliderSuite (3).getLabel().getWidth(), 460);
}

TEST_F (EditorFixture, NarrowControlBarShowsOnlyUndoAndRedo)
{
    auto& bar = editor->getControlBar();
    bar.setSize (40, 22);
    EXPECT_EQ (bar.undoButton.getWidth(), 22);
    EXPECT_EQ (bar.redoButton.getWidth(), 18);
    for (juce::Component* c : { (juce::Component*) &bar.presetComponent, (juce::Component*) &bar.presetScroller,
                                (juce::Component*) &bar.reloadButton, (juce::Component*) &bar.newButton,
                                (juce::Component*) &bar.randomButton })
        EXPECT_EQ (c->getWidth(), 0);
}

TEST_F (EditorFixture, TitleNamesVendorAndProductWithItsVersion)
{
    EXPECT_EQ (editor->getTitle().getCompanyLabel().getButtonText(), "Quorvex");
    EXPECT_EQ (editor->getTitle().getProductLabel().getButtonText(), "Tandrel v1.1.3");
}

TEST_F (EditorFixture, BindsTwentyTwoComponentsAndShowsTheProcessorsTexts)
{
    EXPECT_EQ (editor->getComponentSuites().size(), 22u);

    auto& controls = editor->getControls();
    EXPECT_EQ (controls.modeSuite.getLabel().getText(), engineValueText (processor.getEngine(), { ParamKind::mode, -1 }));
    EXPECT_EQ (controls.toneSuite.getLabel().getText(), engineValueText (processor.getEngine(), { ParamKind::tone, -1 }));
    // The panel's rows under its light, top to bottom.
    const std::pair<ParamKind, int> rows[] = { { ParamKind::nSegs, 1 }, { ParamKind::segSize, 2 }, { ParamKind::segMix, 3 } };
    for (int stage = 1; stage <= 3; ++stage)
        for (const auto& [kind, row] : rows)
            EXPECT_EQ (stageSlider (stage, row).getLabel().getText(), engineValueText (processor.getEngine(), { kind, stage }))
                << stage << " " << (int) kind;

    EXPECT_TRUE (controls.modeSuite.getLabel().getText().isNotEmpty());
    EXPECT_EQ (controls.stageControls[0]->getLightSuite().getLight().getLightState(), 0) << "stage 1 sounds by default";
    EXPECT_EQ (controls.stageControls[1]->getLightSuite().getLight().getLightState(), -1);
}

TEST_F (EditorFixture, AutomationFromAnotherThreadReachesTheRightLabel)
{
    const auto before = stageSlider (2, 3).getLabel().getText();
    std::thread host ([this] { processor.getModelTree().getParameter ("2- Seg Mix")->setValueNotifyingHost (0.5f); });
    host.join();
    pumpMessages (100);

    EXPECT_NE (stageSlider (2, 3).getLabel().getText(), before);
    EXPECT_EQ (stageSlider (2, 3).getLabel().getText(), engineValueText (processor.getEngine(), { ParamKind::segMix, 2 }));
    EXPECT_EQ (stageSlider (1, 3).getLabel().getText(), engineValueText (processor.getEngine(), { ParamKind::segMix, 1 }));
    EXPECT_EQ (editor->getControls().stageControls[1]->getLightSuite().getLight().getLightState(), 0);
}

TEST_F (EditorFixture, TypedLabelValuesSetTheirParameters)
{
    struct Row { int stage, suite; const char* typed; const char* id; float expected; };
    const Row rows[] = {
        { 1, 1, "40", "1- N Segs", 40.0f },
        { 2, 2, "Segment Size: 7.5", "2- Seg Size", 7.5f },
        { 3, 3, "95", "3- Seg Mix", 95.0f },
        { 1, 1, "95", "1- N Segs", 40.0f }, // out of range: unchanged
    };
    for (const auto& row : rows)
    {
        stageSlider (row.stage, row.suite).getLabel().setText (row.typed, juce::sendNotificationSync);
        EXPECT_FLOAT_EQ (parameterValue (row.id), row.expected) << row.typed;
        EXPECT_EQ (stageSlider (row.stage, row.suite).getLabel().getText(),
                   engineValueText (processor.getEngine(), parseParameterId (row.id)))
            << "the label shows the engine's text again";
    }
}

TEST_F (EditorFixture, ConfirmingTheShownValueOfAnyControlIsNoHostEdit)
{
    struct HostWrites : juce::AudioProcessorListener
    {
        int writes = 0, gestures = 0;
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++writes; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++gestures; }
    } host;
    processor.addListener (&host);

    std::vector<juce::qorv_gui::SliderSuite*> suites { &editor->getControls().toneSuite };
    for (int stage = 1; stage <= 3; ++stage)
        for (int suite = 1; suite <= 3; ++suite)
            suites.push_back (&stageSlider (stage, suite));

    // Typing into a label as the user does: its editor opens, the text is
    // replaced and confirmed.
    auto type = [] (juce::Label& label, const juce::String& text)
    {
        label.showEditor();
        ASSERT_NE (label.getCurrentTextEditor(), nullptr);
        label.getCurrentTextEditor()->setText (text, false);
        label.hideEditor (false);
    };

    // At the defaults (Seg Size 11 and Seg Mix 100 among them), and after a
    // typed change, typing the number the label shows changes nothing.
    for (const char* typedFirst : { "", "33" })
    {
        for (auto* suite : suites)
        {
            auto& label = suite->getLabel();
            if (*typedFirst != 0)
                type (label, typedFirst);

            host.writes = host.gestures = 0;
            const auto shown = label.getText();
            const auto number = juce::String (juce::qorv_gui::SliderSuite::parseLabelValue (shown));
            type (label, number);
            EXPECT_EQ (host.gestures, 0) << shown << " typed as " << number;
            EXPECT_EQ (host.writes, 0) << shown << " typed as " << number;
            EXPECT_EQ (label.getText(), shown) << "the label shows the value again";
        }
    }

    processor.removeListener (&host);
}

TEST_F (EditorFixture, ArrowKeysNudgeTheFocusedControlAndFlipMode)
{
    tandrel::test::ignoreXErrors();
    editor->addToDesktop (0);
    editor->setVisible (true);

    auto& segs = stageSlider (1, 1).getSlider();
    segs.grabKeyboardFocus();
    ASSERT_EQ (juce::Component::getCurrentlyFocusedComponent(), &segs);
    EXPECT_TRUE (editor->keyPressed (juce::KeyPress (juce::KeyPress::rightKey), &segs));
    EXPECT_FLOAT_EQ (parameterValue ("1- N Segs"), 32.0f);
    EXPECT_TRUE (editor->keyPressed (juce::KeyPress (juce::KeyPress::downKey), &segs));
    EXPECT_FLOAT_EQ (parameterValue ("1- N Segs"), 31.0f);

    auto& mode = editor->getControls().modeSuite.getButton();
    mode.grabKeyboardFocus();
    editor->keyPressed (juce::KeyPress (juce::KeyPress::leftKey), &mode);
    EXPECT_FLOAT_EQ (parameterValue ("Mode"), 1.0f);
    editor->keyPressed (juce::KeyPress (juce::KeyPress::leftKey), &mode);
    EXPECT_FLOAT_EQ (parameterValue ("Mode"), 0.0f);

    editor->removeFromDesktop();
}

TEST_F (EditorFixture, UndoRedoAndResetShortcuts)
{
    auto& mix = stageSlider (1, 3).getSlider();
    mix.setValue (40.0, juce::sendNotificationSync);
    pumpMessages (250); // the state tree records parameter changes on its timer
    EXPECT_FLOAT_EQ (parameterValue ("1- Seg Mix"), 40.0f);

    EXPECT_TRUE (editor->keyPressed (PluginEditor::undoKey, &mix));
    pumpMessages (250); // shortcuts click their buttons, which is delivered as a message
    EXPECT_FLOAT_EQ (parameterValue ("1- Seg Mix"), 100.0f);
    EXPECT_TRUE (editor->keyPressed (PluginEditor::redoKey, &mix));
    pumpMessages (250);
    EXPECT_FLOAT_EQ (parameterValue ("1- Seg Mix"), 40.0f);

    processor.getModelTree().getParameter ("Tone")->setValueNotifyingHost (0.2f);
    EXPECT_TRUE (editor->keyPressed (PluginEditor::resetKey, &mix));
    pumpMessages (250);
    EXPECT_FLOAT_EQ (parameterValue ("Tone"), 75.0f);
    EXPECT_FLOAT_EQ (parameterValue ("1- Seg Mix"), 100.0f);
}

TEST_F (EditorFixture, StageLightMutesAndRestoresItsMix)
{
    auto& light = editor->getControls().stageControls[0]->getLightSuite().getLight();
    light.triggerClick();
    pumpMessages (50);
    EXPECT_FLOAT_EQ (parameterValue ("1- Seg Mix"), 0.0f);
    EXPECT_EQ (light.getLightState(), 2) << "a stage muted by its light shows the dimmed colour";

    light.triggerClick();
    pumpMessages (50);
    EXPECT_FLOAT_EQ (parameterValue ("1- Seg Mix"), 100.0f);
    EXPECT_EQ (light.getLightState(), 0);
}

TEST_F (EditorFixture, ReloadBelowPresetIdsDoesNothing)
{
    processor.getModelTree().getParameter ("Tone")->setValueNotifyingHost (0.2f);
    ASSERT_LT (processor.getPresetManager().getCurrentId(), 10);
    editor->getControlBar().reloadButton.triggerClick();
    pumpMessages (100);
    EXPECT_FLOAT_EQ (parameterValue ("Tone"), 20.0f);
}

TEST (EditorLifecycle, OpensAndClosesRepeatedlyWhileAutomationRuns)
{
    PluginProcessor processor;
    std::atomic<bool> running { true };
    std::thread automation ([&]
    {
        for (int i = 0; running.load(); ++i)
        {
            processor.getModelTree().getParameter ("3- Seg Mix")->setValueNotifyingHost ((float) (i % 10) / 10.0f);
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });

    for (int i = 0; i < 5; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        EXPECT_EQ (editor->getWidth(), 550);
        pumpMessages (30);
    }
    running.store (false);
    automation.join();
    pumpMessages (50); // refreshes posted after the last editor went must be dropped safely
}
