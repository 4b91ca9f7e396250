#pragma once

namespace juce::qorv_dsp
{

/** A linear glide in user units. Invariant: remaining == 0 implies
    current == target, because a ramp always ends by assigning the target and
    never relies on the accumulated steps landing on it. */
struct Ramp
{
    /** How long every smoothed argument glides, and the rate it assumes
        until its owner is prepared. */
    static constexpr float glideTime = 0.075f, initialSampleRate = 44100.0f;

    /** trunc(rate * time + 1), in float. */
    static constexpr int lengthFor (float rate, float time) noexcept { return (int) (rate * time + 1.0f); }

    float current = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    float rampTime = glideTime;
    float rampSampleRate = initialSampleRate;
    int rampLength = lengthFor (initialSampleRate, glideTime);
    int remaining = 0;

    /** Stores a new rate and/or time (length = trunc(rate * time + 1), in float)
        and ends a running ramp at its target. Returns true if a ramp was running. */
    bool setRate (float sampleRate, float time) noexcept
    {
        bool changed = false;
        if (sampleRate != rampSampleRate) { rampSampleRate = sampleRate; changed = true; }
        if (time != rampTime)             { rampTime = time;             changed = true; }
        if (changed)
            rampLength = lengthFor (rampSampleRate, rampTime);

        if (remaining > 0)
        {
            current = target;
            remaining = 0;
            return true;
        }
        return false;
    }

    /** One sample of the glide; the last step lands exactly on the target. */
    void advance() noexcept
    {
        remaining -= 1;
        current += step;
        if (remaining <= 0)
            current = target;
    }
};

} // namespace juce::qorv_dsp
