// The editor's preset controls (the arrows, Random and Reload) load a preset on
// every click, also when a registered preset is not (yet) listed in the menu.

#include "MessageLoop.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "ScopedTempDir.h"

#include <gtest/gtest.h>

namespace
{
using tandrel::test::pumpUntil;

struct PresetControlTest : ::testing::Test
{
    void SetUp() override
    {
        writePreset (shallow, 11.0f);
        writePreset (deep, 22.0f);
        editor.reset (static_cast<PluginEditor*> (processor.createEditor())); // lists Shallow, not Deep
    }

    void TearDown() override { editor.reset(); }

    /** A preset file of the current state, told apart by its Tone. */
    void writePreset (const juce::File& file, float toneValue)
    {
        ASSERT_TRUE (file.create().wasOk());
        setTone (toneValue);
        ASSERT_TRUE (processor.saveToFile (file));
    }

    void setTone (float value)
    {
        auto* parameter = processor.getModelTree().getParameter ("Tone");
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }

    float tone() { return processor.getModelTree().getRawParameterValue ("Tone")->load(); }

    int idOf (const juce::File& file)
    {
        auto* preset = presets.findUserPreset (file);
        return preset != nullptr ? preset->id : -1;
    }

    /** Opens a preset file through the browser, as its open dialog does. */
    void open (const juce::File& file)
    {
        bar().presetComponent.openChosenFile (file);
        ASSERT_EQ (presets.getCurrentId(), idOf (file));
    }

    /** Edits a parameter, clicks the button and waits until a preset other
        than the current one (or, for Reload, the current one) has been loaded. */
    ::testing::AssertionResult clickLoads (juce::Button& button, bool sameId = false)
    {
        const auto before = presets.getCurrentId();
        setTone (12.34f);
        if (! processor.isModified())
            return ::testing::AssertionFailure() << "the edit before the click did not register";

        button.triggerClick();

        if (! pumpUntil ([&] { return ! processor.isModified() && (sameId || presets.getCurrentId() != before); }))
            return ::testing::AssertionFailure() << button.getName() << " loaded nothing; current id " << presets.getCurrentId();

        return ::testing::AssertionSuccess();
    }

    ControlBar& bar() { return editor->getControlBar(); }

    tandrel::test::ScopedTempDir folder;
    const juce::File shallow = folder["Shallow.td11"];
    const juce::File deep = folder["a/b/c/d/Deep.td11"]; // one level deeper than the menu lists
    PluginProcessor processor { folder.get() };
    juce::qorv_gui::PresetManager& presets = processor.getPresetManager();
    std::unique_ptr<PluginEditor> editor;
};
} // namespace

TEST_F (PresetControlTest, ReloadLoadsTheCurrentPresetWhetherOrNotTheMenuListsIt)
{
    // Opened from deeper than the menu goes: current, but never listed.
    open (deep);
    ASSERT_EQ (tone(), 22.0f);
    ASSERT_TRUE (clickLoads (bar().reloadButton, true));
    EXPECT_EQ (tone(), 22.0f);
    EXPECT_EQ (presets.getCurrentId(), idOf (deep));
    EXPECT_EQ (bar().presetComponent.getText(), "Deep ");

    // Registered by a host state's rescan after the menu was built.
    const auto later = folder["Later.td11"];
    writePreset (later, 33.0f);
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    auto state = juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
    ASSERT_NE (state, nullptr);
    state->setAttribute ("LoadedPreset", later.getFullPathName());
    juce::AudioProcessor::copyXmlToBinary (*state, blob);
    processor.setStateInformation (blob.getData(), (int) blob.getSize());
    ASSERT_EQ (presets.getCurrentId(), idOf (later));

    ASSERT_TRUE (clickLoads (bar().reloadButton, true));
    EXPECT_EQ (tone(), 33.0f);
    EXPECT_EQ (bar().presetComponent.getText(), "Later ");
}

TEST_F (PresetControlTest, ArrowsStepThroughEveryListedPresetAndNeverStick)
{
    const auto listedCount = (int) presets.getFactoryPresets().size() + 1; // and Shallow

    for (auto* arrow : { &bar().presetScroller.rightButton, &bar().presetScroller.leftButton })
    {
        open (deep); // the highest id: both arrows wrap past it
        std::set<int> visited;
        int first = -1;

        for (int click = 0; click <= listedCount; ++click)
        {
            ASSERT_TRUE (clickLoads (*arrow)) << "click " << click;
            EXPECT_NE (presets.getCurrentId(), idOf (deep));
            visited.insert (presets.getCurrentId());
            if (click == 0)
                first = presets.getCurrentId();
        }

        EXPECT_EQ ((int) visited.size(), listedCount) << arrow->getName();
        EXPECT_EQ (presets.getCurrentId(), first) << arrow->getName() << ": one more click wraps to the start";
        EXPECT_EQ (visited.count (idOf (shallow)), 1u);
    }
}

TEST_F (PresetControlTest, RandomAlwaysLoadsAListedPreset)
{
    // Beside the deep file, one registered by a host state's rescan that the
    // menu does not hold yet: a draw of it relists the menu first.
    open (deep);
    const auto later = folder["Later.td11"];
    writePreset (later, 33.0f);
    presets.restorePresetInfo (later.getFullPathName(), false);
    ASSERT_EQ (presets.getCurrentId(), idOf (later));

    std::set<int> visited;
    for (int click = 0; click < 150; ++click)
    {
        ASSERT_TRUE (clickLoads (bar().randomButton)) << "click " << click;
        EXPECT_NE (presets.getCurrentId(), idOf (deep));
        EXPECT_NE (tone(), 12.34f);
        visited.insert (presets.getCurrentId());
    }

    EXPECT_GT (visited.size(), 20u);
}

TEST_F (PresetControlTest, AClickSurvivesARefreshOfTheBrowserBeforeItsLoad)
{
    // Reload and Random load on a later message; the browser may be refreshed
    // in between (the editor thread's first refresh, a modified mark arriving).
    open (shallow);
    const auto shallowId = presets.getCurrentId();

    for (auto* button : { &bar().reloadButton, &bar().randomButton })
    {
        setTone (12.34f);
        editor->buttonClicked (button);
        bar().presetComponent.updateShownPreset();
        bar().presetComponent.setModified (true);

        EXPECT_TRUE (pumpUntil ([&] { return ! processor.isModified(); })) << button->getName() << " loaded nothing";
        EXPECT_NE (tone(), 12.34f) << button->getName();
        if (button == &bar().reloadButton)
            EXPECT_EQ (presets.getCurrentId(), shallowId);
        else
            EXPECT_NE (presets.getCurrentId(), shallowId);
    }
}
