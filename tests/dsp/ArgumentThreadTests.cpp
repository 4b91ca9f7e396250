#include <qorv_dsp/qorv_dsp.h>

#include <gtest/gtest.h>

#include <thread>

using namespace juce::qorv_dsp;

// One thread sets targets while another runs the audio side (fills and
// releases) and a third reserves the buffer as prepare would. Every value the
// audio side sees must be a value some ramp between the targets can take, and
// the argument must end on the last target. Run it under ThreadSanitizer too.
TEST (ArgumentThreads, SetterAndAudioSideHandOverWithoutTearing)
{
    PercentArg_v2<float> arg;
    arg.snapTo (0.0f);
    arg.resetSmoothing (44100.0f);
    arg.reserveBuffer (64);

    std::atomic<bool> done { false };
    std::atomic<int> badValues { 0 }, fills { 0 };

    std::thread audio ([&]
    {
        int blockSize = 1;
        while (! done.load())
        {
            const bool perSample = (blockSize & 1) != 0;
            const bool filled = perSample ? arg.rampPerSample (blockSize) : arg.rampToBlockEnd (blockSize);
            if (filled)
            {
                for (int j = 0; j <= arg.getLastIndex(); ++j)
                {
                    const float v = arg.getBuffer()[j];
                    if (! (v >= 0.0f && v <= 1.2f))
                        ++badValues;
                }
                arg.releaseBuffer();
                ++fills;
            }
            const float published = arg.getPublished();
            if (! (published >= 0.0f && published <= 1.2f))
                ++badValues;
            blockSize = blockSize % 64 + 1;
        }
    });

    std::thread preparer ([&]
    {
        for (int k = 0; ! done.load(); ++k)
        {
            arg.reserveBuffer (64 + k % 64);
            (void) arg.toString (1);
        }
    });

    float last = 0.0f;
    for (int k = 0; k < 3000; ++k)
    {
        last = (float) ((k * 37) % 121);
        arg.setTarget (last);
    }
    while (fills.load() < 100)
        std::this_thread::yield();
    done.store (true);
    audio.join();
    preparer.join();

    EXPECT_EQ (badValues.load(), 0);

    for (int guard = 0; arg.getRamp().remaining > 0 && guard < 10000; ++guard)
        if (arg.rampPerSample (64))
            arg.releaseBuffer();

    const auto ramp = arg.getRamp();
    EXPECT_EQ (ramp.remaining, 0);
    EXPECT_EQ (ramp.current, last);
    EXPECT_EQ (ramp.target, last);
    EXPECT_EQ (arg.getPublished(), last * 0.01f);
}
