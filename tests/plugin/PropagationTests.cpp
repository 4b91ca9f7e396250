// Parameter changes reaching the engine, the preset's modified mark and the
// editor's value labels, and the editor-facing operations of the processor.

#include "PluginProcessor.h"
#include "ParameterAccess.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
struct LabelCall
{
    juce::String text;
    int kind, stage;
};

struct RecordingLabels : juce::qorv_gui::LabelUpdater
{
    std::vector<LabelCall> calls;
    void updateLabel (const juce::String& text, int kind, int stage) override { calls.push_back ({ text, kind, stage }); }
};

struct RecordingDisplay : juce::qorv_gui::PresetManager::PresetLoader::PresetDisplay
{
    std::vector<bool> modifiedCalls;
    void setModified (bool isModified) override { modifiedCalls.push_back (isModified); }
    void selectNewItem (juce::NotificationType) override {}
};

struct GestureCounter : juce::AudioProcessorListener
{
    int gestures = 0;
    std::vector<float> values;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float value) override { values.push_back (value); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++gestures; }
};

juce::RangedAudioParameter& parameter (PluginProcessor& processor, const juce::String& id)
{
    return *processor.getModelTree().getParameter (id);
}

juce::String expectedText (PluginProcessor& processor, ParamKind kind, int stage)
{
    return engineValueText (processor.getEngine(), { kind, kind == ParamKind::tone ? 1 : stage });
}

// Delivers posted messages until the condition holds; the limit only keeps a
// broken build from hanging.
template <typename Condition>
void pumpUntil (Condition condition)
{
    for (int i = 0; i < 200 && ! condition(); ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
}

void pumpBriefly()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}
} // namespace

TEST (Propagation, AutomationOffTheMessageThreadReachesTheEngineAtOnceAndTheLabelLater)
{
    PluginProcessor processor;
    RecordingLabels labels;
    processor.setLabelUpdater (&labels);
    labels.calls.clear();

    const auto before = engineValueText (processor.getEngine(), { ParamKind::segMix, 2 });
    std::thread automation ([&] { parameter (processor, "2- Seg Mix").setValueNotifyingHost (0.5f); });
    automation.join();

    EXPECT_NE (engineValueText (processor.getEngine(), { ParamKind::segMix, 2 }), before);
    EXPECT_TRUE (labels.calls.empty()) << "the label must only change on the message thread";

    pumpUntil ([&] { return ! labels.calls.empty(); });
    ASSERT_EQ (labels.calls.size(), 1u);
    EXPECT_EQ (labels.calls[0].kind, (int) ParamKind::segMix);
    EXPECT_EQ (labels.calls[0].stage, 2);
    EXPECT_EQ (labels.calls[0].text, expectedText (processor, ParamKind::segMix, 2));
    processor.setLabelUpdater (nullptr);
}

TEST (Propagation, RefreshPostedFromAnotherThreadIsDroppedWhenEditorOrProcessorHasGone)
{
    RecordingLabels labels;

    {
        PluginProcessor processor;
        processor.setLabelUpdater (&labels);
        labels.calls.clear();
        std::thread ([&] { parameter (processor, "Tone").setValueNotifyingHost (0.2f); }).join();
        processor.setLabelUpdater (nullptr); // the editor closes before the message arrives
        pumpBriefly();
        EXPECT_TRUE (labels.calls.empty());
    }

    auto processor = std::make_unique<PluginProcessor>();
    processor->setLabelUpdater (&labels);
    labels.calls.clear();
    std::thread ([&] { parameter (*processor, "Tone").setValueNotifyingHost (0.3f); }).join();
    processor.reset(); // the host destroys the instance before the message arrives
    pumpBriefly();
    EXPECT_TRUE (labels.calls.empty());
}

