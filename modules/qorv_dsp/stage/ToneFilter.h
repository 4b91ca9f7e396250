#pragma once

namespace juce::qorv_dsp
{

/** The stage's high shelf at 12300 Hz, Q 0.9, whose gain follows the tone
    control: gain = tone * 0.56 - 56 dB, so tone 100 is 0 dB (filter inactive)
    and tone 0 is -56 dB. A changed tone restarts the gain's 75 ms ramp. At
    sample rates where 12300 Hz is not safely below Nyquist (24.6 kHz and
    below) the shelf sits at 0.45 fs instead (HighShelfFilter). */
template <typename Sample>
template <typename FilterSample>
class TandrelStage<Sample>::ToneFilter : public HighShelfFilter<FilterSample>
{
public:
    static constexpr float shelfFrequency = 12300.0f, shelfQ = 0.9f;

    ToneFilter()
    {
        const FilterSample startGain = toneToGain (lastTone);
        this->gain.snapTo (startGain);
        this->frequency.snapTo ((FilterSample) shelfFrequency);
        this->q.snapTo ((FilterSample) shelfQ);
        this->cachedGain = startGain;
        this->cachedFrequency = (FilterSample) shelfFrequency;
        this->cachedQ = (FilterSample) shelfQ;
        this->computeCoefficients (this->cachedFrequency, this->cachedQ, this->cachedGain);
    }

    /** Maps a changed tone onto the gain target. Runs on the audio thread (and
        in prepare/reset), so it never waits for the gain's setter lock. */
    void updateFromControls() override
    {
        const float t = tone.value.load (std::memory_order_relaxed);
        if (t != lastTone)
        {
            lastTone = t;
            this->gain.setTargetWithoutWaiting (toneToGain (t));
        }
    }

    static FilterSample toneToGain (float t) noexcept { return (FilterSample) (t * 0.56f - 56.0f); }

    PlainFloatArg tone { 50.0f, "Presence", "%" };
    float lastTone = 50.0f;
};

} // namespace juce::qorv_dsp
