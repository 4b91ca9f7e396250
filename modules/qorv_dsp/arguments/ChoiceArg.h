#pragma once

namespace juce::qorv_dsp
{

/** An index into a fixed list of names, stored directly. */
struct ChoiceArg
{
    explicit ChoiceArg (const juce::StringArray& names = getModeNames(), juce::String argName = "Value", juce::String argUnit = {})
        : choices (names.begin(), names.end()), choiceCount ((int) choices.size()),
          name (std::move (argName)), unit (std::move (argUnit)) {}

    /** The selected name; empty for an index outside the list. Allocates
        nothing, so the audio thread may compare it every block. */
    const juce::String& getSelectedText() const noexcept
    {
        const int i = index.load (std::memory_order_relaxed);
        return juce::isPositiveAndBelow (i, choiceCount) ? choices[(size_t) i] : noChoice;
    }

    juce::String toString() const
    {
        juce::String text;
        if (name.isNotEmpty())
            text << name << ": ";
        return text << getSelectedText() << unit;
    }

    std::atomic<int> index { 0 };
    const std::vector<juce::String> choices;
    const int choiceCount;
    juce::String name;
    juce::String unit;

private:
    const juce::String noChoice;
};

} // namespace juce::qorv_dsp
