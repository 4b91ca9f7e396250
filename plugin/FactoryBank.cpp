#include "FactoryBank.h"
#include "ProductIdentity.h"

#include <BinaryData.h>

namespace
{
// Stages a preset leaves silent keep a silent stage's default shape and mix.
constexpr int silentStage = 2;
constexpr FactoryStageValues off { (int) getParameterRow (ParamKind::nSegs).defaultFor (silentStage),
                                   getParameterRow (ParamKind::segSize).defaultFor (silentStage),
                                   getParameterRow (ParamKind::segMix).defaultFor (silentStage) };
static_assert (off.segMix == 0.0f, "an unused stage must be silent");

constexpr int series = 0;
constexpr int parallel = 1;

// Character of the categories: "One-stage" uses stage 1 only; "Series//..." and
// "Parallel//..." run two or three stages in that mode; "Mild" mixes gently,
// "Spicy" pushes mixes to 100 and beyond with longer groups.
//
//                  name                          category            mode      tone     stage 1 {N, size, mix}  stage 2               stage 3
const std::array<FactoryPresetValues, numFactoryPresets> table { {
    { "Black pepper",               "Bass//Guitar",    series,   60.0f, { { 12, 20.0f,  45.0f }, {  7, 33.0f,  25.0f }, off } },
    { "Lol as if",                  "Bass//Guitar",    series,   70.0f, { { 40,  8.5f,  80.0f }, off,                  off } },
    { "Special sauce",              "Bass//Guitar",    parallel, 55.0f, { { 18, 24.0f,  60.0f }, {  5, 42.0f,  35.0f }, off } },
    { "Bassment",                   "Bass//Synth",     series,   45.0f, { { 64, 30.0f,  70.0f }, {  9, 40.0f,  40.0f }, off } },
    { "Oaxaca",                     "Bass//Synth",     parallel, 80.0f, { { 22, 12.5f,  90.0f }, { 47,  6.0f,  50.0f }, {  3, 48.0f,  30.0f } } },
    { "Retrograde",                 "Bass//Synth",     series,   65.0f, { { 91, 48.0f, 100.0f }, off,                  off } },
    { "Multileveler",               "Drums//808 Kit",  parallel, 85.0f, { { 16,  4.0f,  55.0f }, { 32,  9.0f,  45.0f }, { 64, 18.0f,  35.0f } } },
    { "Tokyo above ground",         "Drums//808 Kit",  series,   90.0f, { {  8, 12.0f, 100.0f }, { 24,  6.0f,  60.0f }, off } },
    { "Vintage console",            "Drums//808 Kit",  series,   40.0f, { { 10, 24.0f,  45.0f }, off,                  off } },
    { "Kick me kick me again kick", "Drums//Kick",     series,   50.0f, { { 80, 44.0f, 110.0f }, { 12, 20.0f,  40.0f }, off } },
    { "Overdriven",                 "Drums//Kick",     parallel, 75.0f, { {  4, 36.0f, 120.0f }, { 10, 28.0f,  90.0f }, off } },
    { "Totally wrecked",            "Drums//Kick",     series,   95.0f, { { 91, 37.0f, 120.0f }, { 45, 19.0f, 120.0f }, { 13,  7.0f, 100.0f } } },
    { "Alien amplifier",            "Guitar//Clean",   parallel, 85.0f, { { 27,  3.5f,  65.0f }, { 53,  1.8f,  40.0f }, off } },
    { "Rough chop",                 "Guitar//Clean",   series,   70.0f, { { 36, 22.0f, 100.0f }, off,                  off } },
    { "Sayamese",                   "Guitar//Clean",   parallel, 78.0f, { {  2,  9.0f,  50.0f }, {  3, 13.0f,  50.0f }, off } },
    { "Funboi",                     "Guitar//Dirty",   series,   88.0f, { { 14,  5.5f,  85.0f }, { 29, 11.0f,  70.0f }, off } },
    { "Simple concept",             "Guitar//Dirty",   series,   75.0f, { { 20, 16.0f, 100.0f }, off,                  off } },
    { "Smoke on water",             "Guitar//Dirty",   parallel, 62.0f, { { 58, 26.0f,  95.0f }, { 17,  8.0f,  75.0f }, {  5, 40.0f,  60.0f } } },
    { "Bering sea",                 "One-stage",       series,   35.0f, { { 76, 41.0f,  70.0f }, off,                  off } },
    { "Depression cherry",          "One-stage",       series,   55.0f, { { 48, 18.0f, 115.0f }, off,                  off } },
    { "Hooked on telephonics",      "One-stage",       series,   15.0f, { {  6, 30.0f, 110.0f }, off,                  off } },
    { "Mean jeans",                 "One-stage",       series,   72.0f, { { 11, 27.0f,  90.0f }, off,                  off } },
    { "Twinkle",                    "One-stage",       series,  100.0f, { {  9,  4.0f, 120.0f }, off,                  off } },
    { "Bell de sure",               "Series//Mild",    series,   85.0f, { {  9,  6.0f,  30.0f }, { 21,  2.2f,  20.0f }, off } },
    { "Chorusing",                  "Series//Mild",    series,   70.0f, { { 44, 14.0f,  25.0f }, { 67,  9.0f,  20.0f }, { 88,  5.0f,  15.0f } } },
    { "Transist",                   "Series//Mild",    series,   65.0f, { {  6, 32.0f,  35.0f }, { 15, 12.0f,  25.0f }, off } },
    { "Mi comalito",                "Series//Spicy",   series,   80.0f, { { 38, 25.0f, 110.0f }, { 13, 46.0f,  95.0f }, off } },
    { "Quite maximal",              "Series//Spicy",   series,  100.0f, { { 91, 48.0f, 120.0f }, { 61, 30.0f, 120.0f }, { 33, 15.0f, 120.0f } } },
    { "Sympathetic",                "Series//Spicy",   series,   60.0f, { { 19,  7.0f, 100.0f }, { 57, 21.0f,  85.0f }, {  4, 44.0f,  90.0f } } },
    { "Charmed",                    "Parallel//Mild",  parallel, 80.0f, { { 10,  4.0f,  30.0f }, { 26,  8.0f,  25.0f }, off } },
    { "Current space",              "Parallel//Mild",  parallel, 55.0f, { { 72, 35.0f,  25.0f }, { 40, 17.0f,  20.0f }, off } },
    { "Vorn quillet",               "Parallel//Mild",  parallel, 90.0f, { { 23,  2.0f,  40.0f }, {  7, 19.0f,  30.0f }, off } },
    { "Black saint",                "Parallel//Spicy", parallel, 45.0f, { { 85, 46.0f, 120.0f }, { 31, 23.0f, 110.0f }, off } },
    { "Sinner lady",                "Parallel//Spicy", parallel, 75.0f, { { 12, 10.0f, 100.0f }, { 49,  3.0f, 120.0f }, { 25, 38.0f, 100.0f } } },
    { "Kelmorathen called",         "Parallel//Spicy", parallel, 68.0f, { { 91, 29.0f, 115.0f }, { 66, 14.0f, 105.0f }, {  2, 48.0f, 120.0f } } },
} };

juce::String parentOf (const juce::String& category)
{
    return category.upToFirstOccurrenceOf ("//", false, false);
}

void setReal (juce::AudioProcessorValueTreeState& tree, const juce::String& id, float value)
{
    if (auto* parameter = tree.getParameter (id))
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
} // namespace

const std::array<FactoryPresetValues, numFactoryPresets>& getFactoryBankTable()
{
    return table;
}

juce::String getFactoryPresetFileName (const juce::String& presetName)
{
    return presetName.replaceCharacter (' ', '_') + juce::qorv_gui::PresetManager::extensionFor (ProductIdentity::code);
}

juce::String getFactoryPresetResourceName (const juce::String& presetName)
{
    return getFactoryPresetFileName (presetName).replaceCharacter ('.', '_');
}

void registerFactoryBank (juce::qorv_gui::PresetManager& manager)
{
    using Manager = juce::qorv_gui::PresetManager;

    juce::Array<Manager::FactoryCategory*> topLevel, leavesOfParent;
    juce::Array<Manager::FactoryPreset*> presetsOfLeaf;

    for (size_t i = 0; i < table.size(); ++i)
    {
        const auto& row = table[i];
        int size = 0;
        const auto* data = BinaryData::getNamedResource (getFactoryPresetResourceName (row.name).toRawUTF8(), size);
        // A missing resource still takes its id, so ids never shift; loading it just fails.
        presetsOfLeaf.add (manager.addFactoryPreset (row.name, data, data != nullptr ? size : 0));

        const juce::String category (row.category);
        const bool leafEnds = i + 1 == table.size() || category != table[i + 1].category;
        if (! leafEnds)
            continue;

        auto* leaf = manager.addPresetCategory (category, presetsOfLeaf);
        presetsOfLeaf.clearQuick();

        if (! category.contains ("//"))
        {
            topLevel.add (leaf);
            continue;
        }

        leavesOfParent.add (leaf);
        const bool parentEnds = i + 1 == table.size() || parentOf (category) != parentOf (table[i + 1].category);
        if (parentEnds)
        {
            topLevel.add (manager.addParentCategory (parentOf (category), leavesOfParent, false));
            leavesOfParent.clearQuick();
        }
    }

    manager.addParentCategory ("Root", topLevel, true);
}

void applyFactoryPresetValues (juce::AudioProcessorValueTreeState& tree, const FactoryPresetValues& preset)
{
    setReal (tree, makeParameterId (ParamKind::mode, -1), (float) preset.mode);
    setReal (tree, makeParameterId (ParamKind::tone, -1), preset.tone);

    for (int stage = 1; stage <= numStages; ++stage)
    {
        const auto& values = preset.stages[stage - 1];
        setReal (tree, makeParameterId (ParamKind::nSegs, stage), (float) values.nSegs);
        setReal (tree, makeParameterId (ParamKind::segSize, stage), values.segSize);
        setReal (tree, makeParameterId (ParamKind::segMix, stage), values.segMix);
    }
}
