// Loads the built VST3 and LV2 bundles the way a host does and checks what a
// host sees: identity, parameters, layouts, latency and the processed samples.

#include "HostedPlugin.h"
#if ! JUCE_WINDOWS
 #include "ScreenPointer.h"
#endif
#include "ScopedTempDir.h"
#include "XErrors.h"

#include <gtest/gtest.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivstunits.h>

using tandrel::test::PluginFormatKind;

namespace
{
struct ExpectedParameter
{
    const char* name;
    float defaultNormalised;
};

const ExpectedParameter expectedParameters[] = {
    { "Mode", 0.0f },          { "Tone", 0.75f },
    { "1- N Segs", 29.0f / 89.0f }, { "1- Seg Size", 10.0f / 47.0f }, { "1- Seg Mix", 100.0f / 120.0f },
    { "2- N Segs", 29.0f / 89.0f }, { "2- Seg Size", 10.0f / 47.0f }, { "2- Seg Mix", 0.0f },
    { "3- N Segs", 29.0f / 89.0f }, { "3- Seg Size", 10.0f / 47.0f }, { "3- Seg Mix", 0.0f },
};

juce::AudioBuffer<float> makeNoise (int channels, int length)
{
    juce::Random random (77);
    juce::AudioBuffer<float> buffer (channels, length);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < length; ++i)
            buffer.setSample (c, i, random.nextFloat() * 1.2f - 0.6f);
    return buffer;
}

using HostedPluginTest = tandrel::test::HostedFormatTest;
} // namespace

TEST_P (HostedPluginTest, PresentsItsIdentity)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    const auto description = plugin->getPluginDescription();

    EXPECT_EQ (description.name, "Tandrel_v1-1");
    EXPECT_EQ (description.manufacturerName, "Quorvex");
    if (GetParam() == PluginFormatKind::vst3) // LV2 carries no version string
    {
        EXPECT_EQ (description.version, "1.1.3");
    }
    EXPECT_FALSE (description.isInstrument);
    EXPECT_FALSE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
    EXPECT_TRUE (plugin->hasEditor());
}

TEST_P (HostedPluginTest, ListsElevenParametersInOrderWithTheirDefaults)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);

    // Hosts may add a bypass parameter of their own; JUCE's LV2 host also lists
    // the plug-in's parameters in an order of its own, so order is checked for VST3.
    juce::Array<juce::AudioProcessorParameter*> ours;
    for (auto* parameter : plugin->getParameters())
        if (parameter->getName (64) != "Bypass" && ! parameter->isMetaParameter())
            ours.add (parameter);
    ASSERT_EQ (ours.size(), (int) std::size (expectedParameters));

    for (size_t i = 0; i < std::size (expectedParameters); ++i)
    {
        const auto& expected = expectedParameters[i];
        auto* parameter = ours[(int) i];
        if (GetParam() == PluginFormatKind::lv2)
            for (auto* candidate : ours)
                if (candidate->getName (64) == expected.name)
                    parameter = candidate;

        EXPECT_EQ (parameter->getName (64), expected.name) << "parameter " << i;
        EXPECT_NEAR (parameter->getValue(), expected.defaultNormalised, 1.0e-5f) << expected.name;
        if (juce::String (expected.name) == "Mode")
        {
            EXPECT_EQ (parameter->getCurrentValueAsText(), "Series");
        }
    }
}

TEST_P (HostedPluginTest, AcceptsMonoAndStereoButNotMixedLayouts)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);

    // LV2 ports are fixed in the bundle's manifest: the LV2 build is stereo only.
    if (GetParam() == PluginFormatKind::lv2)
    {
        EXPECT_TRUE (tandrel::test::setMainLayout (*plugin, juce::AudioChannelSet::stereo()));
        EXPECT_FALSE (tandrel::test::setMainLayout (*plugin, juce::AudioChannelSet::mono()));
        return;
    }

    EXPECT_TRUE (tandrel::test::setMainLayout (*plugin, juce::AudioChannelSet::mono()));
    EXPECT_EQ (plugin->getTotalNumInputChannels(), 1);
    EXPECT_TRUE (tandrel::test::setMainLayout (*plugin, juce::AudioChannelSet::stereo()));
    EXPECT_EQ (plugin->getTotalNumOutputChannels(), 2);

    juce::AudioProcessor::BusesLayout mixed;
    mixed.inputBuses.add (juce::AudioChannelSet::mono());
    mixed.outputBuses.add (juce::AudioChannelSet::stereo());
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (mixed));
}

