// The stage's vector paths (SSE2, AVX2 + FMA) against its scalar loops: the
// whole engine's output must be the same bits on every path the machine runs,
// over sample rates, channel counts, block lengths, ramping and jumping
// controls and signals with silence, signed zeros, denormals and huge values.

#include "AudioCompare.h"
#include "SegmentPaths.h"

#include <gtest/gtest.h>

#if defined(__GNUC__) && defined(__x86_64__)
 #include <cpuid.h>
#endif

namespace
{
using namespace tandrel::test;
using Engine = juce::qorv_dsp::TandrelMultistage<float, 3>;

struct StageSetting
{
    float segs, microseconds, mix;
};

enum class Automation
{
    none,
    mixEveryBlock, // a new mix target each block: the per-sample blend
    everything     // mixes, sizes, counts, tone and mode jump around; resets
};

struct Scenario
{
    const char* name;
    double rate;
    int channels;
    int maximumBlock;
    std::vector<int> blocks; // repeating block lengths; empty: the maximum
    int mode;
    StageSetting stages[3];
    Automation automation;
    bool flushDenormals;
    int length;
    float tone = 75.0f; // 100 turns the shelf off, so signed zeros reach the output
};

/** Noise, then exact zeros of both signs, denormals, huge values and noise again. */
juce::AudioBuffer<float> makeTestSignal (int channels, int length)
{
    juce::Random random (77);
    juce::AudioBuffer<float> buffer (channels, length);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < length; ++i)
        {
            const float noise = random.nextFloat() * 1.6f - 0.8f;
            const int section = (8 * i) / length;
            float value = noise;
            if (section == 2)
                value = (i % 2 == 0) ? 0.0f : -0.0f;
            else if (section == 3)
                value = noise * 1.0e-38f;
            else if (section == 4)
                value = noise * 1.0e18f;
            buffer.setSample (c, i, value);
        }
    return buffer;
}

void automate (Engine& engine, Automation automation, int block)
{
    if (automation == Automation::mixEveryBlock)
    {
        for (int s = 0; s < 3; ++s)
            engine.getStage (s).setSegmentMix (block % 2 == 0 ? 60.0f : 61.0f);
        return;
    }
    if (automation != Automation::everything)
        return;

    static constexpr float mixes[] = { 0.0f, 35.0f, 100.0f, 120.0f, 50.0f, 0.0f, 100.0f, 7.5f };
    static constexpr float sizes[] = { 1.0f, 48.0f, 3.3f, 11.0f, 1.7f, 25.0f };
    static constexpr float counts[] = { 91.0f, 2.0f, 7.0f, 31.0f, 4.0f, 60.0f };
    for (int s = 0; s < 3; ++s)
    {
        auto& stage = engine.getStage (s);
        if ((block + s) % 5 == 0)
            stage.setSegmentMix (mixes[(size_t) ((block / 5 + s) % 8)]);
        if ((block + 2 * s) % 7 == 0)
            stage.setSegmentSize (sizes[(size_t) ((block / 7 + s) % 6)]);
        if ((block + s) % 11 == 0)
            stage.setNumberOfSegments (counts[(size_t) ((block / 11 + s) % 6)]);
        stage.setTone ((float) ((block * 13) % 101));
    }
    if (block % 17 == 0)
        engine.setModeIndex ((float) ((block / 17) % 2));
    if (block % 29 == 28) // a reset mid-run starts the interpolators from silence again
        engine.resetLocked();
}

struct Render
{
    juce::AudioBuffer<float> audio;
    int blocks = 0;
    int blocksOnPath = 0; // blocks in which a stage ran the forced path
};

Render render (const Scenario& scenario, SegmentPath path)
{
    std::unique_ptr<juce::ScopedNoDenormals> flush;
    if (scenario.flushDenormals)
        flush = std::make_unique<juce::ScopedNoDenormals>();

    const ScopedSegmentPath forced (path);
    Engine engine;
    for (int s = 0; s < 3; ++s)
    {
        auto& stage = engine.getStage (s);
        stage.setNumberOfSegments (scenario.stages[s].segs);
        stage.setSegmentSize (scenario.stages[s].microseconds);
        stage.setSegmentMix (scenario.stages[s].mix);
        stage.setTone (scenario.tone);
    }
    engine.setModeIndex ((float) scenario.mode);
    engine.prepareLocked ({ scenario.rate, (juce::uint32) scenario.maximumBlock, (juce::uint32) scenario.channels });

    Render result;
    result.audio = makeTestSignal (scenario.channels, scenario.length);
    for (int start = 0; start < scenario.length; ++result.blocks)
    {
        const int wanted = scenario.blocks.empty() ? scenario.maximumBlock
                                                   : scenario.blocks[(size_t) result.blocks % scenario.blocks.size()];
        const int n = juce::jmin (wanted, scenario.length - start);
        automate (engine, scenario.automation, result.blocks);
        auto block = juce::dsp::AudioBlock<float> (result.audio).getSubBlock ((size_t) start, (size_t) n);
        engine.process (block, block);
        start += n;

        bool onPath = false;
        for (int s = 0; s < 3; ++s)
            onPath = onPath || engine.getStage (s).getLastBlockPath() == path;
        result.blocksOnPath += onPath ? 1 : 0;
    }
    return result;
}

const std::vector<int> varying { 1, 17, 512, 3, 64, 255, 128, 511, 2, 40 };
constexpr StageSetting idle { 31.0f, 11.0f, 0.0f };

