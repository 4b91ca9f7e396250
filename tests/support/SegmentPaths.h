#pragma once

#include <qorv_dsp/qorv_dsp.h>

#include <vector>

namespace tandrel::test
{
using juce::qorv_dsp::SegmentKernels;
using juce::qorv_dsp::SegmentPath;

inline const char* nameOf (SegmentPath path)
{
    switch (path)
    {
        case SegmentPath::scalar: return "scalar";
        case SegmentPath::sse2: return "sse2";
        case SegmentPath::avx2: return "avx2";
    }
    return "?";
}

/** Every path this machine runs, the scalar one first. */
inline std::vector<SegmentPath> availableSegmentPaths()
{
    std::vector<SegmentPath> paths;
    for (const auto path : { SegmentPath::scalar, SegmentPath::sse2, SegmentPath::avx2 })
        if (SegmentKernels::isAvailable (path))
            paths.push_back (path);
    return paths;
}

/** Stages prepared while this lives run the given path. */
struct ScopedSegmentPath
{
    explicit ScopedSegmentPath (SegmentPath path) : forced (SegmentKernels::force (path)) {}
    ~ScopedSegmentPath() { SegmentKernels::unforce(); }

    const bool forced;
};
} // namespace tandrel::test
