#include "StageGroup.h"

#include "BandSpectrum.h"
#include "Engine.h"

namespace
{
using Stage = Engine::Stage;

constexpr int blockSize = 256;
constexpr int blocks = 4;

struct StageRun
{
    juce::Array<juce::var> segments; // the first group, as the stage left it after mirroring
    juce::Array<juce::var> rebuilt;  // output aligned with the input
};

/** A stage set up the way the engine sets its stages up, mix and shape settled
    and the shelf at 0 dB, fed from offset on in blocks from a fresh reset. */
StageRun runStage (const float* input, double sampleRate, const StageGroupSettings& settings, float mix, int window)
{
    // The engine sizes its stages' queues and the shared segment ring.
    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) blockSize, 1 };
    Engine sizes;
    sizes.prepareLocked (spec);
    const int D = sizes.getStageDelay(), L = sizes.getBufferLength(), S = sizes.getSegmentRingLength();

    Stage stage;
    stage.prepareStage (spec, S);
    stage.setNumberOfSegments ((float) settings.segments);
    stage.setSegmentSize (settings.microseconds);
    stage.setSegmentMix (mix);
    stage.setTone (100.0f);
    stage.toneFilter.updateFromControls();
    stage.resetStage (L, D); // settles every ramp on its target

    juce::qorv_dsp::MultiChannelRing segmentRing;
    segmentRing.resize (1, S);

    StageRun run;
    juce::AudioBuffer<float> in (1, blockSize), out (1, blockSize);
    std::vector<float> output;

    for (int b = 0; b < blocks; ++b)
    {
        in.copyFrom (0, 0, input + b * blockSize, blockSize);
        out.clear();
        stage.processStage (juce::dsp::AudioBlock<const float> (in), blockSize, segmentRing, juce::dsp::AudioBlock<float> (out),
                            1.0f, juce::qorv_dsp::StageRoute::replace);

        if (b == 0)
        {
            // The block's K segments are the newest K entries of the ring; its
            // first group is the oldest N of them.
            const float w = stage.getSegmentLength() * (float) sampleRate;
            const int N = settings.segments;
            const int K = ((int) ((float) (blockSize - 1) / w) / N) * N;
            for (int m = 0; m < N; ++m)
                run.segments.add (BandSpectrum::rounded (segmentRing.sampleBefore (0, K - 1 - m) * 1.0e4) / 1.0e4);
        }
        output.insert (output.end(), out.getReadPointer (0), out.getReadPointer (0) + blockSize);
    }

    for (int t = 0; t < window; ++t)
        run.rebuilt.add (BandSpectrum::rounded (output[(size_t) (t + D)] * 1.0e4) / 1.0e4);
    return run;
}

juce::var rounded4 (float v)
{
    return BandSpectrum::rounded ((double) v * 1.0e4) / 1.0e4;
}
} // namespace

juce::var captureStageGroup (const juce::AudioBuffer<float>& signal, double sampleRate, const StageGroupSettings& settings)
{
    jassert (settings.offset + blocks * blockSize <= signal.getNumSamples());
    const float* input = signal.getReadPointer (0) + settings.offset;

    const float w = settings.microseconds * 1.0e-6f * (float) sampleRate;
    // From the group's first segment to its last.
    const int window = (int) ((float) (settings.segments - 1) * w) + 1;

    auto* root = new juce::DynamicObject();
    root->setProperty ("sampleRate", sampleRate);
    root->setProperty ("segments", settings.segments);
    root->setProperty ("microseconds", settings.microseconds);
    root->setProperty ("samplesPerSegment", rounded4 (w));
    root->setProperty ("offset", settings.offset);

    juce::Array<juce::var> inputSamples, positions;
    for (int t = 0; t < window; ++t)
        inputSamples.add (rounded4 (input[t]));
    for (int k = 0; k < settings.segments; ++k)
        positions.add (rounded4 ((float) k * w));
    root->setProperty ("input", inputSamples);
    root->setProperty ("segmentPositions", positions);

    juce::Array<juce::var> pairs;
    for (int j = 0; j < settings.segments / 2; j += 2)
        pairs.add (juce::Array<juce::var> { j, settings.segments - 1 - j });
    root->setProperty ("movedPairs", pairs);

    juce::Array<juce::var> runs;
    for (const float mix : settings.mixes)
    {
        const auto run = runStage (input, sampleRate, settings, mix, window);
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("mix", mix);
        entry->setProperty ("segments", run.segments);
        entry->setProperty ("rebuilt", run.rebuilt);
        runs.add (juce::var (entry));
    }
    root->setProperty ("runs", runs);
    return juce::var (root);
}
