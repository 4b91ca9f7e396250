// Engine throughput at 48000 Hz, stereo, 512-sample blocks, run the way the
// processor runs it (in place, denormals flushed). Reported per sample frame
// and as a multiple of real time on one core. The harness uses only the
// engine's long-standing public operations, so scripts/bench-compare can
// build it against an older engine and time both side by side.

#include "FactoryBank.h"

#include <qorv_dsp/qorv_dsp.h>

#include <benchmark/benchmark.h>

namespace
{
using Engine = juce::qorv_dsp::TandrelMultistage<float, 3>;

constexpr double rate = 48000.0;
constexpr int blockSize = 512;

struct StageSetting
{
    float segs, microseconds, mix;
};

struct Scenario
{
    StageSetting stages[3];
    int mode;
    float tone;
    bool rampMix; // keep every Seg Mix ramping (the per-sample blend path)
    bool silent;
};

void configure (Engine& engine, const Scenario& scenario)
{
    for (int s = 0; s < 3; ++s)
    {
        auto& stage = engine.getStage (s);
        stage.setNumberOfSegments (scenario.stages[s].segs);
        stage.setSegmentSize (scenario.stages[s].microseconds);
        stage.setSegmentMix (scenario.stages[s].mix);
        stage.setTone (scenario.tone);
    }
    engine.setModeIndex ((float) scenario.mode);
    engine.prepareLocked ({ rate, (juce::uint32) blockSize, 2 });
}

juce::AudioBuffer<float> makeInput (bool silent)
{
    juce::AudioBuffer<float> input (2, blockSize);
    juce::Random random (1);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < blockSize; ++i)
            input.setSample (c, i, silent ? 0.0f : random.nextFloat() * 1.6f - 0.8f);
    return input;
}

/** One block in place, as the processor runs it. */
void processBlock (Engine& engine, juce::AudioBuffer<float>& buffer, const juce::AudioBuffer<float>& input)
{
    for (int c = 0; c < 2; ++c)
        buffer.copyFrom (c, 0, input, c, 0, blockSize);
    juce::dsp::AudioBlock<float> block (buffer);
    engine.process (block, block);
    benchmark::DoNotOptimize (buffer.getReadPointer (0));
}

void report (benchmark::State& state, double framesPerIteration)
{
    const double frames = (double) state.iterations() * framesPerIteration;
    state.SetItemsProcessed ((int64_t) frames);
    state.counters["ns_per_frame"] = benchmark::Counter (frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / rate, benchmark::Counter::kIsRate);
}

void runEngine (benchmark::State& state, const Scenario& scenario)
{
    juce::ScopedNoDenormals noDenormals;
    Engine engine;
    configure (engine, scenario);
    const auto input = makeInput (scenario.silent);
    auto buffer = input;

    int blocks = 0;
    for (auto _ : state)
    {
        if (scenario.rampMix)
            for (int s = 0; s < 3; ++s) // a new target every block restarts the 75 ms ramp
                engine.getStage (s).setSegmentMix (blocks % 2 == 0 ? 60.0f : 61.0f);
        processBlock (engine, buffer, input);
        ++blocks;
    }
    report (state, blockSize);
}

constexpr StageSetting defaultStage { 31.0f, 11.0f, 100.0f }, idleStage { 31.0f, 11.0f, 0.0f }, worstStage { 91.0f, 1.0f, 100.0f };

void defaults (benchmark::State& state) { runEngine (state, { { defaultStage, idleStage, idleStage }, 0, 75.0f, false, false }); }
void worstCaseSeries (benchmark::State& state) { runEngine (state, { { worstStage, worstStage, worstStage }, 0, 75.0f, true, false }); }
void worstCaseParallel (benchmark::State& state) { runEngine (state, { { worstStage, worstStage, worstStage }, 1, 75.0f, true, false }); }
void silentInput (benchmark::State& state) { runEngine (state, { { defaultStage, idleStage, idleStage }, 0, 75.0f, false, true }); }
void allIdle (benchmark::State& state) { runEngine (state, { { idleStage, idleStage, idleStage }, 0, 75.0f, false, false }); }

/** The 35 factory presets, each on its own engine, a run of blocks each per
    iteration: the time per frame is the mean over the presets. */
void factoryPresetsMean (benchmark::State& state)
{
    constexpr int blocksPerPreset = 8;
    juce::ScopedNoDenormals noDenormals;
    const auto& table = getFactoryBankTable();

    std::vector<std::unique_ptr<Engine>> engines;
    for (const auto& preset : table)
    {
        Scenario scenario {};
        for (int s = 0; s < 3; ++s)
            scenario.stages[s] = { (float) preset.stages[s].nSegs, preset.stages[s].segSize, preset.stages[s].segMix };
        scenario.mode = preset.mode;
        scenario.tone = preset.tone;
        engines.push_back (std::make_unique<Engine>());
        configure (*engines.back(), scenario);
    }

    const auto input = makeInput (false);
    auto buffer = input;
    for (auto _ : state)
        for (auto& engine : engines)
            for (int b = 0; b < blocksPerPreset; ++b)
                processBlock (*engine, buffer, input);
    report (state, (double) table.size() * blocksPerPreset * blockSize);
}
} // namespace

#if __has_include(<qorv_dsp/stage/SegmentKernels.h>)
namespace
{
/** The defaults and the worst case on each instruction-set path of the
    stage, forced before the engine is prepared. */
const bool pathsRegistered = []
{
    using juce::qorv_dsp::SegmentKernels;
    using juce::qorv_dsp::SegmentPath;
    const std::pair<SegmentPath, const char*> paths[] = { { SegmentPath::scalar, "scalar" }, { SegmentPath::sse2, "sse2" },
                                                          { SegmentPath::avx2, "avx2" } };
    const std::pair<Scenario, const char*> scenarios[] = {
        { { { defaultStage, idleStage, idleStage }, 0, 75.0f, false, false }, "a_defaults" },
        { { { worstStage, worstStage, worstStage }, 0, 75.0f, true, false }, "b_worst_case_series" },
    };
    for (const auto& [scenario, scenarioName] : scenarios)
        for (const auto& [path, pathName] : paths)
            benchmark::RegisterBenchmark ((std::string ("Path/") + pathName + "/" + scenarioName).c_str(),
                                          [path = path, scenario = scenario] (benchmark::State& state)
                                          {
                                              if (! SegmentKernels::force (path))
                                              {
                                                  state.SkipWithError ("this machine lacks the path");
                                                  return;
                                              }
                                              runEngine (state, scenario);
                                              SegmentKernels::unforce();
                                          });
    return true;
}();
} // namespace
#endif

BENCHMARK (defaults)->Name ("Engine/a_defaults");
BENCHMARK (worstCaseSeries)->Name ("Engine/b_worst_case_series");
BENCHMARK (worstCaseParallel)->Name ("Engine/c_worst_case_parallel");
BENCHMARK (silentInput)->Name ("Engine/d_silent_input");
BENCHMARK (allIdle)->Name ("Engine/e_all_stages_idle");
BENCHMARK (factoryPresetsMean)->Name ("Engine/f_factory_presets_mean");
