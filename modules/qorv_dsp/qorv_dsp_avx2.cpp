// The stage's vector loops for processors with AVX2 and FMA. The build
// compiles this file alone with -mavx2 -mfma; it includes nothing that other
// files also compile (see SegmentKernelBodies.h), and the stage calls it only
// after the processor has been found to support both.

#include "stage/SegmentKernels.h"

#if defined(__AVX2__) && defined(__FMA__)
 #include "stage/SegmentKernelBodies.h"

namespace juce::qorv_dsp
{
namespace
{
using Avx2Kernels = segment_simd::Kernels<segment_simd::Avx2Lanes, ScalarLane<segment_simd::HardwareFma>>;

const SegmentKernels avx2Kernels { SegmentPath::avx2, &Avx2Kernels::sample, &Avx2Kernels::blendPairs, &Avx2Kernels::rebuild };
} // namespace

const SegmentKernels* getAvx2SegmentKernels() noexcept
{
    return &avx2Kernels;
}
} // namespace juce::qorv_dsp

#else

const juce::qorv_dsp::SegmentKernels* juce::qorv_dsp::getAvx2SegmentKernels() noexcept
{
    return nullptr;
}

#endif