TEST (Propagation, RegisteringTheEditorRefreshesEveryLabelInOrder)
{
    PluginProcessor processor;
    RecordingLabels labels;
    processor.setLabelUpdater (&labels);

    std::vector<std::pair<int, int>> expected { { (int) ParamKind::mode, -1 } };
    for (int stage = 1; stage <= 3; ++stage)
        for (auto kind : { ParamKind::nSegs, ParamKind::segSize, ParamKind::segMix, ParamKind::tone })
            expected.emplace_back ((int) kind, stage);

    ASSERT_EQ (labels.calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        const auto kind = (ParamKind) labels.calls[i].kind;
        EXPECT_EQ (std::make_pair (labels.calls[i].kind, labels.calls[i].stage), expected[i]) << i;
        EXPECT_EQ (labels.calls[i].text, expectedText (processor, kind, labels.calls[i].stage)) << i;
        EXPECT_FALSE (labels.calls[i].text.contains ("<microseconds>"));
    }

    // A change on the message thread refreshes its label at once.
    labels.calls.clear();
    parameter (processor, "Tone").setValueNotifyingHost (0.1f);
    ASSERT_EQ (labels.calls.size(), 1u);
    EXPECT_EQ (labels.calls[0].kind, (int) ParamKind::tone);
    EXPECT_EQ (labels.calls[0].stage, -1);
    processor.setLabelUpdater (nullptr);
}

TEST (Propagation, TypedValuesInsideTheRangeAreAppliedAndOthersRestoreTheLabel)
{
    struct Row
    {
        const char* id;
        float typed;
        bool accepted;
        float landsOn; // the parameter's step the typed value snaps to, when accepted
    };
    const Row rows[] = {
        { "1- N Segs", 95.0f, false, 0 },        { "1- N Segs", 31.5f, true, 32.0f },
        { "2- Seg Size", 0.5f, false, 0 },       { "2- Seg Size", 48.0f, true, 48.0f },
        { "3- Seg Mix", 120.01f, false, 0 },     { "3- Seg Mix", 60.0f, true, 60.0f },
        { "Tone", -1.0f, false, 0 },             { "Tone", 40.0f, true, 40.0f },
        { "Tone", std::nanf (""), false, 0 },    { "Tone", 75.0f, false, 0 }, // 75 is the current value
        { "1- Seg Size", 11.004f, false, 0 },    // snaps to the current 11
    };

    for (const auto& row : rows)
    {
        PluginProcessor processor;
        RecordingLabels labels;
        GestureCounter host;
        processor.setLabelUpdater (&labels);
        processor.addListener (&host);
        labels.calls.clear();
        auto& typedInto = parameter (processor, row.id);
        const float before = typedInto.getValue();

        processor.setUserValue (row.id, row.typed);

        const auto parsed = parseParameterId (row.id);
        ASSERT_EQ (labels.calls.size(), 1u) << row.id << " " << row.typed;
        EXPECT_EQ (labels.calls[0].kind, (int) parsed.kind);
        EXPECT_EQ (labels.calls[0].text, expectedText (processor, parsed.kind, parsed.stage));

        if (row.accepted)
        {
            EXPECT_EQ (host.gestures, 1) << row.id << " " << row.typed;
            ASSERT_EQ (host.values.size(), 1u);
            EXPECT_EQ (host.values[0], typedInto.convertTo0to1 (row.landsOn)) << "the parameter's own normalised step";
            EXPECT_EQ (tandrel::test::realValue (processor, row.id), row.landsOn);
        }
        else
        {
            EXPECT_EQ (host.gestures, 0) << row.id << " " << row.typed;
            EXPECT_TRUE (host.values.empty()) << row.id << " " << row.typed;
            EXPECT_EQ (typedInto.getValue(), before);
        }

        processor.removeListener (&host);
        processor.setLabelUpdater (nullptr);
    }
}

