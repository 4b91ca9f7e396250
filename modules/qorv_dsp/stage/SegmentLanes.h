// The vector lane types of the stage's kernels: SSE2 and AVX2 with FMA.
#pragma once

// Four lanes of SSE2 and eight of AVX2 with FMA, each with the operations of ScalarLane.h
// plus, for AVX2, the permutes and masked stores the blend uses. Everything
// here has internal linkage and only the intrinsics and ScalarLane.h are included, so that no
// function compiled for AVX2 can stand in for one the rest of the program calls.

#include "ScalarLane.h"

#if defined(__SSE2__)
 #include <immintrin.h>
#endif

namespace juce::qorv_dsp::segment_simd
{
namespace
{

#if defined(__SSE2__)
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
            x[k] = ExactFma::apply (x[k], y[k], z[k]);
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

} // namespace
} // namespace juce::qorv_dsp::segment_simd
