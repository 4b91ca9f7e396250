#include "StageRig.h"

#include "AllocationCounter.h"
#include "SegmentPaths.h"
#include "Signals.h"

#include <gtest/gtest.h>

// After prepare, nothing the audio thread calls may touch the heap.
TEST (AudioThreadAllocation, FillsRingsFiltersAndStagesAllocateNothingAfterPrepare)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the allocation counter is off in sanitizer builds";
#else
    using namespace tandrel::test;

    juce::qorv_dsp::PercentArg_v2<float> mix;
    mix.reserveBuffer (512);
    juce::qorv_dsp::MultiChannelRing ring;
    ring.prime (2, 1024, 300);
    Stage::ToneFilter<float> filter;
    filter.prepareLocked ({ 44100.0, 512, 2 });
    StageRig rig (44100.0, 2, 512);
    rig.stage.setSegmentSize (1.0f);
    rig.stage.setNumberOfSegments (91.0f);
    rig.start();
    Multistage engine;
    engine.prepareLocked ({ 44100.0, 512, 2 });

    auto audio = makeNoise (2, 512);
    juce::dsp::AudioBlock<float> block (audio);
    mix.setTarget (50.0f);
    filter.tone.value = 20.0f;
    rig.stage.setSegmentMix (30.0f);
    engine.getStage (2).setSegmentMix (70.0f);

    ScopedAllocationCounter counter;
    for (int k = 0; k < 20; ++k)
    {
        if (mix.rampPerSample (512)) mix.releaseBuffer();
        if (mix.rampToBlockEnd (512)) mix.releaseBuffer();
        if (mix.rampFromBlockStart (512)) mix.releaseBuffer();

        ring.push (0, audio.getReadPointer (0), 512);
        ring.push (1, audio.getReadPointer (1), 512);
        ring.read (0, audio.getWritePointer (0), 512, 0.5f, true);
        ring.read (1, audio.getWritePointer (1), 512, 1.0f, false);
        ring.offer (0, 1.0f);
        ring.discard (0, 1);
        ring.passThrough (1, audio.getReadPointer (1), audio.getWritePointer (1), 512);

        filter.updateCoefficients (512);
        filter.processChannel (0, audio.getWritePointer (0), 512);
        filter.processChannelPair (0, audio.getWritePointer (0), audio.getWritePointer (1), 512);

        rig.stage.processStage (block, 512, rig.segments, block, 1.0f, juce::qorv_dsp::StageRoute::replace);
        engine.process (block, block);
        engine.setModeIndex ((float) (k % 2));
    }
    EXPECT_EQ (counter.allocations(), 0u);
#endif
}

// Every instruction-set path works in scratch sized at prepare: blending,
// swapping, ramping mixes and segment sizes from 1 to 48 us.
TEST (AudioThreadAllocation, StagesAllocateNothingOnAnyPath)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the allocation counter is off in sanitizer builds";
#else
    using namespace tandrel::test;

    for (const auto path : availableSegmentPaths())
    {
        const ScopedSegmentPath forced (path);
        Multistage engine;
        for (int s = 0; s < 3; ++s)
        {
            engine.getStage (s).setNumberOfSegments (s == 0 ? 91.0f : 7.0f);
            engine.getStage (s).setSegmentSize (s == 0 ? 1.0f : 48.0f);
        }
        engine.prepareLocked ({ 48000.0, 512, 2 });

        auto audio = makeNoise (2, 512);
        juce::dsp::AudioBlock<float> block (audio);

        ScopedAllocationCounter counter;
        for (int k = 0; k < 24; ++k)
        {
            for (int s = 0; s < 3; ++s)
            {
                engine.getStage (s).setSegmentMix ((float) ((k * 37 + s * 50) % 121));
                engine.getStage (s).setSegmentSize ((float) (1 + (k * 7 + s * 13) % 48));
            }
            engine.setModeIndex ((float) (k % 2));
            engine.process (block, block);
        }
        EXPECT_EQ (counter.allocations(), 0u) << nameOf (path);
    }
#endif
}
