#include "StateFileOption.h"

#include "StateBlob.h"

juce::String applyStateFile (PluginProcessor& processor, const juce::File& file)
{
    if (! file.existsAsFile())
        return "state file " + file.getFullPathName() + " does not exist";

    // A state is a few hundred bytes. Devices and pipes claim no size, so the
    // cap holds on what is read: one byte more than the largest blob shows
    // that the file is too large.
    constexpr auto maxBlobSize = StateBlob::headerSize + StateBlob::maxTextBytes + 1;
    juce::FileInputStream in (file);
    if (in.failedToOpen())
        return "cannot read state file " + file.getFullPathName();

    juce::MemoryBlock blob;
    in.readIntoMemoryBlock (blob, (ssize_t) maxBlobSize + 1);
    if (blob.getSize() > maxBlobSize)
        return "state file " + file.getFullPathName() + " is too large to be a plug-in state";

    const juce::ScopedLock hold (processor.getStateLock());
    if (! processor.setState (blob.getData(), (int) blob.getSize()))
        return "state file " + file.getFullPathName() + " is not a Tandrel plug-in state";

    return {};
}

juce::String saveStateFile (PluginProcessor& processor, const juce::File& file)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);

    if (! juce::qorv_gui::FileReplacement::replaceWithData (file, blob.getData(), blob.getSize()))
        return "cannot write state file " + file.getFullPathName();

    return {};
}

juce::String checkStateTarget (const juce::File& file)
{
    const auto prefix = "cannot write state file " + file.getFullPathName() + ": ";
    if (file.isDirectory())
        return prefix + "it is a folder";
    if (! file.getParentDirectory().isDirectory())
        return prefix + "the folder " + file.getParentDirectory().getFullPathName() + " does not exist";
    if (! file.getParentDirectory().hasWriteAccess())
        return prefix + "the folder is not writable";
    return {};
}
