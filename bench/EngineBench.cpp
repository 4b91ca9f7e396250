// Engine throughput at 48000 Hz, stereo, 512-sample blocks, run the way the
// processor runs it (in place, denormals flushed). Reported per sample frame
// and as a multiple of real time on one core.

#include <qorv_dsp/qorv_dsp.h>

#include <benchmark/benchmark.h>

namespace
{
using Engine = juce::qorv_dsp::TandrelMultistage<float, 3>;

constexpr double rate = 48000.0;
constexpr int blockSize = 512;

struct Scenario
{
    float segs, microseconds, mix[3];
    int mode;
    bool rampMix;   // keep every Seg Mix ramping (the per-sample blend path)
    bool silent;
};

void runEngine (benchmark::State& state, const Scenario& scenario)
{
    juce::ScopedNoDenormals noDenormals;
    Engine engine;
    for (int s = 0; s < 3; ++s)
    {
        auto& stage = engine.getStage (s);
        stage.setNumberOfSegments (scenario.segs);
        stage.setSegmentSize (scenario.microseconds);
        stage.setSegmentMix (scenario.mix[s]);
        stage.setTone (75.0f);
    }
    engine.setModeIndex ((float) scenario.mode);
    engine.prepareLocked ({ rate, (juce::uint32) blockSize, 2 });

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::Random random (1);
    const auto refill = [&]
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (c, i, scenario.silent ? 0.0f : random.nextFloat() * 1.6f - 0.8f);
    };
    refill();
    const auto input = buffer;

    juce::dsp::AudioBlock<float> block (buffer);
    int blocks = 0;
    for (auto _ : state)
    {
        if (scenario.rampMix)
            for (int s = 0; s < 3; ++s) // a new target every block restarts the 75 ms ramp
                engine.getStage (s).setSegmentMix (blocks % 2 == 0 ? 60.0f : 61.0f);

        for (int c = 0; c < 2; ++c)
            buffer.copyFrom (c, 0, input, c, 0, blockSize);
        engine.process (block, block);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
        ++blocks;
    }

    const double frames = (double) state.iterations() * blockSize;
    state.SetItemsProcessed ((int64_t) frames);
    state.counters["ns_per_frame"] = benchmark::Counter (frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / rate, benchmark::Counter::kIsRate);
}

void defaults (benchmark::State& state) { runEngine (state, { 31.0f, 11.0f, { 100.0f, 0.0f, 0.0f }, 0, false, false }); }
void worstCaseSeries (benchmark::State& state) { runEngine (state, { 91.0f, 1.0f, { 100.0f, 100.0f, 100.0f }, 0, true, false }); }
void worstCaseParallel (benchmark::State& state) { runEngine (state, { 91.0f, 1.0f, { 100.0f, 100.0f, 100.0f }, 1, true, false }); }
void silentInput (benchmark::State& state) { runEngine (state, { 31.0f, 11.0f, { 100.0f, 0.0f, 0.0f }, 0, false, true }); }
} // namespace

BENCHMARK (defaults)->Name ("Engine/a_defaults");
BENCHMARK (worstCaseSeries)->Name ("Engine/b_worst_case_series");
BENCHMARK (worstCaseParallel)->Name ("Engine/c_worst_case_parallel");
BENCHMARK (silentInput)->Name ("Engine/d_silent_input");
