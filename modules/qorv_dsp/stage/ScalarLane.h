// One float as a lane, the scalar path's instance of the lane interface.
#pragma once

// The stage's formulas and vector loops are written over this interface
// (SegmentLanes.h has the vectors). It includes nothing, because the AVX2 kernels include it too;
// they instantiate it only with their own fused multiply-add, so no function
// of the scalar path is ever compiled for AVX2.

namespace juce::qorv_dsp
{

/** A fused multiply-add rounded once, computed the same way on every
    platform: C libraries differ (one rounds the sum twice through x87's long
    double), and the renders must be the same bits everywhere. The product of
    two floats is exact in double; the sum is rounded to odd (an inexact
    result keeps its last bit set), which double's 29 spare bits make round
    to float exactly as the infinitely precise sum would. The scalar loops and
    the SSE2 kernels use it; the AVX2 kernels have their own instruction. */
struct ExactFma
{
    static float apply (float a, float b, float c) noexcept
    {
        const double product = (double) a * (double) b;
        const double addend = c;
        double sum = product + addend;
        if (! __builtin_isfinite (sum))
            return (float) sum;

        // Two-sum: the exact error of that addition.
        const double productPart = sum - addend;
        const double addendPart = sum - productPart;
        const double error = (product - productPart) + (addend - addendPart);
        unsigned long long bits;
        __builtin_memcpy (&bits, &sum, sizeof (bits));
        if (error != 0.0 && (bits & 1u) == 0)
        {
            if ((error > 0.0) == (sum > 0.0))
                ++bits; // one step away from zero
            else
                --bits;
            __builtin_memcpy (&sum, &bits, sizeof (bits));
        }
        return (float) sum;
    }
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
using PlainLane = ScalarLane<ExactFma>;

} // namespace juce::qorv_dsp
