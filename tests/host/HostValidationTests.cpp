// What a validating host checks on the built bundles: many instances at once,
// the editor, state carried into a fresh instance, every sample rate and block
// size with the reported latency equal to the measured delay, mono and stereo,
// parameters at their extremes and a reset in the middle of playing.

#include "HostedPlugin.h"
#include "XErrors.h"

#include <gtest/gtest.h>

using tandrel::test::PluginFormatKind;

namespace
{
/** The latency at each rate: three stage delays, the same at every block size. */
struct RateLatency
{
    double rate;
    int latency;
};
constexpr RateLatency latencyTable[] = { { 44100.0, 594 }, { 48000.0, 645 }, { 96000.0, 1275 }, { 192000.0, 2547 } };
constexpr int blockSizes[] = { 1, 17, 64, 512, 4096, 8192 };

juce::AudioBuffer<float> makeNoise (int channels, int length, juce::int64 seed)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> buffer (channels, length);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < length; ++i)
            buffer.setSample (c, i, random.nextFloat() - 0.5f);
    return buffer;
}

/** Our eleven parameters by name (hosts may add a bypass of their own). */
std::map<juce::String, juce::AudioProcessorParameter*> parametersByName (juce::AudioPluginInstance& plugin)
{
    std::map<juce::String, juce::AudioProcessorParameter*> byName;
    for (auto* parameter : plugin.getParameters())
        if (parameter->getName (64) != "Bypass" && ! parameter->isMetaParameter())
            byName[parameter->getName (64)] = parameter;
    return byName;
}

::testing::AssertionResult allFinite (const juce::AudioBuffer<float>& audio)
{
    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = 0; i < audio.getNumSamples(); ++i)
            if (! std::isfinite (audio.getSample (c, i)))
                return ::testing::AssertionFailure() << "sample " << i << " of channel " << c << " is " << audio.getSample (c, i);
    return ::testing::AssertionSuccess();
}

void pump (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

/** The latency may reach the host asynchronously (VST3 restarts the component
    through the message thread, LV2 reports it after a run). */
template <typename Condition>
void pumpUntil (Condition condition)
{
    for (int i = 0; i < 200 && ! condition(); ++i)
        pump (5);
}

class HostValidation : public tandrel::test::HostedFormatTest
{
protected:
    bool isVst3() const { return GetParam() == PluginFormatKind::vst3; }
};
} // namespace

TEST_P (HostValidation, ManyInstancesOpenProcessAndCloseSideBySide)
{
    for (int round = 0; round < 2; ++round)
    {
        std::vector<std::unique_ptr<juce::AudioPluginInstance>> instances;
        for (int i = 0; i < 8; ++i)
        {
            instances.push_back (load (48000.0, 256));
            ASSERT_NE (instances.back(), nullptr);
            instances.back()->prepareToPlay (48000.0, 256);
        }

        for (auto& instance : instances)
        {
            auto audio = makeNoise (2, 256 * 4, 5);
            tandrel::test::processInBlocks (*instance, audio, 256);
            EXPECT_TRUE (allFinite (audio));
        }

        // Closed in an order other than opened.
        for (size_t i = 0; i < instances.size(); i += 2)
        {
            instances[i]->releaseResources();
            instances[i].reset();
        }
        instances.clear();
        pump (10);
    }
}

TEST_P (HostValidation, EditorOpensAndClosesWhileAudioRuns)
{
    // Before any editor exists: JUCE's LV2 host puts its window up while creating it.
    tandrel::test::ignoreXErrors();
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (44100.0, 512);
    auto byName = parametersByName (*plugin);

    int editorsSeen = 0;
    for (int i = 0; i < 3; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        if (editor == nullptr)
            continue; // counted below
        ++editorsSeen;
        editor->addToDesktop (0);
        editor->setVisible (true);

        auto audio = makeNoise (2, 512 * 8, i);
        byName["Tone"]->setValueNotifyingHost (0.1f * (float) (i + 1));
        tandrel::test::processInBlocks (*plugin, audio, 512);
        pump (50);
        EXPECT_TRUE (allFinite (audio));
        EXPECT_EQ (editor->getWidth(), 550);
        // JUCE's LV2 host answers each resize of the plug-in's window with an
        // asynchronous call into its embedding component: take the window off
        // the screen and let those calls run before the component goes.
        editor->setVisible (false);
        editor->removeFromDesktop();
        pump (50);
        editor.reset();
        pump (10);
    }
    EXPECT_EQ (editorsSeen, 3);
    plugin->releaseResources();
}

