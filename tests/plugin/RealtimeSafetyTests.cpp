// The audio callback, driven the way a host drives it, never touches the heap
// and never waits (no lock, sleep, yield or wait of any kind) and never enters
// the preset/state lock: every parameter automated in every block, mode
// switches, stages going idle and active, bypass on and off and the reset
// after it, host resets, with the editor open and its labels refreshing, with
// preset loads and state restores on other threads, over the supported sample
// rates and block sizes, fixed and varying.

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "RealtimeGuard.h"
#include "Signals.h"

#include <gtest/gtest.h>

#if defined(__linux__)
 #include <linux/futex.h>
 #include <pthread.h>
 #include <sys/syscall.h>
 #include <time.h>
 #include <unistd.h>
#endif

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace
{
/** Block lengths of a varying run (prepared for 512): tiny, odd, the maximum and
    one longer than announced, which the processor splits. */
constexpr int varyingLengths[] = { 1, 17, 512, 3, 64, 255, 700, 128, 511, 2 };
constexpr int varyingMaximum = 512;

struct Schedule
{
    int blockSize = 0; // 0: the varying lengths above
    int numBlocks() const { return blockSize == 0 ? 240 : juce::jmax (24, 4096 / blockSize); }
    int maximum() const { return blockSize == 0 ? varyingMaximum : blockSize; }
    int lengthOf (int block) const
    {
        return blockSize == 0 ? varyingLengths[(size_t) block % std::size (varyingLengths)] : blockSize;
    }
};

/** What the host sets before block k: every parameter a new value (Mode flips
    every third block), each stage's mix at 0 (idle) in a rotating third of the
    blocks, every fifth block bypassed and a reset from the host before every
    seventh. */
struct HostAutomation
{
    explicit HostAutomation (PluginProcessor& processor)
    {
        for (const auto& id : getParameterIdsInOrder())
            parameters.push_back ({ processor.getModelTree().getParameter (id), parseParameterId (id) });
    }

    void apply (int block)
    {
        for (auto& [parameter, parsed] : parameters)
        {
            float value = random.nextFloat();
            if (parsed.kind == ParamKind::mode)
                value = (float) ((block / 3) % 2);
            else if (parsed.kind == ParamKind::segMix && (block / 2 + parsed.stage) % 3 == 0)
                value = 0.0f;

            tandrel::test::deliverHostAutomation (*parameter, value);
        }
    }

    static bool bypassed (int block) { return block % 5 == 4; }
    static bool hostResets (int block) { return block % 7 == 3; }

    std::vector<std::pair<juce::RangedAudioParameter*, ParsedParameterId>> parameters;
    juce::Random random { 99 };
};

/** Runs the schedule on its own audio thread, each callback guarded, while
    the calling thread runs whileWaiting until the audio thread is done; returns
    the first offence, or an empty string. */
template <typename WhileWaiting>
std::string runAudioThread (PluginProcessor& processor, const Schedule& schedule, WhileWaiting&& whileWaiting)
{
    std::string offence;
    std::atomic<bool> done { false };
    std::thread audio ([&]
                       {
                           HostAutomation automation (processor); // built before the guarded callbacks
                           auto signal = tandrel::test::makeNoise (2, schedule.maximum() * 2);
                           juce::MidiBuffer midi;

                           for (int k = 0; k < schedule.numBlocks() && offence.empty(); ++k)
                           {
                               juce::AudioBuffer<float> block (signal.getArrayOfWritePointers(), 2, 0, schedule.lengthOf (k));
                               offence = tandrel::test::runAsAudioCallback ([&]
                                                                            {
                                                                                automation.apply (k);
                                                                                if (HostAutomation::hostResets (k))
                                                                                    processor.reset();
                                                                                if (HostAutomation::bypassed (k))
                                                                                    processor.processBlockBypassed (block, midi);
                                                                                else
                                                                                    processor.processBlock (block, midi);
                                                                            });
                               if (! offence.empty())
                                   offence = "block " + std::to_string (k) + ": " + offence;
                           }
                           done = true;
                       });

    whileWaiting (done);
    audio.join();
    return offence;
}

void pumpMessagesUntil (const std::atomic<bool>& done)
{
    while (! done)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
}

void expectLabelsShowTheEngine (PluginProcessor& processor, PluginEditor& editor)
{
    auto& controls = editor.getControls();
    auto labelsMatch = [&]
    {
        bool match = controls.modeSuite.getLabel().getText() == engineValueText (processor.getEngine(), { ParamKind::mode, -1 })
                     && controls.toneSuite.getLabel().getText() == engineValueText (processor.getEngine(), { ParamKind::tone, -1 });
        for (int stage = 1; stage <= numStages; ++stage)
            for (auto kind : { ParamKind::nSegs, ParamKind::segSize, ParamKind::segMix })
                match = match
                        && controls.stageControls[stage - 1]->getSliderSuite (kind).getLabel().getText()
                               == engineValueText (processor.getEngine(), { kind, stage });
        return match;
    };

    for (int i = 0; i < 100 && ! labelsMatch(); ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    EXPECT_TRUE (labelsMatch()) << "the labels did not catch up with automation from the audio thread";
}
} // namespace

// Under sanitizers the guard cannot see the heap (nor, under ThreadSanitizer,
// the blocking calls), but the run still races the audio thread against the
// editor's label refreshes for ThreadSanitizer.
TEST (RealtimeSafety, AudioCallbackNeitherAllocatesNorWaitsAtAnyRateAndBlockSize)
{
    const Schedule schedules[] = { { 1 }, { 17 }, { 64 }, { 512 }, { 4096 }, { 0 } };

    for (const double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        PluginProcessor processor (juce::File {});
        std::unique_ptr<PluginEditor> editor (static_cast<PluginEditor*> (processor.createEditor()));

        for (const auto& schedule : schedules)
        {
            SCOPED_TRACE ("rate " + std::to_string ((int) rate) + ", block size "
                          + (schedule.blockSize == 0 ? std::string ("varying") : std::to_string (schedule.blockSize)));
            processor.setRateAndBufferSizeDetails (rate, schedule.maximum());
            processor.prepareToPlay (rate, schedule.maximum());

            // The message thread serves the editor meanwhile: its labels refresh.
            ASSERT_EQ (runAudioThread (processor, schedule, pumpMessagesUntil), "");
        }

        expectLabelsShowTheEngine (processor, *editor);
    }
}

// Preset loads on the message thread and state restores on a host thread change
// every parameter while the host automates them on the audio thread: the
// setters meet on the arguments' setter locks, and the audio side must never
// wait for them.
TEST (RealtimeSafety, AudioCallbackNeverWaitsWhilePresetsAndStatesLoadElsewhere)
{
    PluginProcessor processor (juce::File {});
    std::unique_ptr<PluginEditor> editor (static_cast<PluginEditor*> (processor.createEditor()));
    processor.setRateAndBufferSizeDetails (48000.0, varyingMaximum);
    processor.prepareToPlay (48000.0, varyingMaximum);

    std::vector<int> factoryIds;
    for (const auto& [id, preset] : processor.getPresetManager().getFactoryPresets())
        factoryIds.push_back (id);
    ASSERT_FALSE (factoryIds.empty());

    std::vector<juce::MemoryBlock> states;
    for (const int id : { factoryIds.front(), factoryIds.back() })
    {
        processor.getPresetManager().selectPreset (id);
        processor.getStateInformation (states.emplace_back());
    }

    std::atomic<bool> hostDone { false };
    std::atomic<int> restores { 0 };
    std::thread host ([&]
                      {
                          for (size_t k = 0; ! hostDone.load(); ++k, ++restores)
                              processor.setStateInformation (states[k % states.size()].getData(),
                                                             (int) states[k % states.size()].getSize());
                      });

    // On a loaded machine the host thread may not get a turn during one run of
    // the schedule: runs repeat until one had restores and loads beside it.
    std::string offence;
    int restoresBeside = 0, loadsBeside = 0;
    for (int run = 0; run < 50 && offence.empty() && (restoresBeside == 0 || loadsBeside == 0); ++run)
    {
        const int restoresBefore = restores.load();
        loadsBeside = 0;
        offence = runAudioThread (processor, Schedule { 0 }, [&] (const std::atomic<bool>& done)
                                  {
                                      for (size_t k = 0; ! done; ++k, ++loadsBeside)
                                      {
                                          processor.getPresetManager().selectPreset (factoryIds[k % factoryIds.size()]);
                                          juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
                                      }
                                  });
        restoresBeside = restores.load() - restoresBefore;
    }
    hostDone = true;
    host.join();

    EXPECT_EQ (offence, "");
    EXPECT_GT (restoresBeside, 0);
    EXPECT_GT (loadsBeside, 0);
    expectLabelsShowTheEngine (processor, *editor);
}

// The guard itself: it must catch what it is there to catch, on the marked
// thread only, and report the first offender with its call stack.
TEST (RealtimeSafety, GuardReportsTheFirstHeapCallOnTheMarkedThreadOnly)
{
    if (! tandrel::test::RealtimeGuard::watchesHeap())
        GTEST_SKIP() << "sanitizers replace the allocator the guard watches";

    using tandrel::test::runAsAudioCallback;
    EXPECT_EQ (runAsAudioCallback ([] {}), "");

    const auto allocation = runAsAudioCallback ([] { delete new juce::String ("x"); });
    EXPECT_EQ (allocation.rfind ("allocation of " + std::to_string (sizeof (juce::String)) + " bytes", 0), 0u) << allocation;
    EXPECT_NE (allocation.find ("RealtimeSafety"), std::string::npos) << "no call stack naming the test:\n" << allocation;

    // Why label refreshes from the audio thread raise flags instead of posting.
    EXPECT_EQ (runAsAudioCallback ([] { juce::MessageManager::callAsync ([] {}); }).rfind ("allocation", 0), 0u);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

    auto kept = juce::String::repeatedString ("ab", 40);
    EXPECT_EQ (runAsAudioCallback ([&] { kept = {}; }).rfind ("deallocation", 0), 0u);

    // Another thread allocates while this one is marked (started and joined
    // outside the guarded section, as creating a thread allocates).
    std::atomic<int> step { 0 };
    std::string fromOtherThread;
    std::thread other ([&]
                       {
                           while (step.load() == 0) {}
                           fromOtherThread.assign (100, 'x');
                           step = 2;
                       });
    const auto unmarked = runAsAudioCallback ([&]
                                              {
                                                  step = 1;
                                                  while (step.load() != 2) {}
                                              });
    other.join();
    EXPECT_EQ (fromOtherThread.size(), 100u);
    EXPECT_EQ (unmarked, "");
}

// Every kind of call that can block or sleep is reported with the call's name
// and a stack naming its caller; what the framework does on its own while it
// delivers a host's parameter change is let pass, the same call made by code
// it calls, or by the test directly, is not.
TEST (RealtimeSafety, GuardReportsEveryBlockingCallOfOurs)
{
    if (! tandrel::test::RealtimeGuard::watchesBlockingCalls())
        GTEST_SKIP() << "blocking calls are watched on Linux, outside ThreadSanitizer, which intercepts them itself";
#if defined(__linux__)

    using tandrel::test::runAsAudioCallback;
    std::mutex mutex;
    juce::CriticalSection criticalSection;
    pthread_mutex_t heldMutex;
    pthread_cond_t condition;
    pthread_mutex_init (&heldMutex, nullptr);
    pthread_cond_init (&condition, nullptr);
    int futexWord = 0;
    const timespec zero {}, past {};

    const std::pair<const char*, std::function<void()>> rows[] = {
        { "nanosleep", [] { juce::Thread::sleep (0); } },
        { "usleep", [] { usleep (0); } },
        { "clock_nanosleep", [&] { clock_nanosleep (CLOCK_MONOTONIC, 0, &zero, nullptr); } },
        { "sched_yield", [] { std::this_thread::yield(); } },
        { "pthread_mutex_lock", [&] { const std::lock_guard<std::mutex> hold (mutex); } },
        { "pthread_mutex_lock", [&] { const juce::ScopedLock hold (criticalSection); } },
        { "pthread_cond_timedwait", [&] { pthread_cond_timedwait (&condition, &heldMutex, &past); } },
        { "futex wait", [&] { syscall (SYS_futex, &futexWord, FUTEX_WAIT_PRIVATE, 1, nullptr, nullptr, 0); } },
    };

    pthread_mutex_lock (&heldMutex);
    for (const auto& [function, call] : rows)
    {
        const auto report = runAsAudioCallback (call);
        EXPECT_EQ (report.rfind (std::string ("blocking call ") + function + " on the audio thread", 0), 0u) << report;
        EXPECT_NE (report.find ("RealtimeSafety"), std::string::npos) << "no call stack naming the test:\n" << report;
    }
    pthread_mutex_unlock (&heldMutex);
    pthread_cond_destroy (&condition);
    pthread_mutex_destroy (&heldMutex);

    struct Listener : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int, float) override
        {
            if (lock != nullptr)
                const std::lock_guard<std::mutex> hold (*lock);
        }
        void parameterGestureChanged (int, bool) override {}
        std::mutex* lock = nullptr;
    };
    juce::AudioParameterFloat parameter ("p", "P", 0.0f, 1.0f, 0.5f);
    Listener listener;
    parameter.addListener (&listener);

    EXPECT_EQ (runAsAudioCallback ([&] { tandrel::test::deliverHostAutomation (parameter, 0.25f); }), "")
        << "the framework's own listener lock is not ours to avoid";
    EXPECT_EQ (runAsAudioCallback ([&] { parameter.sendValueChangedMessageToListeners (0.3f); }).rfind ("blocking call", 0), 0u)
        << "the same lock taken on our own behalf is reported";

    listener.lock = &mutex;
    const auto report = runAsAudioCallback ([&] { tandrel::test::deliverHostAutomation (parameter, 0.75f); });
    EXPECT_EQ (report.rfind ("blocking call pthread_mutex_lock", 0), 0u) << report;
    EXPECT_NE (report.find ("parameterValueChanged"), std::string::npos) << report; // the listener that took the lock
    parameter.removeListener (&listener);
#endif
}

// The preset/state lock serialises host state calls with preset operations and
// may be held for as long as a preset file takes to read: the audio callback
// must never wait for it. Here another thread holds it for the whole run.
TEST (RealtimeSafety, AudioCallbackNeverEntersThePresetStateLock)
{
    PluginProcessor processor (juce::File {});
    processor.setRateAndBufferSizeDetails (48000.0, varyingMaximum);
    processor.prepareToPlay (48000.0, varyingMaximum);

    bool finishedWhileLocked = false;
    const auto offence = runAudioThread (processor, Schedule { 0 }, [&] (const std::atomic<bool>& done)
                                         {
                                             const juce::ScopedLock hold (processor.getStateLock());
                                             // Generous: only a callback stuck on the lock takes this long.
                                             for (int i = 0; i < 6000 && ! done; ++i)
                                                 juce::Thread::sleep (10);
                                             finishedWhileLocked = done;
                                         });
    EXPECT_TRUE (finishedWhileLocked) << "the audio callback waited for the preset/state lock";
    if (tandrel::test::RealtimeGuard::watchesHeap())
    {
        EXPECT_EQ (offence, "");
    }
}
