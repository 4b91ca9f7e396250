#pragma once

namespace juce::qorv_dsp
{

/** The whole effect: Stages stages run in "Series" (each reads what the
    previous one left in the block) or in parallel (summed), plus a dry line
    for blocks in which every stage is silent.

    Two lengths size the engine. The stage delay D is what each stage holds
    back: whatever the block size, a block leaves less than the longest group
    plus one segment and one sample unconsumed in a stage's input queue, so an
    output queue primed with D never runs short. The buffer length L (the
    prepared block size + D) is the capacity of the stages' queues, so that a
    whole block always fits beside what waits. Every route is aligned to one
    latency of 3D samples, the same at every block size:
    - Series: three stages of D each.
    - Parallel: the stages read the input delayed by 2D (a delay ring that
      runs every block in both modes), so each contribution is 3D late and the
      stages' queues stay continuous when they fall idle and come back. This
      also keeps a later stage from reading what an earlier one wrote when the
      host buffer is both input and output.
    - Dry line and bypass: a delay of 3D, drained every block so it keeps it. */
template <typename Sample, int Stages>
class TandrelMultistage : public Processor<Sample>
{
public:
    using typename Processor<Sample>::InputBlock;
    using typename Processor<Sample>::OutputBlock;
    using Stage = TandrelStage<Sample>;

    TandrelMultistage()
    {
        for (int s = 0; s < Stages; ++s)
            stages.push_back (std::unique_ptr<Stage> (new Stage()));
        mode.name = "Mode";
    }

    //==============================================================================
    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        channelCount = (int) spec.numChannels;
        maximumBlockSize = (int) spec.maximumBlockSize;

        stageDelay = stageDelayFor (this->sampleRate);
        bufferLength = maximumBlockSize + stageDelay;
        const float sr = this->sampleRate;
        segmentRingLength = (int) ((float) bufferLength / (sr * minimumSegmentLength)) + 3;

        delayedInput.setSize (juce::jmax (1, channelCount), juce::jmax (1, maximumBlockSize), false, true, false);

        for (auto& stage : stages)
            stage->prepareStage (spec, segmentRingLength);
    }

    void reset() override
    {
        const int D = stageDelay;
        segmentRing.resize (channelCount, segmentRingLength);
        dryLine.prime (channelCount, 3 * D + maximumBlockSize, 3 * D);
        parallelDelay.prime (channelCount, 2 * D + maximumBlockSize, 2 * D);

        for (auto& stage : stages)
            stage->resetStage (bufferLength, D);
    }

    void process (const InputBlock& input, const OutputBlock& output) override
    {
        forEachChunk (input, output, [this] (const InputBlock& in, const OutputBlock& out) { processChunk (in, out); });
    }

    /** The dry signal, delayed by the same latency as the effect. */
    void processBypassed (const InputBlock& input, const OutputBlock& output) override
    {
        forEachChunk (input, output, [this] (const InputBlock& in, const OutputBlock& out) { bypassChunk (in, out); });
    }

    //==============================================================================
    /** Parameter thread: stores the mode only when it changes. */
    void setModeIndex (float v) noexcept
    {
        if (! std::isfinite (v))
            return;
        const int index = (int) v;
        if (mode.index.load() != index)
            mode.index.store (index);
    }

    Stage& getStage (int s) noexcept { return *stages[(size_t) s]; }
    const Stage& getStage (int s) const noexcept { return *stages[(size_t) s]; }

    /** The delay of every route, valid after prepare: the same at every block size. */
    int getLatencySamples() const noexcept { return 3 * stageDelay; }
    /** The samples each stage holds back, valid after prepare. */
    int getStageDelay() const noexcept { return stageDelay; }
    /** The capacity of the stages' queues: the prepared block size more than the stage delay. */
    int getBufferLength() const noexcept { return bufferLength; }
    int getSegmentRingLength() const noexcept { return segmentRingLength; }
    bool isIdle (int s) const noexcept { return idle[(size_t) s]; }

    /** The stage delay at sampleRate: the longest group (maximumSegments
        segments of maximumSegmentLength) and 6 samples. A block cuts whole
        groups and consumes its input up to the last segment cut, so it can
        leave up to the longest group plus one segment and one sample
        unconsumed; from about 100 kHz on, where a segment spans more than 5
        samples, that outgrows the 6 samples, and the delay is one sample more
        than that bound instead, so that the output queue never runs short. */
    static int stageDelayFor (float sampleRate) noexcept
    {
        const int longestGroup = (int) ((float) maximumSegments * maximumSegmentLength * sampleRate);
        const int groupAndOneSegment = (int) ((float) (maximumSegments + 1) * maximumSegmentLength * sampleRate);
        return juce::jmax (6 + longestGroup, 2 + groupAndOneSegment);
    }

