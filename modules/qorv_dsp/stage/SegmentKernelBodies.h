#pragma once

// The bodies of the stage's vector loops, written once over a lane type and
// compiled once per instruction set: qorv_dsp.cpp builds the SSE2 kernels,
// qorv_dsp_avx2.cpp the AVX2 + FMA ones. Everything here has internal
// linkage and includes nothing but the lane types and formulas, so that no
// function compiled for AVX2 can stand in for one the rest of the program calls.
//
// The cubic and the lerp are the scalar path's own templates
// (SegmentFormulas.h), so each lane performs its operations in its order, in
// single precision and without contraction. The tests compare every path's
// whole output bit for bit.

#include "ScalarLane.h"
#include "SegmentFormulas.h"
#include "SegmentLanes.h"

namespace juce::qorv_dsp::segment_simd
{
namespace
{

//==============================================================================
/** The three loops for lane type V, with S (one lane) for their ends. */
template <typename V, typename S>
struct Kernels
{
    using F = typename V::F;
    using I = typename V::I;
    static constexpr int W = V::lanes;

    static void sample (const SegmentSampling& job) noexcept
    {
        const SegmentSampling local = job; // vector stores may alias anything
        const float* const x = local.window;
        float* const ring = local.ring;
        const int mask = local.ringMask, count = local.count;

        // The cubic of every window the segments fall into: coefficient i of
        // window j at table[i][j].
        const int stride = local.windows + 8;
        const float* const table[4] = { local.cubics, local.cubics + stride, local.cubics + 2 * stride, local.cubics + 3 * stride };
        int j = 0;
        for (; j + W <= local.windows; j += W)
        {
            const auto c = Cubic<V>::of (V::load (x + j - 1), V::load (x + j), V::load (x + j + 1), V::load (x + j + 2));
            V::store (local.cubics + j, c.c0);
            V::store (local.cubics + stride + j, c.c1);
            V::store (local.cubics + 2 * stride + j, c.c2);
            V::store (local.cubics + 3 * stride + j, c.c3);
        }
        for (; j < local.windows; ++j)
        {
            const auto c = Cubic<S>::of (x[j - 1], x[j], x[j + 1], x[j + 2]);
            local.cubics[j] = c.c0;
            local.cubics[stride + j] = c.c1;
            local.cubics[2 * stride + j] = c.c2;
            local.cubics[3 * stride + j] = c.c3;
        }

        int k = 0;
        const F w = V::set1 (local.w);
        const bool shortSegments = local.w <= 0.85f;
        I kv = V::iota();
        for (; k + W <= count; k += W, kv = kv + V::set1i (W))
        {
            const auto anyWindows = [&] (I index, Cubic<V>& c) { gatherCubic<V> (table, index, c); };
            F value;
            if constexpr (V::permutesAndMasks)
            {
                // Lanes within W consecutive windows take their coefficients
                // by permutes of one load per coefficient. Below 0.85 samples
                // per segment the W lanes span less than W - 1 samples, so
                // they always do.
                const auto nearbyWindows = [&] (I index, Cubic<V>& c)
                {
                    const int firstWindow = V::firstLane (index);
                    const I lane = index - V::set1i (firstWindow);
                    c.c0 = V::permute (V::load (table[0] + firstWindow), lane);
                    c.c1 = V::permute (V::load (table[1] + firstWindow), lane);
                    c.c2 = V::permute (V::load (table[2] + firstWindow), lane);
                    c.c3 = V::permute (V::load (table[3] + firstWindow), lane);
                };
                if (shortSegments || (int) ((float) (k + W - 1) * local.w) - (int) ((float) k * local.w) < W)
                    value = segmentValue<V> (kv, w, nearbyWindows);
                else
                    value = segmentValue<V> (kv, w, anyWindows);
            }
            else
            {
                value = segmentValue<V> (kv, w, anyWindows);
            }

            const int position = (local.first + k) & mask;
            if (position + W - 1 <= mask)
            {
                V::store (ring + position, value);
            }
            else
            {
                float lanes[(unsigned) W];
                V::store (lanes, value);
                for (int lane = 0; lane < W; ++lane)
                    ring[(position + lane) & mask] = lanes[lane];
            }
        }
        for (; k < count; ++k)
            ring[(local.first + k) & mask] = segmentValue<S> (k, local.w, [&] (int index, Cubic<S>& c) { gatherCubic<S> (table, index, c); });
    }