TEST_P (HostedPluginTest, ReportedLatencyEqualsTheMeasuredDelay)
{
    struct Case { double sampleRate; int blockSize; };
    for (const auto& c : { Case { 44100.0, 512 }, Case { 48000.0, 256 }, Case { 96000.0, 1024 } })
    {
        auto plugin = load (c.sampleRate, c.blockSize);
        ASSERT_NE (plugin, nullptr);
        ASSERT_TRUE (tandrel::test::setMainLayout (*plugin, juce::AudioChannelSet::stereo()));
        // Stage 1 off: the measured delay is then the dry path's, which must match the report.
        for (auto* parameter : plugin->getParameters())
            if (parameter->getName (64) == "1- Seg Mix")
                parameter->setValueNotifyingHost (0.0f);
        plugin->prepareToPlay (c.sampleRate, c.blockSize);

        // The latency may reach the host asynchronously (VST3 restarts the
        // component through the message thread, LV2 reports it after a run).
        juce::AudioBuffer<float> audio (2, 20 * c.blockSize);
        audio.clear();
        audio.setSample (0, 10, 1.0f);
        audio.setSample (1, 10, 1.0f);
        tandrel::test::processInBlocks (*plugin, audio, c.blockSize);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (200);

        const int latency = plugin->getLatencySamples();
        ASSERT_GT (latency, 0);

        if (GetParam() == PluginFormatKind::lv2)
        {
            // JUCE's LV2 host delivers parameter changes only with later runs, so the
            // dry-path impulse is measured through VST3; LV2 must report the same latency.
            juce::String error;
            auto vst3 = tandrel::test::loadBuiltPlugin (PluginFormatKind::vst3, c.sampleRate, c.blockSize, error);
            ASSERT_NE (vst3, nullptr) << error;
            vst3->prepareToPlay (c.sampleRate, c.blockSize);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
            EXPECT_EQ (latency, vst3->getLatencySamples()) << c.sampleRate << " Hz, block " << c.blockSize;
            vst3->releaseResources();
        }
        else
        {
            int peak = -1;
            for (int i = 0; i < audio.getNumSamples() && peak < 0; ++i)
                if (std::abs (audio.getSample (0, i)) > 0.5f)
                    peak = i;
            EXPECT_EQ (peak - 10, latency) << c.sampleRate << " Hz, block " << c.blockSize;
        }
        plugin->releaseResources();
    }
}

TEST_P (HostedPluginTest, ProcessesTheSameSamplesAsTheProcessorDrivenDirectly)
{
    tandrel::test::ScopedTempDir temp;
    const auto input = temp["in.wav"];
    const auto expectedFile = temp["expected.wav"];

    for (int channels : { 1, 2 })
    {
        if (channels == 1 && GetParam() == PluginFormatKind::lv2)
            continue; // the LV2 build is stereo only

        const auto noise = makeNoise (channels, 44100 / 2);
        ASSERT_TRUE (tandrel::test::writeWavFile (input, noise, 44100.0));
        ASSERT_EQ (tandrel::test::runRenderTool ({ "--raw", "--block", "512", input.getFullPathName(), expectedFile.getFullPathName() }).exitCode, 0);

        juce::AudioBuffer<float> expected;
        ASSERT_TRUE (tandrel::test::readWavFile (expectedFile, expected));

        auto plugin = load();
        ASSERT_NE (plugin, nullptr);
        ASSERT_TRUE (tandrel::test::setMainLayout (*plugin, channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo()));
        plugin->prepareToPlay (44100.0, 512);

        auto actual = noise;
        tandrel::test::processInBlocks (*plugin, actual, 512);
        plugin->releaseResources();

        ASSERT_EQ (actual.getNumSamples(), expected.getNumSamples());
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < actual.getNumSamples(); ++i)
                ASSERT_EQ (actual.getSample (c, i), expected.getSample (c, i)) << channels << " channels, channel " << c << ", sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P (BuiltBundles, HostedPluginTest, ::testing::ValuesIn (tandrel::test::builtFormats()),
                          [] (const auto& testInfo) { return std::string (tandrel::test::formatName (testInfo.param)); });

