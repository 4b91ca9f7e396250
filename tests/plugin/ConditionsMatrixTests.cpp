// The plug-in across the conditions real hosts and studios produce: every
// sample rate from 8 kHz to 384 kHz, tiny, odd and oversized blocks, both
// routes, mono and stereo, host bypass, factory presets and the extreme
// settings. Each case checks that the output is finite, that it stays within
// the growth the engine's arithmetic allows, that the reported latency is the
// delay the host gets, and that a block of 1e38 and a block of NaN leave the
// session intact.

#include "FactoryBank.h"
#include "PluginProcessor.h"
#include "ParameterAccess.h"

#include "BlockRunner.h"
#include "BlockSchedule.h"
#include "ScopedTempDir.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace
{
using ToneFilter = juce::qorv_dsp::TandrelStage<float>::ToneFilter<float>;

constexpr double sampleRates[] = { 8000.0,  11025.0, 16000.0,  22050.0,  24000.0,  32000.0, 44100.0,
                                   48000.0, 88200.0, 96000.0, 176400.0, 192000.0, 384000.0 };

using tandrel::test::BlockSchedule;

const BlockSchedule schedules[] = {
    { "blocks of 1", 1, { 1 } },
    { "blocks of 32", 32, { 32 } },
    { "blocks of 480 (512 prepared)", 512, { 480 } },
    { "blocks of 512", 512, { 512 } },
    { "blocks of 4096 (1024 prepared)", 1024, { 4096 } },
    { "irregular blocks (512 prepared)", 512, { 1, 17, 512, 3, 700, 64, 255, 1500, 128, 511, 2 } },
};

enum class Setting { defaults, quiteMaximal, hookedOnTelephonics, kelmorathenCalled, shortestSegments, longestGroups };
constexpr int numSettings = 6;

const char* nameOf (Setting setting)
{
    switch (setting)
    {
        case Setting::defaults: return "defaults";
        case Setting::quiteMaximal: return "Quite maximal";
        case Setting::hookedOnTelephonics: return "Hooked on telephonics";
        case Setting::kelmorathenCalled: return "Kelmorathen called";
        case Setting::shortestSegments: return "1 us segments in pairs, mix 120 %, Tone 0";
        case Setting::longestGroups: return "91 segments of 48 us, mix 120 %, Tone 100";
    }
    return "";
}

struct Case
{
    double rate;
    const BlockSchedule* schedule;
    Setting setting;
    bool parallel, stereo, bypass;

    std::string describe() const
    {
        return juce::String (rate).toStdString() + " Hz, " + schedule->name + ", " + nameOf (setting) + ", "
               + (parallel ? "Parallel" : "Series") + ", " + (stereo ? "stereo" : "mono") + (bypass ? ", bypassed first" : "");
    }
};

/** Every rate meets every block schedule. The other four factors are the
    digits of t = 5 (rate index + schedule index) mod 48 (setting: 6 values;
    route, channels, bypass: 2 each), which puts every pair of values of any
    two factors into at least one of the 78 cases. */
std::vector<Case> pairwiseCases()
{
    std::vector<Case> cases;
    for (int r = 0; r < (int) std::size (sampleRates); ++r)
        for (int s = 0; s < (int) std::size (schedules); ++s)
        {
            const int t = 5 * (r + s) % 48;
            cases.push_back ({ sampleRates[r], &schedules[s], (Setting) (t % numSettings), (t / 6) % 2 == 1, (t / 12) % 2 == 1,
                               (t / 24) % 2 == 1 });
        }
    return cases;
}

void setAllStages (PluginProcessor& processor, float nSegs, float segSize, float segMix)
{
    for (int s = 1; s <= numStages; ++s)
    {
        tandrel::test::setParameter (processor, juce::String (s) + "- N Segs", nSegs);
        tandrel::test::setParameter (processor, juce::String (s) + "- Seg Size", segSize);
        tandrel::test::setParameter (processor, juce::String (s) + "- Seg Mix", segMix);
    }
}

/** Nearly transparent, so that an impulse's peak marks the delay: the
    shortest segments (below one sample at every rate), a light blend, no shelf. */
void applyTransparentSettings (PluginProcessor& processor, bool parallel)
{
    setAllStages (processor, 31.0f, 1.0f, 1.0f);
    tandrel::test::setParameter (processor, "Tone", 100.0f);
    tandrel::test::setParameter (processor, "Mode", parallel ? 1.0f : 0.0f);
}

void applySetting (PluginProcessor& processor, Setting setting, bool parallel)
{
    const auto preset = [&] (const char* name)
    {
        for (const auto& row : getFactoryBankTable())
            if (juce::String (row.name) == name)
                applyFactoryPresetValues (processor.getModelTree(), row);
    };

    switch (setting)
    {
        case Setting::defaults:
            processor.resetToDefault();
            break;
        case Setting::quiteMaximal: preset ("Quite maximal"); break;
        case Setting::hookedOnTelephonics: preset ("Hooked on telephonics"); break;
        case Setting::kelmorathenCalled: preset ("Kelmorathen called"); break;
        case Setting::shortestSegments:
            setAllStages (processor, 2.0f, 1.0f, 120.0f);
            tandrel::test::setParameter (processor, "Tone", 0.0f);
            break;
        case Setting::longestGroups:
            setAllStages (processor, 91.0f, 48.0f, 120.0f);
            tandrel::test::setParameter (processor, "Tone", 100.0f);
            break;
    }
    tandrel::test::setParameter (processor, "Mode", parallel ? 1.0f : 0.0f);
}

/** The sum of the magnitudes of the tone shelf's impulse response, the most
    it can raise a signal's peak, at its largest over every tone. */
double shelfPeakGain (double rate)
{
    struct Probe : juce::qorv_dsp::HighShelfFilter<float>
    {
        explicit Probe (float r) { sampleRate = r; }
    } probe ((float) rate);

    double largest = 1.0; // tone 100: no shelf
    for (int tone = 0; tone < 100; ++tone)
    {
        probe.computeCoefficients (12300.0f, 0.9f, ToneFilter::toneToGain ((float) tone));
        const auto k = probe.getCoefficients();
        double s1 = 0.0, s2 = 0.0, sum = 0.0;
        for (int i = 0; i < 16384; ++i)
        {
            const double x = i == 0 ? 1.0 : 0.0;
            const double y = x * k[0] + s1;
            s1 = (x * k[1] - y * k[3]) + s2;
            s2 = x * k[2] - y * k[4];
            sum += std::abs (y);
        }
        if (! (sum <= largest)) // a response that never dies away sums to inf or NaN
            largest = sum;
    }
    return largest;
}

/** The most the output's peak can exceed the input's. One stage before its
    shelf: the 4-point Lagrange interpolation overshoots by at most 1.25 (the
    sum of its weights' magnitudes, largest half-way between samples), once
    where it samples the segments and once where it rebuilds the audio, and a
    mirrored pair with mix o <= 1.2 becomes (1 - o) a + o b, at most 1.4 times
    the larger: 1.25 * 1.4 * 1.25. The shelf adds its peak gain H. In Series
    the three stages multiply; in Parallel each stage's shelf also runs over
    what the earlier stages wrote, so the sum is stage * (H + H^2 + H^3). The
    dry line (bypass, all stages idle) passes the input unchanged. */
double growthBound (double H, bool parallel)
{
    const double stage = 1.25 * 1.4 * 1.25;
    return parallel ? stage * (H + H * H + H * H * H) : std::pow (stage * H, 3.0);
}

/** One case's run: an impulse with transparent settings (the delay), then
    noise with the case's setting, into which a block of 1e38 and later a
    block of NaN fall. Each bad block may disturb the output until it has
    passed through (the latency plus one block); bypassed cases return from
    bypass while the first bad block is still inside. */
struct CaseRun
{
    explicit CaseRun (const Case& c)
    {
        const auto& schedule = *c.schedule;
        tandrel::test::setMainLayout (processor, c.stereo ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::mono());
        applyTransparentSettings (processor, c.parallel);
        processor.setRateAndBufferSizeDetails (c.rate, schedule.prepared);
        processor.prepareToPlay (c.rate, schedule.prepared);
        reported = processor.getLatencySamples();

        // Block starts first; every event falls on one, as hosts change
        // parameters and hand over bad blocks between callbacks.
        const int longest = schedule.longest();
        const int room = impulseAt + 4 * reported + 10 * longest + 1000;
        for (int start = 0, k = 0; start < room; start += schedule.lengthOf (k++))
            starts.push_back (start);
        const auto startAtOrAfter = [this] (int t) { return *std::lower_bound (starts.begin(), starts.end(), t); };

        settingAt = startAtOrAfter (impulseAt + reported + longest + 64);
        for (auto& window : badBlocks)
        {
            const int previous = &window == &badBlocks[0] ? settingAt + reported / 2 : badBlocks[0].recovered + 64;
            window.from = startAtOrAfter (previous);
            window.to = startAtOrAfter (window.from + 10);
            window.recovered = window.to + reported + longest;
        }
        bypassedUntil = c.bypass ? startAtOrAfter (badBlocks[0].to + reported / 4) : 0;
        const int length = badBlocks[1].recovered + 2 * longest;

        const int channels = c.stereo ? 2 : 1;
        output = tandrel::test::makeNoise (channels, length, (juce::int64) c.rate);
        for (int ch = 0; ch < channels; ++ch)
            for (int t = 0; t < length; ++t)
                output.setSample (ch, t, t < settingAt ? (t == impulseAt ? 1.0f : 0.0f) : 0.6f * output.getSample (ch, t));
        inputPeak = output.getMagnitude (0, length);

        for (int ch = 0; ch < channels; ++ch)
        {
            for (int t = badBlocks[0].from; t < badBlocks[0].to; ++t)
                output.setSample (ch, t, t % 2 == 0 ? 1e38f : -1e38f);
            for (int t = badBlocks[1].from; t < badBlocks[1].to; ++t)
                output.setSample (ch, t, std::numeric_limits<float>::quiet_NaN());
        }

        // The host buffer is processed in place: input in, output out.
        juce::MidiBuffer midi;
        for (size_t k = 0; k < starts.size() && starts[k] < length; ++k)
        {
            const int start = starts[k];
            if (start == settingAt)
                applySetting (processor, c.setting, c.parallel);

            const int n = (k + 1 < starts.size() ? starts[k + 1] : length) - start;
            juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), channels, start, juce::jmin (n, length - start));
            if (start < bypassedUntil)
                processor.processBlockBypassed (block, midi);
            else
                processor.processBlock (block, midi);
        }
    }

    /** Where the impulse came out, as the host sees it. */
    int measuredDelay() const
    {
        const int last = output.getNumChannels() - 1;
        int peak = impulseAt;
        for (int t = impulseAt; t < settingAt; ++t)
            if (std::abs (output.getSample (last, t)) > std::abs (output.getSample (last, peak)))
                peak = t;
        return peak - impulseAt;
    }

    bool disturbedAt (int t) const
    {
        for (const auto& window : badBlocks)
            if (t >= window.from && t < window.recovered)
                return true;
        return false;
    }

    ::testing::AssertionResult finiteAndWithin (double bound) const
    {
        for (int ch = 0; ch < output.getNumChannels(); ++ch)
            for (int t = 0; t < output.getNumSamples(); ++t)
            {
                const float y = output.getSample (ch, t);
                if (! std::isfinite (y))
                    return ::testing::AssertionFailure() << "sample " << t << " of channel " << ch << " is " << y;
                if (! disturbedAt (t) && std::abs (y) > bound)
                    return ::testing::AssertionFailure() << "sample " << t << " of channel " << ch << " is " << y
                                                         << ", beyond the bound " << bound;
            }
        return ::testing::AssertionSuccess();
    }

    struct BadBlock { int from = 0, to = 0, recovered = 0; };

    tandrel::test::ScopedTempDir presets;
    PluginProcessor processor { presets.get() };
    int reported = 0;
    static constexpr int impulseAt = 100;
    std::vector<int> starts;
    int settingAt = 0, bypassedUntil = 0;
    std::array<BadBlock, 2> badBlocks;
    juce::AudioBuffer<float> output;
    float inputPeak = 0.0f; // of the audio, without the bad blocks
};
} // namespace

TEST (ConditionsMatrix, EveryConditionGivesFiniteBoundedTimelyOutputAndSurvivesBadBlocks)
{
    std::map<double, double> shelfPeakGains;
    for (const double rate : sampleRates)
    {
        shelfPeakGains[rate] = shelfPeakGain (rate);
        ASSERT_LT (shelfPeakGains[rate], 10.0) << "the shelf's impulse response dies away at " << rate << " Hz";
    }

    for (const auto& c : pairwiseCases())
    {
        SCOPED_TRACE (c.describe());
        const CaseRun run (c);

        EXPECT_EQ (run.measuredDelay(), run.reported);
        EXPECT_TRUE (run.finiteAndWithin (growthBound (shelfPeakGains[c.rate], c.parallel) * run.inputPeak));
        EXPECT_GT (run.output.getMagnitude (run.badBlocks[1].recovered, run.output.getNumSamples() - run.badBlocks[1].recovered), 0.01f)
            << "silent after the bad blocks";
    }
}
