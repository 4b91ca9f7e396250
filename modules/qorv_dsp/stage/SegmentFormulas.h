// The interpolator's cubic and the exact lerp, each written once over a lane type.
#pragma once

// The lane types are in ScalarLane.h and SegmentLanes.h: the scalar loops and every
// vector kernel perform the same single-precision operations in the same
// order by construction. Templates only and no includes: the AVX2 kernels
// include this file, and an instantiation for their lane types has internal
// linkage, so it never stands in for the scalar path's.

namespace juce::qorv_dsp
{

/** The 4-point, third-order Lagrange cubic over the window p, q, r, s =
    x(-1), x(0), x(+1), x(+2), in this order of evaluation:
        c0 = q
        c1 = ((r - p/3) - q/2) - s/6
        c2 = (r + p)/2 - q
        c3 = (q - r)/2 + (s - p)/6
        value(f) = ((c3 f + c2) f + c1) f + c0,  0 <= f < 1
    (the divisions are multiplications by the nearest floats to 1/3, 1/2, 1/6). */
template <typename V>
struct Cubic
{
    using F = typename V::F;
    F c0, c1, c2, c3;

    static Cubic of (F p, F q, F r, F s) noexcept
    {
        const F third = V::set1 (0.33333334f), half = V::set1 (0.5f), sixth = V::set1 (0.16666667f);
        return { q, ((r - p * third) - q * half) - s * sixth, (r + p) * half - q, (q - r) * half + (s - p) * sixth };
    }

    F evaluate (F f) const noexcept { return ((c3 * f + c2) * f + c1) * f + c0; }
};

/** Exact, monotonic linear interpolation: a at t = 0 and b at t = 1 exactly,
    never beyond b for t in [0, 1], and one rounding (a fused multiply-add)
    when a and b share a sign. Its branches are selects, which pick the same
    result in every lane. */
template <typename V>
typename V::F exactLerp (typename V::F a, typename V::F b, typename V::F t) noexcept
{
    using F = typename V::F;
    const F zero = V::set1 (0.0f), one = V::set1 (1.0f);
    const auto straddles = V::either (V::both (V::le (a, zero), V::ge (b, zero)), V::both (V::ge (a, zero), V::le (b, zero)));
    const F mixed = (one - t) * a + t * b;
    if constexpr (V::lanes == 1)
    {
        // One lane may branch: the same result, without the fused multiply-add
        // where it would be thrown away.
        if (straddles)
            return mixed;
        if (V::eq (t, one))
            return b;
    }
    const F z = V::fma (t, b - a, a);
    const F clamped = V::select (V::differ (V::gt (t, one), V::gt (b, a)), V::notAbove (z, b), V::notBelow (z, b));
    return V::select (straddles, mixed, V::select (V::eq (t, one), b, clamped));
}

} // namespace juce::qorv_dsp
