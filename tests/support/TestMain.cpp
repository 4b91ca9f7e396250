#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// Every test executable runs with JUCE's message machinery initialised on the
// main thread, which is therefore the message thread.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
