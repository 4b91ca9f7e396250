// The factory bank: registration order, ids and categories, and the embedded
// preset files matching the source table they were generated from.

#include "FactoryBank.h"
#include "PluginProcessor.h"
#include "ParameterAccess.h"
#include "ScopedTempDir.h"

#include <gtest/gtest.h>

namespace
{
using Manager = juce::qorv_gui::PresetManager;

juce::StringArray presetNames (const Manager::FactoryCategory& category)
{
    juce::StringArray names;
    for (const auto* preset : category.presets)
        names.add (preset->name);
    return names;
}

juce::StringArray subcategoryNames (const Manager::FactoryCategory& category)
{
    juce::StringArray names;
    for (const auto* sub : category.subcategories)
        names.add (sub->name);
    return names;
}

int activeStages (const FactoryPresetValues& preset)
{
    int active = 0;
    for (const auto& stage : preset.stages)
        active += stage.segMix > 0.0f ? 1 : 0;
    return active;
}

float loudestMix (const FactoryPresetValues& preset)
{
    float loudest = 0.0f;
    for (const auto& stage : preset.stages)
        loudest = juce::jmax (loudest, stage.segMix);
    return loudest;
}
} // namespace

TEST (FactoryBank, ThirtyFivePresetsWithIdsTenToFortyFourInTableOrder)
{
    PluginProcessor processor;
    auto& manager = processor.getPresetManager();
    const auto& table = getFactoryBankTable();

    ASSERT_EQ (manager.getFactoryPresets().size(), (size_t) numFactoryPresets);
    int id = Manager::firstPresetId;
    for (const auto& row : table)
    {
        auto* preset = manager.findFactoryPreset (id);
        ASSERT_NE (preset, nullptr) << id;
        EXPECT_EQ (preset->name, row.name);
        ++id;
    }
    EXPECT_EQ (std::as_const (manager).findFactoryPreset ("Black pepper")->id, 10);
    EXPECT_EQ (std::as_const (manager).findFactoryPreset ("Kelmorathen called")->id, 44);
    EXPECT_EQ (getFactoryPresetResourceName ("Kick me kick me again kick"), "Kick_me_kick_me_again_kick_td11");
}

TEST (FactoryBank, CategoryTreeGroupsThePresetsUnderTheRoot)
{
    PluginProcessor processor;
    auto& manager = processor.getPresetManager();

    ASSERT_NE (manager.getRootCategory(), nullptr);
    EXPECT_EQ (manager.getRootCategory()->name, "Root");
    EXPECT_EQ (subcategoryNames (*manager.getRootCategory()), (juce::StringArray { "Bass", "Drums", "Guitar", "One-stage", "Series", "Parallel" }));

    const std::pair<const char*, juce::StringArray> parents[] = {
        { "Bass", { "Bass//Guitar", "Bass//Synth" } },       { "Drums", { "Drums//808 Kit", "Drums//Kick" } },
        { "Guitar", { "Guitar//Clean", "Guitar//Dirty" } }, { "Series", { "Series//Mild", "Series//Spicy" } },
        { "Parallel", { "Parallel//Mild", "Parallel//Spicy" } },
    };
    for (const auto& [parent, leaves] : parents)
    {
        ASSERT_EQ (manager.getCategories().count (parent), 1u) << parent;
        EXPECT_EQ (subcategoryNames (*manager.getCategories().at (parent)), leaves) << parent;
        EXPECT_TRUE (manager.getCategories().at (parent)->presets.isEmpty());
    }

    // Every preset sits in the leaf the table names, in table order.
    std::map<juce::String, juce::StringArray> expectedLeaves;
    for (const auto& row : getFactoryBankTable())
        expectedLeaves[row.category].add (row.name);
    ASSERT_EQ (expectedLeaves.size(), 11u);
    for (const auto& [leaf, names] : expectedLeaves)
    {
        ASSERT_EQ (manager.getCategories().count (leaf), 1u) << leaf;
        EXPECT_EQ (presetNames (*manager.getCategories().at (leaf)), names) << leaf;
    }
    EXPECT_EQ (expectedLeaves["Bass//Guitar"], (juce::StringArray { "Black pepper", "Lol as if", "Special sauce" }));
}

