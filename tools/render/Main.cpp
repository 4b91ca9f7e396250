// tandrel-render: streams a WAV file or pipe (or the built-in demo) through the
// plug-in, driven exactly as a host drives it.

#include "BankRender.h"
#include "ClosedDescriptors.h"
#include "CommandLine.h"
#include "ConsoleHandles.h"
#include "ParameterAssignment.h"
#include "PresetOption.h"
#include "ProgressBar.h"
#include "RenderJob.h"
#include "RenderOptions.h"
#include "StandardStreams.h"
#include "StateFileOption.h"
#include "ToolReport.h"
#include "UnfinishedFiles.h"

#include "PluginProcessor.h"
#include "ProductIdentity.h"

#include <sstream>

namespace
{
using ToolReport::exitOk;
using ToolReport::fail;

int renderOne (const RenderOptions& options)
{
    if (options.outputToStdout && StandardOutputStream::isTerminal())
        return fail ("standard output is a terminal: redirect it or pipe it on to write the WAV stream there");
    if (options.inputFromStdin && ClosedDescriptors::standardInputWasClosed())
        return fail ("standard input is closed: give INPUT as a file, or open standard input to read a WAV stream from it");
    if (options.outputToStdout && ClosedDescriptors::standardOutputWasClosed())
        return fail ("standard output is closed: give OUTPUT as a file, or open standard output to write the WAV stream there");
    if (options.saveState != juce::File())
        if (const auto message = checkStateTarget (options.saveState); message.isNotEmpty())
            return fail (message);

    RenderJob job (options, options.preset, options.outputToStdout ? OutputTarget::standardOutput() : OutputTarget::file (options.output));
    juce::String error;
    if (! job.prepare (error))
        return fail (error);

    // Long renders, and those whose length is not known before they end, show progress.
    const auto length = job.getExpectedLength();
    const double rate = job.getOutputFormat().sampleRate;
    ProgressBar progress (! length || *length > rate * 5.0);
    const auto saveState = [&]
    { return options.saveState != juce::File() ? saveStateFile (job.getProcessor(), options.saveState) : juce::String(); };
    const bool rendered = job.run (error, [&] (juce::int64 frames)
                                   {
                                       if (length)
                                           progress.show ((double) frames / (double) *length);
                                       else
                                           progress.showDuration ((double) frames / rate);
                                   }, saveState);
    progress.finish();
    if (! rendered)
        return fail (error);

    for (const auto& warning : job.getWarnings())
        ToolReport::report (warning);

    const auto& format = job.getOutputFormat();
    std::ostringstream summary;
    summary << "wrote " << job.getOutput().describe() << " (" << format.channels << " ch, " << job.getFramesWritten()
            << " samples at " << format.sampleRate << " Hz, " << sampleFormatName (format.sample)
            << (format.sample == SampleFormat::s16 && options.dither ? " dithered" : "") << ", latency "
            << job.getProcessor().getLatencySamples() << (options.raw ? " samples, raw" : " samples, compensated") << ")";
    ToolReport::report (summary.str());
    return exitOk;
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
        ToolReport::print (ConsoleHandles::output, RenderOptions::usage());
        return exitOk;
    }
    if (options.version)
    {
        ToolReport::print (ConsoleHandles::output, "tandrel-render " + juce::String (ProductIdentity::version()) + "\n");
        return exitOk;
    }

    // Presets are read from (and --all-presets --user-presets renders) the data
    // folder: a relative override would name one that moves with the
    // working folder.
    if (const auto relative = juce::qorv_gui::DataFolder::relativeOverride(); relative.isNotEmpty())
        return fail (juce::String (juce::qorv_gui::DataFolder::overrideVariable) + " must be an absolute path, got \"" + relative + "\"");

    if (options.listParams || options.listPresets)
    {
        PluginProcessor processor;
        ToolReport::print (ConsoleHandles::output, options.listParams ? describeParameters (processor) : describePresets (processor));
        return exitOk;
    }

    return options.allPresets ? renderAllPresets (options) : renderOne (options);
}
} // namespace

int main (int argc, char* argv[])
{
    // Before anything opens a file or a socket.
    ClosedDescriptors::occupy();
    // Before any other thread exists, so every thread inherits the blocked interrupts.
    UnfinishedFiles::handleInterrupts();
    ConsoleHandles::useBinaryMode();

    juce::ScopedJuceInitialiser_GUI juce;
    return run (commandLineArguments (argc, argv));
}
