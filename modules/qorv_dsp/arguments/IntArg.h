#pragma once

namespace juce::qorv_dsp
{

/** A whole number stored directly: the parameter thread stores it, the audio
    thread reads it once per block. */
struct IntArg
{
    explicit IntArg (int initial = 0, juce::String argName = "Value", juce::String argUnit = {})
        : value (initial), name (std::move (argName)), unit (std::move (argUnit)) {}

    juce::String toString() const
    {
        juce::String text;
        if (name.isNotEmpty())
            text << name << ": ";
        return text << juce::String (value.load (std::memory_order_relaxed)) << unit;
    }

    std::atomic<int> value;
    juce::String name;
    juce::String unit;
};

} // namespace juce::qorv_dsp
