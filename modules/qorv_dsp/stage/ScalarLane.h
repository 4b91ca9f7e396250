// One float as a lane, the scalar path's instance of the lane interface.
#pragma once

// The stage's formulas and vector loops are written over this interface
// (SegmentLanes.h has the vectors). It includes nothing, because the AVX2 kernels include it too;
// they instantiate it only with their own fused multiply-add, so no function
// of the scalar path is ever compiled for AVX2.

namespace juce::qorv_dsp
{

/** The library's fused multiply-add: one rounding by definition, whatever
    the machine. The scalar loops and the SSE2 kernels use it; the AVX2
    kernels have their own, so this is never compiled for AVX2. */
struct LibraryFma
{
    static float apply (float a, float b, float c) noexcept { return __builtin_fmaf (a, b, c); }
};

/** One lane. Fma is the exact fused multiply-add the lane rounds with. */
template <typename Fma>
struct ScalarLane
{
    static constexpr int lanes = 1;
    static constexpr bool permutesAndMasks = false; // the AVX2 extras of SegmentLanes.h
    using F = float;
    using I = int;
    using M = bool;

    static F set1 (float x) noexcept { return x; }
    static I set1i (int x) noexcept { return x; }
    static I iota() noexcept { return 0; }
    static I bits (I a, int mask) noexcept { return a & mask; }
    static F load (const float* p) noexcept { return *p; }
    static void store (float* p, F v) noexcept { *p = v; }
    static F toFloat (I v) noexcept { return (float) v; }
    static I truncate (F v) noexcept { return (int) v; }
    static F fma (F a, F b, F c) noexcept { return Fma::apply (a, b, c); }

    static M eq (F a, F b) noexcept { return a == b; }
    static M le (F a, F b) noexcept { return a <= b; }
    static M ge (F a, F b) noexcept { return a >= b; }
    static M gt (F a, F b) noexcept { return a > b; }
    static M both (M a, M b) noexcept { return a && b; }
    static M either (M a, M b) noexcept { return a || b; }
    static M differ (M a, M b) noexcept { return a != b; }
    static F select (M m, F a, F b) noexcept { return m ? a : b; }

    /** b < z ? z : b, and b > z ? z : b (lerp's clamps, NaN picks b). */
    static F notBelow (F z, F b) noexcept { return b < z ? z : b; }
    static F notAbove (F z, F b) noexcept { return b > z ? z : b; }

    static F gather (const float* base, I index) noexcept { return base[index]; }
};

/** The lane of the stage's own scalar loops. */
using PlainLane = ScalarLane<LibraryFma>;

} // namespace juce::qorv_dsp