    /** Segment k at P = k * w: on a whole sample that sample, else the cubic
        of the window around it (window j = trunc(P) has c0 = x[j]).
        fetch (j, cubic) loads the coefficients of the lanes' windows. */
    template <typename L, typename Fetch>
    static typename L::F segmentValue (typename L::I k, typename L::F w, Fetch&& fetch) noexcept
    {
        using LF = typename L::F;
        const LF P = L::toFloat (k) * w;
        const auto j = L::truncate (P);
        const LF f = P - L::toFloat (j);

        Cubic<L> c;
        fetch (j, c);
        return L::select (L::eq (f, L::set1 (0.0f)), c.c0, c.evaluate (f));
    }

    template <typename L>
    static void gatherCubic (const float* const* table, typename L::I j, Cubic<L>& c) noexcept
    {
        c.c0 = L::gather (table[0], j);
        c.c1 = L::gather (table[1], j);
        c.c2 = L::gather (table[2], j);
        c.c3 = L::gather (table[3], j);
    }

    //==============================================================================
    static void blendPairs (const PairBlending& job) noexcept
    {
        const PairBlending local = job; // the loops below store through float pointers
        const int N = local.N, half = N / 2;
        const int pairsPerGroup = (half + 1) / 2;
        if (pairsPerGroup == 0 || pairsPerGroup > local.capacity)
            return;
        const int groupsPerBatch = local.capacity / pairsPerGroup;

        int held = 0;
        for (int g = 0; g < local.G; ++g)
        {
            const float o = local.groupMix[g];
            if (! (o > 0.0f))
                continue;

            const int start = (local.first + g * N) & local.ringMask;
            if constexpr (V::permutesAndMasks)
            {
                if (N >= directGroup && start + N - 1 <= local.ringMask)
                {
                    blendGroup (local.ring + start, N, o);
                    continue;
                }
            }

            local.heldStart[held] = start;
            local.heldMix[held] = o;
            if (++held == groupsPerBatch)
            {
                blendHeld (local, held, pairsPerGroup);
                held = 0;
            }
        }
        blendHeld (local, held, pairsPerGroup);
    }

    /** Groups of at least this many segments are blended where they lie:
        the 16-value stretches read at either end never leave the group. */
    static constexpr int directGroup = 16;

    /** One whole group in place, eight pairs at a time: the first members
        (every second segment from the front) face their partners (every
        second segment backwards from the end). Only the members of moving
        pairs are stored, so the two ends may overlap in the middle. */
    static void blendGroup (float* group, int N, float o) noexcept
    {
        const int half = N / 2;
        const F mix = V::set1 (o);
        for (int j = 0; j < half; j += 2 * W)
        {
            const auto moving = V::lessThan (V::iota() + V::iota() + V::set1i (j), V::set1i (half));
            float* const front = group + j;
            float* const back = group + N - 2 * W - j;
            const F a = V::evensForward (front), b = V::oddsBackward (back);
            const F moved = exactLerp<V> (a, b, mix);
            V::storeEvensForward (front, moved, moving);
            V::storeOddsBackward (back, (a - moved) + b, moving);
        }
    }

    /** Small groups, and groups across the ring's end: the pairs of the
    held groups gathered into lines, blended a vector at a time (the last one
    padded) and put back. */
    static void blendHeld (const PairBlending& job, int groups, int pairsPerGroup) noexcept
    {
        float* const ring = job.ring;
        const int mask = job.ringMask, N = job.N;

        int count = 0;
        for (int g = 0; g < groups; ++g)
        {
            const int start = job.heldStart[g];
            for (int j = 0; j < 2 * pairsPerGroup; j += 2, ++count)
            {
                job.pairA[count] = ring[(start + j) & mask];
                job.pairB[count] = ring[(start + N - 1 - j) & mask];
                job.pairMix[count] = job.heldMix[g];
            }
        }

        for (int p = count; p % W != 0; ++p)
            job.pairA[p] = job.pairB[p] = job.pairMix[p] = 0.0f;
        for (int p = 0; p < count; p += W)
            blendPair<V> (job.pairA + p, job.pairB + p, job.pairMix + p);

        count = 0;
        for (int g = 0; g < groups; ++g)
        {
            const int start = job.heldStart[g];
            for (int j = 0; j < 2 * pairsPerGroup; j += 2, ++count)
            {
                ring[(start + j) & mask] = job.pairA[count];
                ring[(start + N - 1 - j) & mask] = job.pairB[count];
            }
        }
    }

