#include "StateFileOption.h"

juce::String applyStateFile (PluginProcessor& processor, const juce::File& file)
{
    if (! file.existsAsFile())
        return "state file " + file.getFullPathName() + " does not exist";

    // A state is a few hundred bytes; refuse to pull anything huge into memory.
    constexpr juce::int64 maxStateFileSize = 16 * 1024 * 1024;
    if (file.getSize() > maxStateFileSize)
        return "state file " + file.getFullPathName() + " is too large to be a plug-in state";

    juce::MemoryBlock blob;
    if (! file.loadFileAsData (blob))
        return "cannot read state file " + file.getFullPathName();

    const juce::ScopedLock hold (processor.getStateLock());
    if (! processor.setState (blob.getData(), (int) blob.getSize()))
        return "state file " + file.getFullPathName() + " is not a Tandrel plug-in state";

    return {};
}

juce::String saveStateFile (PluginProcessor& processor, const juce::File& file)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);

    if (! file.replaceWithData (blob.getData(), blob.getSize()))
        return "cannot write state file " + file.getFullPathName();

    return {};
}
