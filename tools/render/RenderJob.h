#pragma once

#include "AudioBlockStreams.h"
#include "OutputTarget.h"
#include "RenderOptions.h"
#include "WavStreamWriter.h"

#include "PluginProcessor.h"

#include <functional>

/** One render: a processor set up from the options (state, then the preset,
    then each --set), the input streamed through it into one output. The
    single render and every render of --all-presets go through this class,
    so a preset rendered in the bank gives the file it gives alone.

    prepare() runs on the message thread (it builds the processor and loads
    presets, as a host's message thread does); run() may run on any thread;
    the job is destroyed on the message thread again. */
class RenderJob
{
public:
    /** preset: a factory preset name or a preset file path, or empty for none. */
    RenderJob (const RenderOptions& options, const juce::String& preset, std::unique_ptr<OutputTarget> output);
    ~RenderJob();

    /** Opens the input, sets up the processor and opens the output. False with
        error filled when anything was refused; nothing has been written then. */
    bool prepare (juce::String& error);

    /** Renders, finishes the WAV, calls beforeCommit (which returns a message
        when what it writes failed) and moves the file into place. onProgress
        gets the frames written so far. False with error filled on failure, and
        then no output file is left behind. */
    bool run (juce::String& error, std::function<void (juce::int64)> onProgress = {},
              const std::function<juce::String()>& beforeCommit = {});

    PluginProcessor& getProcessor() noexcept { return *processor; }
    const WavFormat& getOutputFormat() const noexcept { return outputFormat; }
    /** The input's length in frames when known before the render. */
    std::optional<juce::int64> getExpectedLength() const;
    juce::int64 getFramesWritten() const;
    const SampleEncoder* getEncoder() const;
    const OutputTarget& getOutput() const noexcept { return *output; }

    /** Non-fatal findings of the render (clipping, an input shorter than its
        header said), one per line, for standard error. */
    juce::StringArray getWarnings() const;

private:
    bool openInput (juce::String& error);

    const RenderOptions& options;
    const juce::String preset;
    std::unique_ptr<OutputTarget> output;
    std::unique_ptr<PluginProcessor> processor;
    std::unique_ptr<AudioBlockSource> input;
    std::unique_ptr<WavStreamWriter> writer;
    WavFormat outputFormat;

    JUCE_DECLARE_NON_COPYABLE (RenderJob)
};
