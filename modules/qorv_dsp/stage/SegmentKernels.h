#pragma once

// Deliberately free of includes and inline code: the AVX2 translation unit
// (qorv_dsp_avx2.cpp) includes this header with AVX2 code generation, and an
// inline function emitted there could be picked by the linker for callers on
// machines without AVX2.

namespace juce::qorv_dsp
{

/** The instruction sets the stage's hot loops exist for. Every path gives the
    same bits: the vector paths do the scalar path's single-precision
    operations in the same order, lane by lane, without contraction. */
enum class SegmentPath
{
    scalar, // the stage's own loops, one value at a time
    sse2,   // four lanes; the blend's fused multiply-add is the library call
    avx2    // eight lanes with hardware fused multiply-add (AVX2 + FMA)
};

/** Samples K segments from one channel's input laid out in a line.
    window[t] is the input t samples after the block's first popped sample
    (window[-1] is the interpolator's previous x(0)); it is readable from -1
    up to windows + 1. Segment k, at P = float(k) * w, is window[j] when P is
    the whole number j and otherwise the window's cubic around j = trunc(P)
    at P - j; it is written to ring[(first + k) & ringMask]. cubics is
    scratch for 4 * (windows + 8) floats; windows = trunc(P of segment
    count - 1) + 1. */
struct SegmentSampling
{
    const float* window;
    float* cubics;
    int windows;
    int count;
    float w;
    float* ring;
    int ringMask;
    int first;
};

/** Blends the moving pairs of G groups of N segments in place: pair (j, N-1-j)
    for even j below N/2 of group g (starting at ring position first + g * N)
    becomes (lerp(a, b, o), (a - lerp(a, b, o)) + b) with o = groupMix[g];
    groups whose mix is not above 0 stay. The rest is scratch: pairA, pairB
    and pairMix hold capacity + 8 values, heldStart and heldMix capacity. */
struct PairBlending
{
    float* ring;
    int ringMask;
    int first;
    int N;
    int G;
    const float* groupMix;
    float* pairA;
    float* pairB;
    float* pairMix;
    int* heldStart;
    float* heldMix;
    int capacity;
};

/** Rebuilds count output samples from K >= 3 segments of one channel: the
    segment d places before ring[newest] is ring[(newest - d) & ringMask];
    output sample l sits at M = float(K - 1) - float(l) * segmentsPerSample
    segments back from the newest. The window before segment 0 takes
    previous as its x(-1). Writes values[0 .. count - 1]. */
struct SegmentRebuilding
{
    const float* ring;
    int ringMask;
    int newest;
    int K;
    int count;
    float segmentsPerSample;
    float previous;
    float* values;
};

/** The vector versions of the stage's three hot loops for one instruction set. */
struct SegmentKernels
{
    SegmentPath path;
    void (*sample) (const SegmentSampling&) noexcept;
    void (*blendPairs) (const PairBlending&) noexcept;
    void (*rebuild) (const SegmentRebuilding&) noexcept;

    /** The kernels a stage prepared now uses: the widest path the machine
        runs, or the forced one; nullptr means the scalar path. Not for the
        audio thread (the first call detects the processor). */
    static const SegmentKernels* choose() noexcept;

    /** Whether this machine and build can run the path. */
    static bool isAvailable (SegmentPath path) noexcept;

    /** Makes choose() return the given path's kernels (tests and benchmarks
        compare paths this way); returns false, changing nothing, when the
        path is not available. */
    static bool force (SegmentPath path) noexcept;

    /** Back to the widest available path. */
    static void unforce() noexcept;
};

/** The AVX2 + FMA kernels, or nullptr in builds without them. */
const SegmentKernels* getAvx2SegmentKernels() noexcept;

} // namespace juce::qorv_dsp
