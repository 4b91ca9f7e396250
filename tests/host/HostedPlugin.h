#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include "BlockRunner.h"
#include "Environment.h"
#include "RenderToolRunner.h"
#include "XErrors.h"

#include <gtest/gtest.h>

#include <vector>

namespace tandrel::test
{
enum class PluginFormatKind { vst3, lv2 };

inline const char* formatName (PluginFormatKind kind) { return kind == PluginFormatKind::vst3 ? "VST3" : "LV2"; }

/** The formats this platform's build makes: LV2 is built on Linux only. */
inline std::vector<PluginFormatKind> builtFormats()
{
#if JUCE_PLUGINHOST_LV2
    return { PluginFormatKind::vst3, PluginFormatKind::lv2 };
#else
    return { PluginFormatKind::vst3 };
#endif
}

/** The module's binary inside a VST3 bundle, relative to the bundle. */
inline juce::String vst3ModuleInBundle()
{
#if JUCE_WINDOWS
    return "Contents/x86_64-win/Tandrel_v1-1.vst3";
#else
    return "Contents/x86_64-linux/Tandrel_v1-1.so";
#endif
}

inline juce::String vst3BundlePath() { return pathFromEnvironment ("TANDREL_VST3_BUNDLE", TANDREL_VST3_BUNDLE); }
#if JUCE_PLUGINHOST_LV2
inline juce::String lv2BundlePath() { return pathFromEnvironment ("TANDREL_LV2_BUNDLE", TANDREL_LV2_BUNDLE); }
#endif

/** Loads the bundle of one format, as a host does. */
inline std::unique_ptr<juce::AudioPluginInstance> loadBuiltPlugin (PluginFormatKind kind, double sampleRate, int blockSize,
                                                                  juce::String& error)
{
    std::unique_ptr<juce::AudioPluginFormat> format;
    juce::String identifier;

    if (kind == PluginFormatKind::vst3)
    {
        format = std::make_unique<juce::VST3PluginFormat>();
#if JUCE_WINDOWS
        // JUCE's Windows host finds the module by its inner file, not by the bundle.
        identifier = juce::File (vst3BundlePath()).getChildFile (vst3ModuleInBundle()).getFullPathName();
#else
        identifier = vst3BundlePath();
#endif
    }
    else
    {
#if JUCE_PLUGINHOST_LV2
        // JUCE's LV2 host loads the bundles of ~/.lv2 first, and an installed copy
        // with the same URI would shadow the one just built: look from an empty home.
        static const juce::TemporaryFile emptyHome;
        emptyHome.getFile().createDirectory();
        setEnvironmentVariable ("HOME", emptyHome.getFile().getFullPathName());

        // It also loads the system's folders, where an installed package's copy
        // would win over the bundle under test: refuse to test the wrong one.
        const auto bundle = juce::File (lv2BundlePath());
        for (const auto* systemFolder : { "/usr/lib/lv2", "/usr/local/lib/lv2", "/usr/lib64/lv2", "/usr/local/lib64/lv2" })
        {
            const auto installed = juce::File (systemFolder).getChildFile (bundle.getFileName());
            if (installed.isDirectory() && installed != bundle)
            {
                error = "an installed " + installed.getFullPathName() + " would be loaded instead of " + bundle.getFullPathName()
                      + ": remove the installed package to test this bundle";
                return {};
            }
        }

        auto lv2 = std::make_unique<juce::LV2PluginFormat>();
        lv2->searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()),
                                    true, false);
        format = std::move (lv2);
        identifier = TANDREL_LV2_URI;
#endif
    }

    if (format == nullptr)
    {
        error = juce::String (formatName (kind)) + " is not built on this platform";
        return {};
    }

    juce::OwnedArray<juce::PluginDescription> descriptions;
    format->findAllTypesForFile (descriptions, identifier);
    if (descriptions.isEmpty())
    {
        error = "no plug-in found in " + identifier;
        return {};
    }

    auto instance = format->createInstanceFromDescription (*descriptions[0], sampleRate, blockSize, error);
    return instance;
}

inline bool readWavFile (const juce::File& file, juce::AudioBuffer<float>& audio)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
        return false;
    audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    return reader->read (&audio, 0, (int) reader->lengthInSamples, 0, true, true);
}

inline bool writeWavFile (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    file.deleteFile();
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 32, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release();
    return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

/** Opens the plug-in's editor in a window of its own, as a host shows it, and
    lets it settle; null when the plug-in gives no editor. */
inline std::unique_ptr<juce::AudioProcessorEditor> openEditorWindow (juce::AudioPluginInstance& plugin)
{
    // The plug-in's own windows are made while its editor is built.
    ignoreXErrors();
    std::unique_ptr<juce::AudioProcessorEditor> editor (plugin.createEditorIfNeeded());
    if (editor == nullptr)
        return editor;
    editor->addToDesktop (0);
    editor->setVisible (true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
    return editor;
}

/** The user's settings file in the data folder this test process gives the plug-in. */
inline juce::File userSettingsFile()
{
    return juce::File (juce::SystemStats::getEnvironmentVariable ("TANDREL_DATA_DIR", {})).getChildFile ("Settings.xml");
}

/** A test run once per plug-in format, loading the built bundle of that format. */
class HostedFormatTest : public ::testing::TestWithParam<PluginFormatKind>
{
protected:
    std::unique_ptr<juce::AudioPluginInstance> load (double sampleRate = 44100.0, int blockSize = 512)
    {
        juce::String error;
        auto plugin = loadBuiltPlugin (GetParam(), sampleRate, blockSize, error);
        EXPECT_NE (plugin, nullptr) << error;
        return plugin;
    }
};
} // namespace tandrel::test