    template <typename L>
    static void blendPair (float* a, float* b, const float* o) noexcept
    {
        using LF = typename L::F;
        const LF x = L::load (a), y = L::load (b);
        const LF moved = exactLerp<L> (x, y, L::load (o));
        L::store (a, moved);
        L::store (b, (x - moved) + y);
    }

    //==============================================================================
    static void rebuild (const SegmentRebuilding& job) noexcept
    {
        const float* const ring = job.ring;
        const int mask = job.ringMask, newest = job.newest, K = job.K, count = job.count;
        const float Sp = job.segmentsPerSample;
        const auto back = [&] (int d) { return ring[(newest - d) & mask]; };
        const auto distance = [&] (int l) { return (float) (K - 1) - (float) l * Sp; };

        job.values[0] = back (K - 1);

        // While the position is within the first segment step, the window is
        // the one loaded at the block start, whose x(-1) came from before.
        int l = 1;
        if (l < count && distance (l) >= (float) (K - 2))
        {
            const auto first = Cubic<S>::of (job.previous, back (K - 1), back (K - 2), back (K - 3));
            for (; l < count; ++l)
            {
                const float M = distance (l);
                if (! (M >= (float) (K - 2)))
                    break;
                job.values[l] = (float) (K - 2) == M ? back (K - 2) : first.evaluate ((float) (K - 1) - M);
            }
        }

        // Positions less than one segment before the newest interpolate
        // linearly between the last two.
        int end = count;
        while (end > l && distance (end - 1) < 1.0f)
            --end;

        const F KminusOne = V::set1 ((float) (K - 1)), segmentsPerSample = V::set1 (Sp);
        for (; l + W <= end; l += W)
            V::store (job.values + l, bodyValue<V> (job, V::iota() + V::set1i (l), KminusOne, segmentsPerSample));
        for (; l < end; ++l)
            job.values[l] = bodyValue<S> (job, l, (float) (K - 1), Sp);

        for (; l < count; ++l)
        {
            const float M = distance (l);
            const int d = (int) M;
            const float phi = M - (float) d;
            job.values[l] = phi == 0.0f ? back (d) : exactLerp<S> (back (d), back (d + 1), phi);
        }
    }

    /** Output samples whose window lies inside the block: x(+1) is the
        segment kk = floor(M) places before the newest, and M on it exactly
        gives that segment. The window's four segments, kk + 2 down to kk - 1
        places back, are gathered through the ring's mask. */
    template <typename L>
    static typename L::F bodyValue (const SegmentRebuilding& job, typename L::I l, typename L::F KminusOne,
                                    typename L::F segmentsPerSample) noexcept
    {
        using LF = typename L::F;
        const LF M = KminusOne - L::toFloat (l) * segmentsPerSample;
        const auto kk = L::truncate (M); // M >= 1 here, so truncation is the floor
        const LF f = L::toFloat (kk + L::set1i (1)) - M;

        const auto first = L::set1i (job.newest - 2) - kk;
        const LF p = L::gather (job.ring, L::bits (first, job.ringMask));
        const LF q = L::gather (job.ring, L::bits (first + L::set1i (1), job.ringMask));
        const LF r = L::gather (job.ring, L::bits (first + L::set1i (2), job.ringMask));
        const LF s = L::gather (job.ring, L::bits (first + L::set1i (3), job.ringMask));
        return L::select (L::eq (L::toFloat (kk), M), r, Cubic<L>::of (p, q, r, s).evaluate (f));
    }
};

} // namespace
} // namespace juce::qorv_dsp::segment_simd