TEST_P (HostValidation, StateCarriesEveryParameterIntoAFreshInstance)
{
    auto source = load();
    ASSERT_NE (source, nullptr);
    source->prepareToPlay (44100.0, 512);
    juce::Random random (11);
    for (auto& [name, parameter] : parametersByName (*source))
        parameter->setValueNotifyingHost (random.nextFloat());

    // JUCE's LV2 host hands parameter changes over with the next run.
    auto audio = makeNoise (2, 1024, 1);
    tandrel::test::processInBlocks (*source, audio, 512);
    pump (50);

    juce::MemoryBlock blob;
    source->getStateInformation (blob);
    ASSERT_GT (blob.getSize(), 0u);

    auto fresh = load();
    ASSERT_NE (fresh, nullptr);
    fresh->prepareToPlay (44100.0, 512);
    fresh->setStateInformation (blob.getData(), (int) blob.getSize());
    tandrel::test::processInBlocks (*fresh, audio, 512);
    pump (50);

    auto expected = parametersByName (*source);
    auto actual = parametersByName (*fresh);
    ASSERT_EQ (actual.size(), 11u);
    int differing = 0;
    for (auto& [name, parameter] : expected)
    {
        // The host keeps the raw value it set while the plug-in snaps it to its
        // steps: at most half a step apart (N Segs has the coarsest, 1/89;
        // Mode has two positions).
        if (name == "Mode")
            EXPECT_EQ (std::round (actual[name]->getValue()), std::round (parameter->getValue()));
        else
            EXPECT_NEAR (actual[name]->getValue(), parameter->getValue(), 0.5f / 89.0f + 1.0e-5f) << name;
        differing += std::abs (parameter->getValue() - parameter->getDefaultValue()) > 1.0e-3f ? 1 : 0;
    }
    EXPECT_GE (differing, 8) << "the state must carry values away from the defaults";
    source->releaseResources();
    fresh->releaseResources();
}

// With stage 1's mix at 0 the path is a pure delay, which must be exactly the
// latency the plug-in reports, at every rate and block size. JUCE's LV2 host
// hands parameter changes over only with later runs, so the impulse is
// measured through VST3 and LV2 must report the same latency.
TEST_P (HostValidation, ReportedLatencyEqualsTheMeasuredDelayAtEveryRateAndBlockSize)
{
    for (const auto& row : latencyTable)
    {
        const double rate = row.rate;
        for (const int blockSize : blockSizes)
        {
            SCOPED_TRACE (std::to_string ((int) rate) + " Hz, block " + std::to_string (blockSize));
            auto plugin = load (rate, blockSize);
            ASSERT_NE (plugin, nullptr);
            ASSERT_TRUE (tandrel::test::setMainLayout (*plugin, juce::AudioChannelSet::stereo()));
            parametersByName (*plugin)["1- Seg Mix"]->setValueNotifyingHost (0.0f);
            plugin->prepareToPlay (rate, blockSize);

            // The impulse must come out whole, after the latency and one block.
            const int length = 4 * blockSize + (int) (rate * 0.05);
            juce::AudioBuffer<float> audio (2, length);
            audio.clear();
            audio.setSample (0, 10, 1.0f);
            audio.setSample (1, 10, 1.0f);
            tandrel::test::processInBlocks (*plugin, audio, blockSize);
            pumpUntil ([&] { return plugin->getLatencySamples() > 0; });

            const int latency = plugin->getLatencySamples();
            EXPECT_EQ (latency, row.latency);
            ASSERT_LT (latency + 10, length);

            if (isVst3())
            {
                for (int c = 0; c < 2; ++c)
                {
                    int peak = -1;
                    for (int i = 0; i < length && peak < 0; ++i)
                        if (std::abs (audio.getSample (c, i)) > 0.5f)
                            peak = i;
                    EXPECT_EQ (peak - 10, latency) << "channel " << c;
                }
            }
            else
            {
                auto vst3 = [&]
                {
                    juce::String error;
                    return tandrel::test::loadBuiltPlugin (PluginFormatKind::vst3, rate, blockSize, error);
                }();
                ASSERT_NE (vst3, nullptr);
                vst3->prepareToPlay (rate, blockSize);
                pumpUntil ([&] { return vst3->getLatencySamples() > 0; });
                EXPECT_EQ (latency, vst3->getLatencySamples());
                vst3->releaseResources();
            }
            plugin->releaseResources();
        }
    }
}

