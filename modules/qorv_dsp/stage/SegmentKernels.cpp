#include "SegmentKernelBodies.h"

namespace juce::qorv_dsp
{
namespace
{
#if defined(__SSE2__)
using Sse2Kernels = segment_simd::Kernels<segment_simd::Sse2Lanes, ScalarLane<ExactFma>>;

const SegmentKernels sse2Kernels { SegmentPath::sse2, &Sse2Kernels::sample, &Sse2Kernels::blendPairs, &Sse2Kernels::rebuild };
#endif

const SegmentKernels* kernelsFor (SegmentPath path) noexcept
{
    switch (path)
    {
        case SegmentPath::sse2:
#if defined(__SSE2__)
            return &sse2Kernels;
#else
            return nullptr;
#endif
        case SegmentPath::avx2:
            return getAvx2SegmentKernels();
        case SegmentPath::scalar:
            return nullptr;
    }
    return nullptr;
}

/** The widest path this machine runs, detected once. */
SegmentPath widestPath() noexcept
{
    static const SegmentPath widest = []
    {
        if (SegmentKernels::isAvailable (SegmentPath::avx2))
            return SegmentPath::avx2;
        if (SegmentKernels::isAvailable (SegmentPath::sse2))
            return SegmentPath::sse2;
        return SegmentPath::scalar;
    }();
    return widest;
}

constexpr int notForced = -1;
std::atomic<int> forcedPath { notForced };
} // namespace

bool SegmentKernels::isAvailable (SegmentPath path) noexcept
{
    if (path == SegmentPath::scalar)
        return true;
    if (kernelsFor (path) == nullptr)
        return false;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    if (path == SegmentPath::avx2)
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
    }
#endif
    return true;
}

const SegmentKernels* SegmentKernels::choose() noexcept
{
    const int forced = forcedPath.load();
    return kernelsFor (forced == notForced ? widestPath() : (SegmentPath) forced);
}

bool SegmentKernels::force (SegmentPath path) noexcept
{
    if (! isAvailable (path))
        return false;
    forcedPath.store ((int) path);
    return true;
}

void SegmentKernels::unforce() noexcept
{
    forcedPath.store (notForced);
}

} // namespace juce::qorv_dsp
