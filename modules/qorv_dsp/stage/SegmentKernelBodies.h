#pragma once

// The bodies of the stage's vector loops, written once over a lane type and
// compiled once per instruction set: qorv_dsp.cpp builds the SSE2 kernels,
// qorv_dsp_avx2.cpp the AVX2 + FMA ones. Everything here has internal
// linkage and includes nothing but the intrinsics, so that no function
// compiled for AVX2 can stand in for one the rest of the program calls.
//
// Each lane performs exactly the scalar path's operations in its order (the
// cubic of LagrangeState, the exact lerp of Lerp.h), in single precision and
// without contraction; branches become selects that pick the same result.
// The tests compare every path's whole output bit for bit.

#if defined(__SSE2__)
 #include <immintrin.h>
#endif

namespace juce::qorv_dsp::segment_simd
{
namespace
{

/** One lane, for the ends of the vector loops. Fma is the exact fused
    multiply-add of the instruction set the kernels are built for. */
template <typename Fma>
struct ScalarLanes
{
    static constexpr int lanes = 1;
    static constexpr bool permutesAndMasks = false; // the AVX2 extras below
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

#if defined(__SSE2__)
/** The library's fused multiply-add: one rounding by definition, whatever
    the machine. */
struct LibraryFma
{
    static float apply (float a, float b, float c) noexcept { return __builtin_fmaf (a, b, c); }
};

/** Four lanes of SSE2, which every x86-64 processor has. */
struct Sse2Lanes
{
    static constexpr int lanes = 4;
    static constexpr bool permutesAndMasks = false; // the AVX2 extras below
    struct F { __m128 v; };
    struct I { __m128i v; };
    using M = F;

    static F set1 (float x) noexcept { return { _mm_set1_ps (x) }; }
    static I set1i (int x) noexcept { return { _mm_set1_epi32 (x) }; }
    static I iota() noexcept { return { _mm_setr_epi32 (0, 1, 2, 3) }; }
    static I bits (I a, int mask) noexcept { return { _mm_and_si128 (a.v, _mm_set1_epi32 (mask)) }; }
    static F load (const float* p) noexcept { return { _mm_loadu_ps (p) }; }
    static void store (float* p, F v) noexcept { _mm_storeu_ps (p, v.v); }
    static F toFloat (I v) noexcept { return { _mm_cvtepi32_ps (v.v) }; }
    static I truncate (F v) noexcept { return { _mm_cvttps_epi32 (v.v) }; }

    static F fma (F a, F b, F c) noexcept
    {
        alignas (16) float x[4], y[4], z[4];
        _mm_store_ps (x, a.v);
        _mm_store_ps (y, b.v);
        _mm_store_ps (z, c.v);
        for (int k = 0; k < 4; ++k)
            x[k] = LibraryFma::apply (x[k], y[k], z[k]);
        return { _mm_load_ps (x) };
    }

    static M eq (F a, F b) noexcept { return { _mm_cmpeq_ps (a.v, b.v) }; }
    static M le (F a, F b) noexcept { return { _mm_cmple_ps (a.v, b.v) }; }
    static M ge (F a, F b) noexcept { return { _mm_cmpge_ps (a.v, b.v) }; }
    static M gt (F a, F b) noexcept { return { _mm_cmpgt_ps (a.v, b.v) }; }
    static M both (M a, M b) noexcept { return { _mm_and_ps (a.v, b.v) }; }
    static M either (M a, M b) noexcept { return { _mm_or_ps (a.v, b.v) }; }
    static M differ (M a, M b) noexcept { return { _mm_xor_ps (a.v, b.v) }; }
    static F select (M m, F a, F b) noexcept { return { _mm_or_ps (_mm_and_ps (m.v, a.v), _mm_andnot_ps (m.v, b.v)) }; }

    // maxps/minps return their second operand when either is NaN, as the
    // scalar comparisons do.
    static F notBelow (F z, F b) noexcept { return { _mm_max_ps (z.v, b.v) }; }
    static F notAbove (F z, F b) noexcept { return { _mm_min_ps (z.v, b.v) }; }