TEST (FactoryBank, EveryEmbeddedFileLoadsAndYieldsTheTableValues)
{
    PluginProcessor processor;
    auto& manager = processor.getPresetManager();

    for (const auto& row : getFactoryBankTable())
    {
        const auto* preset = std::as_const (manager).findFactoryPreset (row.name);
        ASSERT_NE (preset, nullptr) << row.name;
        ASSERT_GT (preset->data.getSize(), 0u) << row.name << ": resource missing";

        processor.resetToDefault();
        auto bytes = preset->data;
        ASSERT_TRUE (processor.loadStateUndoable (bytes)) << row.name;

        EXPECT_EQ (tandrel::test::realValue (processor, "Mode"), (float) row.mode) << row.name;
        EXPECT_NEAR (tandrel::test::realValue (processor, "Tone"), row.tone, 1.0e-4f) << row.name;
        for (int stage = 1; stage <= numStages; ++stage)
        {
            const auto& values = row.stages[stage - 1];
            EXPECT_EQ (tandrel::test::realValue (processor, makeParameterId (ParamKind::nSegs, stage)), (float) values.nSegs) << row.name << " " << stage;
            EXPECT_NEAR (tandrel::test::realValue (processor, makeParameterId (ParamKind::segSize, stage)), values.segSize, 1.0e-4f) << row.name << " " << stage;
            EXPECT_NEAR (tandrel::test::realValue (processor, makeParameterId (ParamKind::segMix, stage)), values.segMix, 1.0e-4f) << row.name << " " << stage;
        }

        // A preset file carries no loaded-preset reference.
        auto decoded = juce::qorv_gui::PresetFileCodec::decode (preset->data, processor.fileShift);
        const auto xml = juce::AudioProcessor::getXmlFromBinary (decoded.getData(), (int) decoded.getSize());
        ASSERT_NE (xml, nullptr) << row.name;
        EXPECT_FALSE (xml->hasAttribute ("LoadedPreset")) << row.name;
    }
}

TEST (FactoryBank, TableKeepsThePromiseOfEachCategory)
{
    float loudestMild = 0.0f, quietestSpicy = 1000.0f;

    for (const auto& row : getFactoryBankTable())
    {
        const juce::String category (row.category);
        const auto active = activeStages (row);
        EXPECT_GE (active, 1) << row.name;

        if (category == "One-stage")
        {
            EXPECT_GT (row.stages[0].segMix, 0.0f) << row.name;
            EXPECT_EQ (active, 1) << row.name;
        }
        if (category.startsWith ("Series//") || category.startsWith ("Parallel//"))
        {
            EXPECT_EQ (row.mode, category.startsWith ("Series//") ? 0 : 1) << row.name;
            EXPECT_GE (active, 2) << row.name;
        }
        if (category.endsWith ("//Mild"))
            loudestMild = juce::jmax (loudestMild, loudestMix (row));
        if (category.endsWith ("//Spicy"))
            quietestSpicy = juce::jmin (quietestSpicy, loudestMix (row));
    }

    EXPECT_LT (loudestMild, quietestSpicy);
}

TEST (FactoryBank, SteppingWrapsBetweenTheLastAndTheFirstId)
{
    PluginProcessor processor;
    auto& manager = processor.getPresetManager();

    manager.selectPreset (44);
    EXPECT_EQ (manager.stepPreset (1), 10);
    manager.selectPreset (10);
    EXPECT_EQ (manager.stepPreset (-1), 44);
}

TEST (FactoryBank, UserPresetsPresentAtStartUpTakeTheFirstIds)
{
    tandrel::test::ScopedTempDir presets;
    PluginProcessor first (presets.get());
    const auto& bytes = std::as_const (first.getPresetManager()).findFactoryPreset ("Twinkle")->data;
    ASSERT_TRUE (presets["My_bass.td11"].replaceWithData (bytes.getData(), bytes.getSize()));
    ASSERT_TRUE (presets["Other.td11"].replaceWithData (bytes.getData(), bytes.getSize()));

    PluginProcessor processor (presets.get());
    auto& manager = processor.getPresetManager();
    EXPECT_EQ (manager.getUserPresets().size(), 2u);
    EXPECT_EQ (manager.getUserPresets().count (10) + manager.getUserPresets().count (11), 2u);
    EXPECT_EQ (std::as_const (manager).findFactoryPreset ("Black pepper")->id, 12);
    EXPECT_EQ (std::as_const (manager).findFactoryPreset ("Kelmorathen called")->id, 46);
}
