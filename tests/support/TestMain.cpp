#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "Environment.h"

// Every test executable runs with JUCE's message machinery initialised on the
// main thread, which is therefore the message thread. The plug-in's user data
// folder is redirected into a temporary folder, so no test touches the real one.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // Unique per process: test executables run in parallel.
    const auto dataDir = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getChildFile ("tandrel-test-data-" + juce::Uuid().toString());
    dataDir.createDirectory();
    tandrel::test::setEnvironmentVariable ("TANDREL_DATA_DIR", dataDir.getFullPathName());

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    dataDir.deleteRecursively();
    return result;
}
