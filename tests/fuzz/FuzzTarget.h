#pragma once

// The libFuzzer side of a target: JUCE's message machinery on the fuzzing
// thread (which thereby is the message thread, as in a host), one world for
// the whole run, and a violated check turned into a crash libFuzzer records.

#include "FuzzEntries.h"

#include <cstdio>
#include <cstdlib>

namespace tandrel::fuzz
{
/** A temporary folder named as the user data folder, so that nothing the
    fuzzed code does can reach the real one. */
struct TempDataFolder
{
    TempDataFolder()
    {
        folder.createDirectory();
        setenv (juce::qorv_gui::DataFolder::overrideVariable, folder.getFullPathName().toRawUTF8(), 1);
    }

    ~TempDataFolder() { folder.deleteRecursively (false); }

    juce::File folder { juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("tandrel-fuzz-data-" + juce::Uuid().toString()) };
};

struct FuzzSession
{
    TempDataFolder dataFolder;
    juce::ScopedJuceInitialiser_GUI juce;
    FuzzWorld world;
};

/** Built on first use, torn down (scratch folder removed) when the run exits. */
inline FuzzWorld& getWorld()
{
    static FuzzSession session;
    return session.world;
}

inline int report (const std::string& failure)
{
    if (! failure.empty())
    {
        std::fprintf (stderr, "check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
} // namespace tandrel::fuzz

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    tandrel::fuzz::getWorld();
    return 0;
}
