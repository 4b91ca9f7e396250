#include "RenderJob.h"

#include "DemoSignal.h"
#include "ParameterAssignment.h"
#include "PresetOption.h"
#include "Renderer.h"
#include "StandardStreams.h"
#include "StateFileOption.h"
#include "WavStreamReader.h"

RenderJob::RenderJob (const RenderOptions& renderOptions, const juce::String& presetToLoad, std::unique_ptr<OutputTarget> target)
    : options (renderOptions), preset (presetToLoad), output (std::move (target))
{
}

RenderJob::~RenderJob()
{
    writer.reset();
    output.reset(); // discards an unfinished temporary file
}

bool RenderJob::openInput (juce::String& error)
{
    if (options.demo)
    {
        constexpr double demoRate = 44100.0;
        static const auto demo = makeDemoSignal (demoRate); // synthesised once, however many presets render it
        input = std::make_unique<BufferSource> (demo, demoRate);
        outputFormat = { 2, demoRate, options.format.value_or (SampleFormat::f32) };
        return true;
    }

    std::unique_ptr<juce::InputStream> stream;
    juce::String name = "standard input";
    if (options.inputFromStdin)
        stream = std::make_unique<StandardInputStream>();
    else
    {
        name = options.input.getFullPathName();
        if (options.input.isDirectory())
        {
            error = "cannot read " + name + ": it is a folder";
            return false;
        }
        if (! options.input.existsAsFile())
        {
            error = "cannot read " + name + ": no such file";
            return false;
        }
        auto file = options.input.createInputStream();
        if (file == nullptr)
        {
            error = "cannot read " + name;
            return false;
        }
        stream = std::make_unique<juce::BufferedInputStream> (file.release(), 1 << 16, true);
    }

    auto reader = std::make_unique<WavStreamReader> (std::move (stream), name);
    if (! reader->open (error))
        return false;

    outputFormat = reader->getFormat();
    if (options.format)
        outputFormat.sample = *options.format;
    input = std::move (reader);
    return true;
}

bool RenderJob::prepare (juce::String& error)
{
    if (! openInput (error))
        return false;

    processor = std::make_unique<PluginProcessor>();
    if (! Renderer::configureLayout (*processor, input->getNumChannels()))
    {
        error = "the plug-in refused a " + juce::String (input->getNumChannels()) + "-channel layout";
        return false;
    }

    // A saved instance first, then a preset over it, then single values over both.
    if (options.state != juce::File())
        if (error = applyStateFile (*processor, options.state); error.isNotEmpty())
            return false;

    if (preset.isNotEmpty())
        if (error = applyPresetOption (*processor, preset); error.isNotEmpty())
            return false;

    for (const auto& assignment : options.sets)
        if (error = applyParameterAssignment (*processor, assignment); error.isNotEmpty())
            return false;

    auto* stream = output->open (error);
    if (stream == nullptr)
        return false;

    writer = std::make_unique<WavStreamWriter> (*stream, outputFormat, options.dither, input->getLengthInFrames());
    if (! writer->start (error))
    {
        error = "cannot write " + output->describe() + ": " + error;
        return false;
    }
    return true;
}

bool RenderJob::run (juce::String& error, std::function<void (juce::int64)> onProgress, const std::function<juce::String()>& beforeCommit)
{
    Renderer renderer;
    renderer.blockSize = options.blockSize;
    renderer.raw = options.raw;
    renderer.onProgress = std::move (onProgress);

    juce::String failure;
    if (! renderer.render (*processor, *input, *writer, failure) || ! writer->finish (failure))
    {
        // A failed read names its input already; a failed write does not name its output.
        error = failure.startsWith ("cannot read") ? failure : "cannot write " + output->describe() + ": " + failure;
        return false;
    }

    // What else the render must write comes first: when it fails, the
    // render's own output is discarded with it.
    if (beforeCommit)
        if (error = beforeCommit(); error.isNotEmpty())
            return false;
    return output->commit (error);
}

std::optional<juce::int64> RenderJob::getExpectedLength() const { return input != nullptr ? input->getLengthInFrames() : std::nullopt; }

juce::int64 RenderJob::getFramesWritten() const { return writer != nullptr ? writer->getFramesWritten() : 0; }

const SampleEncoder* RenderJob::getEncoder() const { return writer != nullptr ? &writer->getEncoder() : nullptr; }

juce::StringArray RenderJob::getWarnings() const
{
    juce::StringArray warnings;
    if (auto* reader = dynamic_cast<const WavStreamReader*> (input.get()); reader != nullptr && reader->endedEarly())
        warnings.add ("the input ended after " + juce::String (reader->getFramesRead()) + " of the "
                      + juce::String (*reader->getLengthInFrames()) + " frames its header declares; rendered what was there");

    if (const auto* encoder = getEncoder(); encoder != nullptr && encoder->getClippedSamples() > 0)
        warnings.add (juce::String (encoder->getClippedSamples()) + " samples clipped at " + sampleFormatName (outputFormat.sample)
                      + " (peak " + juce::String (juce::Decibels::gainToDecibels (encoder->getPeak()), 1)
                      + " dBFS); use --format f32 to keep them");
    return warnings;
}