    ChoiceArg mode { getModeNames() };

private:
    /** The queues are sized for the prepared block size: a longer block runs
        as several, in both paths, so that nothing is lost or overwritten. */
    template <typename Step>
    void forEachChunk (const InputBlock& input, const OutputBlock& output, Step&& step)
    {
        const int n = (int) output.getNumSamples();
        if (n <= 0 || maximumBlockSize <= 0)
            return;

        for (int start = 0; start < n; start += maximumBlockSize)
        {
            const auto length = (size_t) juce::jmin (maximumBlockSize, n - start);
            step (input.getSubBlock ((size_t) start, length), output.getSubBlock ((size_t) start, length));
        }
    }

    /** One block of at most the prepared size through the stages. */
    void processChunk (const InputBlock& input, const OutputBlock& output)
    {
        const int n = (int) output.getNumSamples();
        const int Nc = channelCount;

        // Both delay lines take their input before anything writes the output,
        // which may be the same memory.
        for (int c = 0; c < Nc; ++c)
        {
            dryLine.push (c, input.getChannelPointer ((size_t) c), n);
            parallelDelay.passThrough (c, input.getChannelPointer ((size_t) c), delayedInput.getWritePointer (c), n);
        }

        int activeCount = 0;
        for (int s = 0; s < Stages; ++s)
        {
            stages[(size_t) s]->applyParkedChanges();
            if (stages[(size_t) s]->segmentMix.isSettledAt ((Sample) 0))
            {
                idle[(size_t) s] = true;
                continue;
            }
            ++activeCount;
            if (idle[(size_t) s])
                stages[(size_t) s]->toneFilter.resetLocked();
            idle[(size_t) s] = false;
        }

        const bool series = mode.getSelectedText() == getModeNames()[0];
        const bool anyActive = activeCount > 0;

        if (series)
            processSeries (input, output, n, anyActive);
        else
            processParallel (output, n, anyActive);

        for (int c = 0; c < Nc; ++c)
        {
            if (anyActive)
                dryLine.discard (c, n);
            else
                dryLine.read (c, output.getChannelPointer ((size_t) c), n, 1.0f, false);
        }
    }

    void bypassChunk (const InputBlock& input, const OutputBlock& output)
    {
        const int n = (int) output.getNumSamples();
        for (int c = 0; c < channelCount; ++c)
            dryLine.passThrough (c, input.getChannelPointer ((size_t) c), output.getChannelPointer ((size_t) c), n);
    }

    void processSeries (const InputBlock& input, const OutputBlock& output, int n, bool anyActive)
    {
        const auto channels = juce::jmin (input.getNumChannels(), output.getNumChannels());
        const auto samples = juce::jmin (input.getNumSamples(), output.getNumSamples());
        for (size_t c = 0; c < channels; ++c)
            if (input.getChannelPointer (c) != output.getChannelPointer (c))
                std::copy (input.getChannelPointer (c), input.getChannelPointer (c) + samples, output.getChannelPointer (c));

        const InputBlock chained (output);
        for (int s = 0; s < Stages; ++s)
            stages[(size_t) s]->processStage (chained, n, segmentRing, output, idle[(size_t) s] ? Sample (0) : Sample (1),
                                              anyActive ? StageRoute::replace : StageRoute::discard);
    }

    void processParallel (const OutputBlock& output, int n, bool anyActive)
    {
        const InputBlock delayed = InputBlock (delayedInput).getSubBlock (0, (size_t) n);
        bool allIdleSoFar = true;

        for (int s = 0; s < Stages; ++s)
        {
            const bool stageIdle = idle[(size_t) s];
            const Sample gain = anyActive && ! stageIdle ? Sample (1) : Sample (0);
            // Up to the first stage with output, each replaces what the block
            // holds; the stages after it add to it.
            const auto route = ! anyActive ? StageRoute::discard : allIdleSoFar ? StageRoute::replace : StageRoute::accumulate;
            stages[(size_t) s]->processStage (delayed, n, segmentRing, output, gain, route);
            allIdleSoFar = allIdleSoFar && stageIdle;
        }
    }

    static constexpr int maximumSegments = SegmentLimits::maximumSegments;
    static constexpr float maximumSegmentLength = SegmentLimits::maximumMicroseconds * SegmentLimits::secondsPerMicrosecond;
    static constexpr float minimumSegmentLength = SegmentLimits::minimumMicroseconds * SegmentLimits::secondsPerMicrosecond;
    int channelCount = 0;
    int maximumBlockSize = 0;
    int segmentRingLength = 0;
    int bufferLength = 0;
    int stageDelay = 0;
    MultiChannelRing segmentRing;
    MultiChannelRing dryLine;
    MultiChannelRing parallelDelay;
    juce::AudioBuffer<Sample> delayedInput;
    std::vector<std::unique_ptr<Stage>> stages;
    std::array<bool, (size_t) Stages> idle {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TandrelMultistage)
};

} // namespace juce::qorv_dsp
