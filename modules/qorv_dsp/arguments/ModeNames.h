#pragma once

namespace juce::qorv_dsp
{

/** The program's one list of stage-ordering names, shared by the "Mode"
    parameter and the engine's mode argument. The engine routes in series only
    when the selected name is exactly "Series". */
inline const juce::StringArray& getModeNames()
{
    static const juce::StringArray names { "Series", "Parallel" };
    return names;
}

} // namespace juce::qorv_dsp
