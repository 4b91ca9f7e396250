#pragma once

#include "Environment.h"
#include "ScopedTempDir.h"

namespace tandrel::test
{
/** Points TANDREL_DATA_DIR at a fresh temporary folder while it lives and then
    restores the previous value: processors built and tools started meanwhile
    find their user presets there, and only there. */
class ScopedDataDir
{
public:
    ScopedDataDir()
    {
        previous = juce::SystemStats::getEnvironmentVariable ("TANDREL_DATA_DIR", {});
        setEnvironmentVariable ("TANDREL_DATA_DIR", folder.get().getFullPathName());
    }

    ~ScopedDataDir() { setEnvironmentVariable ("TANDREL_DATA_DIR", previous); }

    const juce::File& get() const noexcept { return folder.get(); }
    juce::File operator[] (const juce::String& relativePath) const { return folder[relativePath]; }

private:
    ScopedTempDir folder;
    juce::String previous;
};
} // namespace tandrel::test