TEST (Propagation, TypingTheValueAParameterHoldsNeverReachesTheHost)
{
    // Every step of every parameter: typing it when another value is current is
    // one gesture carrying the parameter's own normalised value; typing it again
    // (what confirming the shown value does) is no gesture and no write, only a
    // label refresh. A reciprocal formula misses the parameter's conversion by
    // one ulp on many steps (Seg Size 11, Seg Mix 100, N Segs 29, Tone 33).
    PluginProcessor processor;
    RecordingLabels labels;
    GestureCounter host;
    processor.setLabelUpdater (&labels);
    processor.addListener (&host);

    for (const auto& id : getParameterIdsInOrder())
    {
        const auto parsed = parseParameterId (id);
        if (parsed.kind == ParamKind::mode)
            continue; // a choice, not typed: its own test follows

        auto& typedInto = parameter (processor, id);
        const auto range = typedInto.getNormalisableRange();
        const auto stepsPerUnit = juce::roundToInt (1.0f / range.interval);
        const auto steps = juce::roundToInt ((range.end - range.start) * (float) stepsPerUnit);
        ASSERT_GT (steps, 0) << id;

        typedInto.setValueNotifyingHost (1.0f); // the sweep starts below
        int changedWrongly = 0, unchangedWrongly = 0;

        for (int k = 0; k <= steps; ++k)
        {
            // What a user types: the step's decimal text, read as a float.
            const auto typed = (float) ((double) range.start + (double) k / stepsPerUnit);

            host.gestures = 0;
            host.values.clear();
            processor.setUserValue (id, typed);
            const auto held = typedInto.getValue();
            if (host.gestures != 1 || host.values.size() != 1 || host.values[0] != typedInto.convertTo0to1 (typed)
                || held != host.values[0])
                ++changedWrongly;

            host.gestures = 0;
            host.values.clear();
            labels.calls.clear();
            processor.setUserValue (id, typed);
            if (host.gestures != 0 || ! host.values.empty() || typedInto.getValue() != held || labels.calls.size() != 1)
                ++unchangedWrongly;
        }

        EXPECT_EQ (changedWrongly, 0) << id << ": steps typed when another value was current";
        EXPECT_EQ (unchangedWrongly, 0) << id << ": steps typed again";
        typedInto.setValueNotifyingHost (typedInto.getDefaultValue());
    }

    processor.removeListener (&host);
    processor.setLabelUpdater (nullptr);
}

TEST (Propagation, ModeTakesTheTruncatedPositionWithoutAGesture)
{
    PluginProcessor processor;
    GestureCounter host;
    processor.addListener (&host);

    processor.setUserValue ("Mode", 1.7f);
    EXPECT_EQ (tandrel::test::realValue (processor, "Mode"), 1.0f);
    processor.setUserValue ("Mode", 0.0f);
    EXPECT_EQ (tandrel::test::realValue (processor, "Mode"), 0.0f);
    EXPECT_EQ (host.gestures, 0);
    EXPECT_EQ (host.values, (std::vector<float> { 1.0f, 0.0f }));

    // The position it already has is no write at all.
    processor.setUserValue ("Mode", 0.0f);
    processor.setUserValue ("Mode", -4.0f);
    EXPECT_EQ (host.values.size(), 2u);
    processor.removeListener (&host);
}

TEST (Propagation, ToggleStageActiveSwitchesOffAndBackWithTheRememberedMix)
{
    PluginProcessor processor;

    // Stage 2 starts silent and was never on: it comes on at 90.
    EXPECT_FALSE (processor.toggleStageActive (2));
    EXPECT_FLOAT_EQ (tandrel::test::realValue (processor, "2- Seg Mix"), 90.0f);
    EXPECT_TRUE (processor.toggleStageActive (2));
    EXPECT_EQ (tandrel::test::realValue (processor, "2- Seg Mix"), 0.0f);
    EXPECT_FLOAT_EQ (processor.getSavedStageMix (2), 0.75f);

    // Stage 1 is on at 100: off, then back at exactly 100.
    EXPECT_TRUE (processor.toggleStageActive (1));
    EXPECT_EQ (tandrel::test::realValue (processor, "1- Seg Mix"), 0.0f);
    EXPECT_FALSE (processor.toggleStageActive (1));
    EXPECT_FLOAT_EQ (tandrel::test::realValue (processor, "1- Seg Mix"), 100.0f);
}

TEST (Propagation, FirstChangeAfterALoadMarksModifiedOnce)
{
    PluginProcessor processor;
    RecordingDisplay display;
    processor.setDisplay (&display);

    auto& manager = processor.getPresetManager();
    auto bytes = manager.getFactoryPresets().begin()->second.data;
    ASSERT_TRUE (processor.loadStateUndoable (bytes));
    processor.clearModified(); // what the browser does after a load
    display.modifiedCalls.clear();
    ASSERT_FALSE (processor.isModified());

    parameter (processor, "Tone").setValueNotifyingHost (0.11f);
    parameter (processor, "Tone").setValueNotifyingHost (0.12f);
    parameter (processor, "1- N Segs").setValueNotifyingHost (0.5f);

    EXPECT_TRUE (processor.isModified());
    EXPECT_EQ (display.modifiedCalls, std::vector<bool> { true });
    processor.setDisplay (nullptr);
}
