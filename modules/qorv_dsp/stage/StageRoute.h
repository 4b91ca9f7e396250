// Handing a stage's block out: the routes into the output block, then the tone filter.
#pragma once

namespace juce::qorv_dsp
{

/** Where a stage hands out its block: what its output samples do to the
    output block, before the stage's tone filter runs over that block. */
enum class StageRoute
{
    replace,    // the output block is overwritten with them times gain, or times 1 when gain is 0
    accumulate, // they are added times gain, or dropped when gain is 0
    discard     // they are dropped, and the output block and the tone filter are left untouched
};

/** Hands n samples of every channel out of outputRing by route, then runs
    toneFilter over whatever the output block holds (also what earlier stages
    wrote or added there), unless the route discards. A shortfall of the ring
    reads as zeros. */
template <typename Sample, typename Filter>
void handOutBlock (MultiChannelRing& outputRing, Filter& toneFilter, int channelCount, int n,
                   const juce::dsp::AudioBlock<Sample>& output, Sample gain, StageRoute route)
{
    const int Nc = channelCount;

    if (route == StageRoute::discard)
    {
        for (int c = 0; c < Nc; ++c)
            outputRing.discard (c, n);
        return;
    }

    if (route == StageRoute::replace)
    {
        const Sample g = gain > Sample (0) ? gain : Sample (1);
        for (int c = 0; c < Nc; ++c)
            outputRing.read (c, output.getChannelPointer ((size_t) c), n, g, false);
    }
    else if (gain > Sample (0))
    {
        for (int c = 0; c < Nc; ++c)
            outputRing.read (c, output.getChannelPointer ((size_t) c), n, gain, true);
    }
    else
    {
        for (int c = 0; c < Nc; ++c)
            outputRing.discard (c, n);
    }

    toneFilter.updateCoefficients (n);
    if (toneFilter.isActive())
    {
        int c = 0;
        for (; c + 1 < Nc; c += 2)
            toneFilter.processChannelPair (c, output.getChannelPointer ((size_t) c), output.getChannelPointer ((size_t) c + 1), n);
        if (c < Nc)
            toneFilter.processChannel (c, output.getChannelPointer ((size_t) c), n);
    }
}

} // namespace juce::qorv_dsp
