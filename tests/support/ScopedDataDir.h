#pragma once

#include "ScopedTempDir.h"

#include <cstdlib>

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
        const char* current = std::getenv ("TANDREL_DATA_DIR");
        previous = current != nullptr ? current : "";
        setenv ("TANDREL_DATA_DIR", folder.get().getFullPathName().toRawUTF8(), 1);
    }

    ~ScopedDataDir() { setenv ("TANDREL_DATA_DIR", previous.toRawUTF8(), 1); }

    const juce::File& get() const noexcept { return folder.get(); }
    juce::File operator[] (const juce::String& relativePath) const { return folder[relativePath]; }

private:
    ScopedTempDir folder;
    juce::String previous;
};
} // namespace tandrel::test