    static F gather (const float* base, I index) noexcept
    {
        alignas (16) int i[4];
        _mm_store_si128 ((__m128i*) i, index.v);
        return { _mm_setr_ps (base[i[0]], base[i[1]], base[i[2]], base[i[3]]) };
    }

};

inline Sse2Lanes::F operator+ (Sse2Lanes::F a, Sse2Lanes::F b) noexcept { return { _mm_add_ps (a.v, b.v) }; }
inline Sse2Lanes::F operator- (Sse2Lanes::F a, Sse2Lanes::F b) noexcept { return { _mm_sub_ps (a.v, b.v) }; }
inline Sse2Lanes::F operator* (Sse2Lanes::F a, Sse2Lanes::F b) noexcept { return { _mm_mul_ps (a.v, b.v) }; }
inline Sse2Lanes::I operator+ (Sse2Lanes::I a, Sse2Lanes::I b) noexcept { return { _mm_add_epi32 (a.v, b.v) }; }
inline Sse2Lanes::I operator- (Sse2Lanes::I a, Sse2Lanes::I b) noexcept { return { _mm_sub_epi32 (a.v, b.v) }; }
#endif

#if defined(__AVX2__) && defined(__FMA__)
/** The processor's own fused multiply-add. */
struct HardwareFma
{
    static float apply (float a, float b, float c) noexcept
    {
        return _mm_cvtss_f32 (_mm_fmadd_ss (_mm_set_ss (a), _mm_set_ss (b), _mm_set_ss (c)));
    }
};

/** Eight lanes of AVX2 with FMA. */
struct Avx2Lanes
{
    static constexpr int lanes = 8;
    static constexpr bool permutesAndMasks = true;
    struct F { __m256 v; };
    struct I { __m256i v; };
    using M = F;

    static F set1 (float x) noexcept { return { _mm256_set1_ps (x) }; }
    static I set1i (int x) noexcept { return { _mm256_set1_epi32 (x) }; }
    static I iota() noexcept { return { _mm256_setr_epi32 (0, 1, 2, 3, 4, 5, 6, 7) }; }
    static I bits (I a, int mask) noexcept { return { _mm256_and_si256 (a.v, _mm256_set1_epi32 (mask)) }; }
    static F load (const float* p) noexcept { return { _mm256_loadu_ps (p) }; }
    static void store (float* p, F v) noexcept { _mm256_storeu_ps (p, v.v); }
    static F toFloat (I v) noexcept { return { _mm256_cvtepi32_ps (v.v) }; }
    static I truncate (F v) noexcept { return { _mm256_cvttps_epi32 (v.v) }; }
    static F fma (F a, F b, F c) noexcept { return { _mm256_fmadd_ps (a.v, b.v, c.v) }; }

    static M eq (F a, F b) noexcept { return { _mm256_cmp_ps (a.v, b.v, _CMP_EQ_OQ) }; }
    static M le (F a, F b) noexcept { return { _mm256_cmp_ps (a.v, b.v, _CMP_LE_OQ) }; }
    static M ge (F a, F b) noexcept { return { _mm256_cmp_ps (a.v, b.v, _CMP_GE_OQ) }; }
    static M gt (F a, F b) noexcept { return { _mm256_cmp_ps (a.v, b.v, _CMP_GT_OQ) }; }
    static M both (M a, M b) noexcept { return { _mm256_and_ps (a.v, b.v) }; }
    static M either (M a, M b) noexcept { return { _mm256_or_ps (a.v, b.v) }; }
    static M differ (M a, M b) noexcept { return { _mm256_xor_ps (a.v, b.v) }; }
    static F select (M m, F a, F b) noexcept { return { _mm256_blendv_ps (b.v, a.v, m.v) }; }

    static F notBelow (F z, F b) noexcept { return { _mm256_max_ps (z.v, b.v) }; }
    static F notAbove (F z, F b) noexcept { return { _mm256_min_ps (z.v, b.v) }; }

    /** Lane k is base[index[k]]. */
    static F gather (const float* base, I index) noexcept { return { _mm256_i32gather_ps (base, index.v, 4) }; }

    /** Lane k takes v's lane index[k] (0..7). */
    static F permute (F v, I index) noexcept { return { _mm256_permutevar8x32_ps (v.v, index.v) }; }
    static int firstLane (I v) noexcept { return _mm256_cvtsi256_si32 (v.v); }
    static M lessThan (I a, I b) noexcept { return { _mm256_castsi256_ps (_mm256_cmpgt_epi32 (b.v, a.v)) }; }

    // Every second value of a 16-value stretch: forwards from its start
    // (lane k is p[2k]) or backwards from its end (lane k is q[15 - 2k]).
    // Only the lanes in mask are written back.

    static F evensForward (const float* p) noexcept
    {
        const __m256 evens = _mm256_shuffle_ps (_mm256_loadu_ps (p), _mm256_loadu_ps (p + 8), 0x88);
        return { _mm256_permutevar8x32_ps (evens, forwardOrder()) };
    }

