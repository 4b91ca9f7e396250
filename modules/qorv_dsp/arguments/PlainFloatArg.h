#pragma once

namespace juce::qorv_dsp
{

/** A float stored directly: the parameter thread stores it, the audio thread
    reads it once per block. Its text always has one decimal. */
struct PlainFloatArg
{
    explicit PlainFloatArg (float initial = 0.0f, juce::String argName = "Value", juce::String argUnit = {})
        : value (initial), name (std::move (argName)), unit (std::move (argUnit)) {}

    juce::String toString() const
    {
        std::ostringstream number;
        number << std::fixed << std::setprecision (1) << value.load (std::memory_order_relaxed);

        juce::String text;
        if (name.isNotEmpty())
            text << name << ": ";
        return text << juce::String (number.str()) << unit;
    }

    std::atomic<float> value;
    juce::String name;
    juce::String unit;
};

} // namespace juce::qorv_dsp