TEST (HostedVst3, ItsOneProgramHasAName)
{
    // What the VST3 SDK's validator reads: the unit info's program list.
    juce::String error;
    auto plugin = tandrel::test::loadBuiltPlugin (PluginFormatKind::vst3, 44100.0, 512, error);
    ASSERT_NE (plugin, nullptr) << error;

    struct ComponentOf : juce::ExtensionsVisitor
    {
        void visitVST3Client (const VST3Client& client) override { component = client.getIComponentPtr(); }
        Steinberg::Vst::IComponent* component = nullptr;
    } visitor;
    plugin->getExtensions (visitor);
    auto* component = visitor.component;
    ASSERT_NE (component, nullptr);
    Steinberg::Vst::IUnitInfo* units = nullptr;
    ASSERT_EQ (component->queryInterface (Steinberg::Vst::IUnitInfo_iid, (void**) &units), Steinberg::kResultOk);
    ASSERT_NE (units, nullptr);

    ASSERT_EQ (units->getProgramListCount(), 1);
    Steinberg::Vst::ProgramListInfo list {};
    ASSERT_EQ (units->getProgramListInfo (0, list), Steinberg::kResultTrue);
    EXPECT_EQ (list.programCount, 1);

    Steinberg::Vst::String128 name {};
    EXPECT_EQ (units->getProgramName (list.id, 0, name), Steinberg::kResultTrue);
    EXPECT_EQ (juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (name))),
               "Tandrel_v1-1");
    units->release();
}

TEST (HostedEditor, OpensAtItsFixedSizeAndClosesCleanlyRepeatedly)
{
    juce::String error;
    auto plugin = tandrel::test::loadBuiltPlugin (PluginFormatKind::vst3, 44100.0, 512, error);
    ASSERT_NE (plugin, nullptr) << error;
    plugin->prepareToPlay (44100.0, 512);

    for (int i = 0; i < 4; ++i)
    {
        auto editor = tandrel::test::openEditorWindow (*plugin);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getWidth(), 550);
        EXPECT_EQ (editor->getHeight(), 550);
        editor.reset();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
    plugin->releaseResources();
}

TEST_P (HostedPluginTest, EditorOpensAtTheUsersInterfaceScaleTimesTheHostsScale)
{
    const auto settings = tandrel::test::userSettingsFile();
    ASSERT_TRUE (settings.getParentDirectory().isDirectory());
    ASSERT_TRUE (settings.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<PROPERTIES><VALUE name=\"interfaceScale\" val=\"150\"/></PROPERTIES>\n"));

    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (44100.0, 512);
    {
        auto editor = tandrel::test::openEditorWindow (*plugin);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getWidth(), 825) << "the host's window holds 550 x 150 %";
        EXPECT_EQ (editor->getHeight(), 825);

        // A host that draws at 2x: the user's 150 % multiplies it.
        editor->setScaleFactor (2.0f);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
        EXPECT_EQ (editor->getWidth(), 1650);
        EXPECT_EQ (editor->getHeight(), 1650);
    }
    plugin->releaseResources();
    settings.deleteFile();
}

// Clicks through the X server's pointer; Windows builds have no XTest.
#if ! JUCE_WINDOWS
TEST_P (HostedPluginTest, ChoosingAScaleInTheEditorResizesTheHostsWindow)
{
    const auto settings = tandrel::test::userSettingsFile();
    settings.deleteFile();

    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    {
        auto editor = tandrel::test::openEditorWindow (*plugin);
        ASSERT_NE (editor, nullptr);
        auto pump = [] (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); };
        ASSERT_EQ (editor->getWidth(), 550);

        // A real right-click on the window's left margin, through the X server,
        // as the user makes it inside the host's window.
        tandrel::test::ScreenPointer pointer;
        ASSERT_TRUE (pointer.isAvailable());
        const auto before = pointer.popupWindows();
        pointer.click (editor->getScreenPosition() + juce::Point<int> (4, 300), 3);
        pump (400);
        const auto menus = pointer.popupWindows();
        ASSERT_EQ (menus.size(), before.size() + 1) << "the interface scale menu opened";

        // Its last row is "200 %".
        const auto menu = menus.back();
        pointer.click ({ menu.getCentreX(), menu.getY() + menu.getHeight() * 11 / 12 }, 1);
        pump (600);

        EXPECT_EQ (editor->getWidth(), 1100) << "the host's window follows the editor's new scale";
        EXPECT_EQ (editor->getHeight(), 1100);
        EXPECT_TRUE (settings.loadFileAsString().contains ("val=\"200\"")) << settings.loadFileAsString();
    }
    plugin->releaseResources();
    settings.deleteFile();
}
#endif
