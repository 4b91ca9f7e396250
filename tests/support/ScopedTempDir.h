#pragma once

#include <juce_core/juce_core.h>

namespace tandrel::test
{
/** A fresh folder under the system temp folder, removed with its contents on destruction. */
class ScopedTempDir
{
public:
    // Test executables run side by side: a unique name per folder keeps two
    // processes from picking the same "next free" name at the same moment. The
    // name leaves ASCII, as many users' own folders do (on Windows the temp
    // folder sits in the user's profile): every file a test touches sits under it.
    ScopedTempDir()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile (juce::String (juce::CharPointer_UTF8 ("tandrel-test-\xc3\xbc-")) + juce::Uuid().toString()))
    {
        folder.createDirectory();
    }

    ~ScopedTempDir() { folder.deleteRecursively(); }

    const juce::File& get() const noexcept { return folder; }
    juce::File operator[] (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

    ScopedTempDir (const ScopedTempDir&) = delete;
    ScopedTempDir& operator= (const ScopedTempDir&) = delete;

private:
    juce::File folder;
};
} // namespace tandrel::test
