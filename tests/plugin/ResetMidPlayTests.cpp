// A reset, or a second prepare as a host's deactivate/activate makes, in the
// middle of playing clears everything the processor holds: afterwards it plays
// exactly like an instance that never played, in either mode.

#include "PluginProcessor.h"
#include "ParameterAccess.h"
#include "AudioCompare.h"
#include "Signals.h"

#include "BlockRunner.h"

#include <gtest/gtest.h>

TEST (ResetMidPlay, ResetOrPrepareAgainPlaysLikeAFreshInstance)
{
    enum class Restart { reset, prepareAgain };
    for (const float mode : { 0.0f, 1.0f })
    {
        for (const auto restart : { Restart::reset, Restart::prepareAgain })
        {
            SCOPED_TRACE (std::string (restart == Restart::reset ? "reset" : "prepare again") + ", mode " + std::to_string ((int) mode));
            PluginProcessor played (juce::File {}), fresh (juce::File {});
            for (auto* processor : { &played, &fresh })
            {
                tandrel::test::setParameter (*processor, "Mode", mode);
                tandrel::test::setParameter (*processor, "2- Seg Mix", 60.0f);
                tandrel::test::setParameter (*processor, "Tone", 30.0f);
                processor->prepareToPlay (48000.0, 512);
            }

            auto before = tandrel::test::makeNoise (2, 512 * 20, 3);
            tandrel::test::processInBlocks (played, before, 512);
            if (restart == Restart::reset)
                played.reset();
            else
                played.prepareToPlay (48000.0, 512);

            const auto input = tandrel::test::makeNoise (2, 512 * 20, 4);
            auto afterRestart = input, fromFresh = input;
            tandrel::test::processInBlocks (played, afterRestart, 512);
            tandrel::test::processInBlocks (fresh, fromFresh, 512);
            EXPECT_GT (afterRestart.getMagnitude (0, afterRestart.getNumSamples()), 0.1f);
            EXPECT_TRUE (tandrel::test::buffersMatch (afterRestart, fromFresh));
        }
    }
}
