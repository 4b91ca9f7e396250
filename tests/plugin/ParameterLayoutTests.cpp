#include "ParameterLayout.h"

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
