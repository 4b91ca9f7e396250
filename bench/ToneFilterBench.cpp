// The tone filter over a 512-sample stereo block, and the per-sample mix ramp fill.

#include <qorv_dsp/qorv_dsp.h>

#include <benchmark/benchmark.h>

namespace
{
void toneFilterBlock (benchmark::State& state)
{
    juce::ScopedNoDenormals noDenormals;
    juce::qorv_dsp::TandrelStage<float>::ToneFilter<float> filter;
    filter.prepareLocked ({ 48000.0, 512, 2 });
    filter.tone.value = 75.0f;

    juce::AudioBuffer<float> buffer (2, 512);
    juce::Random random (1);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 512; ++i)
            buffer.setSample (c, i, random.nextFloat() - 0.5f);

    for (auto _ : state)
    {
        filter.updateCoefficients (512);
        for (int c = 0; c < 2; ++c)
            filter.processChannel (c, buffer.getWritePointer (c), 512);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    state.SetItemsProcessed (state.iterations() * 512);
}

void rampPerSampleFill (benchmark::State& state)
{
    juce::qorv_dsp::PercentArg_v2<float> mix;
    mix.resetSmoothing (48000.0f);
    mix.reserveBuffer (512);
    int k = 0;
    for (auto _ : state)
    {
        mix.setTarget (k++ % 2 == 0 ? 30.0f : 90.0f); // a running ramp in every block
        mix.rampPerSample (512);
        benchmark::DoNotOptimize (mix.getBuffer()[mix.getLastIndex()]);
        mix.releaseBuffer();
    }
    state.SetItemsProcessed (state.iterations() * 512);
}
} // namespace

BENCHMARK (toneFilterBlock)->Name ("ToneFilter/stereo_512");
BENCHMARK (rampPerSampleFill)->Name ("Argument/rampPerSample_512");