// Every parameter at its minimum, at its maximum, and alternating, in every
// layout the format offers: the output stays finite.
TEST_P (HostValidation, ParametersAtTheirExtremesGiveFiniteOutput)
{
    std::vector<juce::AudioChannelSet> layouts { juce::AudioChannelSet::stereo() };
    if (isVst3())
        layouts.push_back (juce::AudioChannelSet::mono()); // the LV2 build is stereo only

    for (const auto& layout : layouts)
    {
        for (int pattern = 0; pattern < 4; ++pattern)
        {
            SCOPED_TRACE (layout.getDescription().toStdString() + ", pattern " + std::to_string (pattern));
            auto plugin = load (96000.0, 64);
            ASSERT_NE (plugin, nullptr);
            ASSERT_TRUE (tandrel::test::setMainLayout (*plugin, layout));
            plugin->prepareToPlay (96000.0, 64);

            int index = 0;
            for (auto& [name, parameter] : parametersByName (*plugin))
            {
                const bool high = pattern == 1 || (pattern == 2 && index % 2 == 0) || (pattern == 3 && index % 2 == 1);
                parameter->setValueNotifyingHost (high ? 1.0f : 0.0f);
                ++index;
            }

            auto audio = makeNoise (layout.size(), 9600, pattern);
            for (int i = 0; i < 64; ++i)
                audio.setSample (0, i * 100, i % 2 == 0 ? 1.0f : -1.0f); // full-scale clicks
            tandrel::test::processInBlocks (*plugin, audio, 64);
            EXPECT_TRUE (allFinite (audio));
            EXPECT_GT (audio.getMagnitude (0, audio.getNumSamples()), 0.0f);
            plugin->releaseResources();
        }
    }
}

// A reset while playing clears what the plug-in holds: afterwards it plays
// exactly like an instance that never played.
TEST_P (HostValidation, ResetInTheMiddleOfPlayingStartsAfresh)
{
    auto played = load (48000.0, 512);
    auto fresh = load (48000.0, 512);
    ASSERT_NE (played, nullptr);
    ASSERT_NE (fresh, nullptr);
    played->prepareToPlay (48000.0, 512);
    fresh->prepareToPlay (48000.0, 512);

    auto before = makeNoise (2, 512 * 20, 3);
    tandrel::test::processInBlocks (*played, before, 512);
    if (isVst3())
        played->reset(); // JUCE deactivates and reactivates the component
    else
    {
        // LV2 has no reset of its own: hosts deactivate and activate the instance.
        played->releaseResources();
        played->prepareToPlay (48000.0, 512);
    }

    const auto input = makeNoise (2, 512 * 20, 4);
    auto afterReset = input, fromFresh = input;
    tandrel::test::processInBlocks (*played, afterReset, 512);
    tandrel::test::processInBlocks (*fresh, fromFresh, 512);

    ASSERT_TRUE (allFinite (afterReset));
    EXPECT_GT (afterReset.getMagnitude (512 * 10, 512 * 10), 0.1f);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < input.getNumSamples(); ++i)
            ASSERT_EQ (afterReset.getSample (c, i), fromFresh.getSample (c, i)) << "channel " << c << ", sample " << i;
    played->releaseResources();
    fresh->releaseResources();
}

INSTANTIATE_TEST_SUITE_P (BuiltBundles, HostValidation, ::testing::ValuesIn (tandrel::test::builtFormats()),
                          [] (const auto& testInfo) { return std::string (tandrel::test::formatName (testInfo.param)); });