    static F oddsBackward (const float* q) noexcept
    {
        const __m256 odds = _mm256_shuffle_ps (_mm256_loadu_ps (q), _mm256_loadu_ps (q + 8), 0xdd);
        return { _mm256_permutevar8x32_ps (odds, backwardOrder()) };
    }

    static void storeEvensForward (float* p, F v, M mask) noexcept
    {
        const __m256 values = _mm256_permutevar8x32_ps (v.v, forwardOrder());
        const __m256i chosen = _mm256_castps_si256 (_mm256_permutevar8x32_ps (mask.v, forwardOrder()));
        const __m256i none = _mm256_setzero_si256();
        _mm256_maskstore_ps (p, _mm256_unpacklo_epi32 (chosen, none), _mm256_unpacklo_ps (values, values));
        _mm256_maskstore_ps (p + 8, _mm256_unpackhi_epi32 (chosen, none), _mm256_unpackhi_ps (values, values));
    }

    static void storeOddsBackward (float* q, F v, M mask) noexcept
    {
        const __m256 values = _mm256_permutevar8x32_ps (v.v, backwardOrder());
        const __m256i chosen = _mm256_castps_si256 (_mm256_permutevar8x32_ps (mask.v, backwardOrder()));
        const __m256i none = _mm256_setzero_si256();
        _mm256_maskstore_ps (q, _mm256_unpacklo_epi32 (none, chosen), _mm256_unpacklo_ps (values, values));
        _mm256_maskstore_ps (q + 8, _mm256_unpackhi_epi32 (none, chosen), _mm256_unpackhi_ps (values, values));
    }

    // Shuffling two loads by 0x88 (or 0xdd) leaves the evens (odds) of a
    // 16-value stretch as 0 2 8 10 4 6 12 14 (1 3 9 11 5 7 13 15); these
    // orders, each its own inverse, put them forwards or backwards.
    static __m256i forwardOrder() noexcept { return _mm256_setr_epi32 (0, 1, 4, 5, 2, 3, 6, 7); }
    static __m256i backwardOrder() noexcept { return _mm256_setr_epi32 (7, 6, 3, 2, 5, 4, 1, 0); }
};

inline Avx2Lanes::F operator+ (Avx2Lanes::F a, Avx2Lanes::F b) noexcept { return { _mm256_add_ps (a.v, b.v) }; }
inline Avx2Lanes::F operator- (Avx2Lanes::F a, Avx2Lanes::F b) noexcept { return { _mm256_sub_ps (a.v, b.v) }; }
inline Avx2Lanes::F operator* (Avx2Lanes::F a, Avx2Lanes::F b) noexcept { return { _mm256_mul_ps (a.v, b.v) }; }
inline Avx2Lanes::I operator+ (Avx2Lanes::I a, Avx2Lanes::I b) noexcept { return { _mm256_add_epi32 (a.v, b.v) }; }
inline Avx2Lanes::I operator- (Avx2Lanes::I a, Avx2Lanes::I b) noexcept { return { _mm256_sub_epi32 (a.v, b.v) }; }
#endif

//==============================================================================
/** The interpolator's cubic for the window p, q, r, s and its value at f,
    in LagrangeState's order of operations. */
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

    F at (F f) const noexcept { return ((c3 * f + c2) * f + c1) * f + c0; }
};

/** Lerp.h's exact lerp with its branches as selects. */
template <typename V>
typename V::F lerpLanes (typename V::F a, typename V::F b, typename V::F t) noexcept
{
    using F = typename V::F;
    const F zero = V::set1 (0.0f), one = V::set1 (1.0f);
    const auto straddles = V::either (V::both (V::le (a, zero), V::ge (b, zero)), V::both (V::ge (a, zero), V::le (b, zero)));
    const F mixed = (one - t) * a + t * b;
    const F z = V::fma (t, b - a, a);
    const F clamped = V::select (V::differ (V::gt (t, one), V::gt (b, a)), V::notAbove (z, b), V::notBelow (z, b));
    return V::select (straddles, mixed, V::select (V::eq (t, one), b, clamped));
}

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
        return L::select (L::eq (f, L::set1 (0.0f)), c.c0, c.at (f));
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
            const F moved = lerpLanes<V> (a, b, mix);
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
        const LF moved = lerpLanes<L> (x, y, L::load (o));
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
                job.values[l] = (float) (K - 2) == M ? back (K - 2) : first.at ((float) (K - 1) - M);
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
            job.values[l] = phi == 0.0f ? back (d) : lerpLanes<S> (back (d), back (d + 1), phi);
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
        return L::select (L::eq (L::toFloat (kk), M), r, Cubic<L>::of (p, q, r, s).at (f));
    }
};

} // namespace
} // namespace juce::qorv_dsp::segment_simd
