// tandrel-render: runs a WAV file (or the built-in demo) through the plug-in,
// driven exactly as a host drives it.

#include "DemoSignal.h"
#include "ParameterAssignment.h"
#include "PresetOption.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "StateFileOption.h"
#include "WavFiles.h"

#include "PluginProcessor.h"

#include <iostream>
#include <unistd.h>

namespace
{
constexpr int exitOk = 0;
constexpr int exitUsage = 2;

int fail (const juce::String& message)
{
    std::cerr << "tandrel-render: " << message << "\n";
    return exitUsage;
}

void drawProgress (double fraction)
{
    constexpr int width = 40;
    const int filled = (int) (fraction * width);
    std::cerr << "\r[" << std::string ((size_t) filled, '#') << std::string ((size_t) (width - filled), '.') << "] "
              << (int) (fraction * 100.0) << "%" << (fraction >= 1.0 ? "\n" : "") << std::flush;
}

int run (const juce::StringArray& arguments)
{
    juce::String error;
    const auto parsed = RenderOptions::parse (arguments, error);
    if (! parsed)
        return fail (error + "\n\n" + RenderOptions::usage());

    const auto& options = *parsed;
    if (options.help)
    {
        std::cout << RenderOptions::usage();
        return exitOk;
    }

    PluginProcessor processor;

    if (options.listParams)
    {
        std::cout << describeParameters (processor);
        return exitOk;
    }

    if (options.listPresets)
    {
        std::cout << describePresets (processor);
        return exitOk;
    }

    WavData input;
    if (options.demo)
    {
        input.sampleRate = 44100.0;
        input.audio = makeDemoSignal (input.sampleRate);
    }
    else if (! readWav (options.input, input, error))
        return fail (error);

    if (! Renderer::configureLayout (processor, input.audio.getNumChannels()))
        return fail ("the plug-in refused a " + juce::String (input.audio.getNumChannels()) + "-channel layout");

    // A saved instance first, then a preset over it, then single values over both.
    if (options.state != juce::File())
        if (const auto message = applyStateFile (processor, options.state); message.isNotEmpty())
            return fail (message);

    if (options.preset.isNotEmpty())
        if (const auto message = applyPresetOption (processor, options.preset); message.isNotEmpty())
            return fail (message);

    for (const auto& assignment : options.sets)
    {
        const auto message = applyParameterAssignment (processor, assignment);
        if (message.isNotEmpty())
            return fail (message);
    }

    Renderer renderer;
    renderer.blockSize = options.blockSize;
    renderer.raw = options.raw;
    if (isatty (STDERR_FILENO) && input.audio.getNumSamples() > input.sampleRate * 5.0)
        renderer.onProgress = [last = -1] (double fraction) mutable
        {
            const int percent = (int) (fraction * 100.0);
            if (percent != last)
                drawProgress (fraction);
            last = percent;
        };

    const auto output = renderer.render (processor, input.audio, input.sampleRate);

    if (! writeWav (options.output, output, input.sampleRate, error))
        return fail (error);

    if (options.saveState != juce::File())
        if (const auto message = saveStateFile (processor, options.saveState); message.isNotEmpty())
            return fail (message);

    std::cerr << "tandrel-render: wrote " << options.output.getFullPathName() << " (" << output.getNumChannels() << " ch, "
              << output.getNumSamples() << " samples at " << input.sampleRate << " Hz, latency "
              << processor.getLatencySamples() << (options.raw ? " samples, raw" : " samples, compensated") << ")\n";
    return exitOk;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::CharPointer_UTF8 (argv[i]));
    return run (arguments);
}