const Scenario scenarios[] = {
    { "defaults", 48000.0, 2, 512, {}, 0, { { 31.0f, 11.0f, 100.0f }, idle, idle }, Automation::none, true, 24000 },
    { "worst case series, mix ramping", 48000.0, 2, 512, {}, 0, { { 91.0f, 1.0f, 100.0f }, { 91.0f, 1.0f, 100.0f }, { 91.0f, 1.0f, 100.0f } },
      Automation::mixEveryBlock, true, 24000 },
    { "worst case parallel, mix ramping", 48000.0, 2, 512, {}, 1, { { 91.0f, 1.0f, 100.0f }, { 91.0f, 1.0f, 60.0f }, { 91.0f, 1.0f, 120.0f } },
      Automation::mixEveryBlock, true, 24000 },
    { "everything moving, varying blocks", 44100.0, 2, 512, varying, 1, { { 7.0f, 3.5f, 50.0f }, { 2.0f, 48.0f, 120.0f }, { 60.0f, 1.0f, 35.0f } },
      Automation::everything, true, 40000 },
    { "mono, denormals kept", 44100.0, 1, 300, {}, 0, { { 13.0f, 2.0f, 70.0f }, { 5.0f, 20.0f, 100.0f }, { 91.0f, 48.0f, 110.0f } },
      Automation::everything, false, 30000 },
    { "three channels at 96 kHz", 96000.0, 3, 1024, { 1024, 7, 333 }, 0, { { 91.0f, 1.0f, 120.0f }, { 2.0f, 48.0f, 50.0f }, idle },
      Automation::everything, true, 48000 },
    { "whole-sample segments at 1 MHz", 1000000.0, 2, 512, { 512, 100 }, 0, { { 5.0f, 1.0f, 100.0f }, { 2.0f, 1.0f, 50.0f }, { 91.0f, 2.0f, 120.0f } },
      Automation::none, true, 40000, 100.0f },
    { "22.05 kHz, tiny blocks", 22050.0, 2, 64, { 1, 2, 3, 64, 5 }, 1, { { 2.0f, 48.0f, 100.0f }, { 3.0f, 45.0f, 60.0f }, { 91.0f, 1.0f, 80.0f } },
      Automation::everything, true, 12000 },
};
} // namespace

TEST (SegmentPaths, EveryPathRendersTheScalarBits)
{
    const auto paths = availableSegmentPaths();
    ASSERT_GE (paths.size(), 1u);

    for (const auto& scenario : scenarios)
    {
        const auto reference = render (scenario, SegmentPath::scalar);
        for (const auto path : paths)
        {
            if (path == SegmentPath::scalar)
                continue;
            const auto rendered = render (scenario, path);
            EXPECT_TRUE (bitsMatch (rendered.audio, reference.audio)) << scenario.name << " on " << nameOf (path);
            // Typical blocks take the vector path; only blocks too short for
            // three segments fall back.
            EXPECT_GT (rendered.blocksOnPath, rendered.blocks / 2) << scenario.name << " on " << nameOf (path);
        }
    }
}

TEST (SegmentPaths, ForcingAPathTheMachineLacksChangesNothing)
{
    EXPECT_TRUE (SegmentKernels::isAvailable (SegmentPath::scalar));
    for (const auto path : { SegmentPath::sse2, SegmentPath::avx2 })
    {
        if (SegmentKernels::isAvailable (path))
            continue;
        const auto before = SegmentKernels::choose();
        EXPECT_FALSE (SegmentKernels::force (path));
        EXPECT_EQ (SegmentKernels::choose(), before);
    }
    {
        const ScopedSegmentPath scalar (SegmentPath::scalar);
        EXPECT_TRUE (scalar.forced);
        EXPECT_EQ (SegmentKernels::choose(), nullptr);
    }
#if defined(__x86_64__)
    EXPECT_TRUE (SegmentKernels::isAvailable (SegmentPath::sse2)); // every x86-64 processor has it
#endif
}

// The processor's own flags, read here with cpuid apart from the detection the
// kernels use: a build that stopped seeing AVX2 would otherwise pass every
// other test on the narrower path. (The framework's reading is no reference:
// its MinGW build asks for the extended flags with a stray sub-leaf.)
TEST (SegmentPaths, StagesRunTheWidestPathTheProcessorHas)
{
#if defined(__GNUC__) && defined(__x86_64__)
    const bool processorHasAvx2 = []
    {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (__get_cpuid (1, &a, &b, &c, &d) == 0 || (c & bit_FMA) == 0 || (c & bit_AVX) == 0 || (c & bit_OSXSAVE) == 0)
            return false;
        unsigned enabledLow = 0, enabledHigh = 0;
        asm ("xgetbv" : "=a"(enabledLow), "=d"(enabledHigh) : "c"(0)); // the system saves the vector registers
        if ((enabledLow & 6u) != 6u)
            return false;
        return __get_cpuid_count (7, 0, &a, &b, &c, &d) != 0 && (b & bit_AVX2) != 0;
    }();
    EXPECT_EQ (SegmentKernels::isAvailable (SegmentPath::avx2), processorHasAvx2);

    const auto* chosen = SegmentKernels::choose();
    ASSERT_NE (chosen, nullptr) << "x86-64 has SSE2 at least";
    EXPECT_STREQ (nameOf (chosen->path), processorHasAvx2 ? "avx2" : "sse2");
#else
    GTEST_SKIP() << "the vector paths are x86-64 only";
#endif
}
