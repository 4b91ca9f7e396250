#include "ParameterLayout.h"
#include "PluginProcessor.h"

#include <gtest/gtest.h>

TEST (ParameterIds, MakeAndParse)
{
    struct Row { ParamKind kind; int stage; const char* id; };
    const Row rows[] = {
        { ParamKind::nSegs, 2, "2- N Segs" }, { ParamKind::segSize, 1, "1- Seg Size" }, { ParamKind::segMix, 3, "3- Seg Mix" },
        { ParamKind::mode, -1, "Mode" },      { ParamKind::tone, -1, "Tone" },
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ (makeParameterId (row.kind, row.stage), row.id);
        EXPECT_EQ (parseParameterId (row.id), (ParsedParameterId { row.kind, row.stage })) << row.id;
    }
}

TEST (ParameterLayout, EveryParameterIsBuiltFromItsTableRow)
{
    PluginProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), numParameters);

    for (int index = 0; index < parameters.size(); ++index)
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameters[index]);
        ASSERT_NE (ranged, nullptr);
        const auto id = ranged->getParameterID();
        EXPECT_EQ (id, getParameterIdsInOrder()[index]);

        const auto parsed = parseParameterId (id);
        const auto& row = getParameterRow (parsed.kind);
        const auto& range = ranged->getNormalisableRange();
        EXPECT_EQ (range.start, row.minimum) << id;
        EXPECT_EQ (range.end, row.maximum) << id;
        EXPECT_EQ (range.interval, row.step) << id;
        EXPECT_EQ (ranged->getDefaultValue(), getDefaultNormalisedValue (id)) << id;
        EXPECT_EQ (ranged->getDefaultValue(), ranged->convertTo0to1 (row.defaultFor (parsed.stage))) << id;
    }
}
