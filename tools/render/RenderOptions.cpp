#include "RenderOptions.h"

juce::String RenderOptions::usage()
{
    return "Usage: tandrel-render [OPTION]... INPUT.wav OUTPUT.wav\n"
           "  or:  tandrel-render [OPTION]... --demo OUTPUT.wav\n"
           "  or:  tandrel-render [OPTION]... --all-presets INPUT.wav OUTDIR\n"
           "Render a WAV file (or a built-in demo signal) offline through the Tandrel effect,\n"
           "driven exactly as a host drives it, and write the result as a WAV file.\n"
           "\n"
           "The audio is streamed block by block, so memory stays flat for any length.\n"
           "INPUT may be \"-\" to read a WAV stream from standard input, OUTPUT \"-\" to write\n"
           "one to standard output; progress and messages always go to standard error.\n"
           "Input: 16/24-bit PCM or 32-bit float WAV (RIFF or RF64), mono or stereo.\n"
           "\n"
           "Options:\n"
           "  --set \"ID=VALUE\"     set a parameter in its own units (repeatable), e.g. \"1- Seg Mix=50\"\n"
           "  --preset NAME        load a factory preset by name, or a preset file by path\n"
           "  --state FILE         apply a saved host state blob before everything else\n"
           "  --save-state FILE    write the instance's host state blob after all options are applied\n"
           "  --format FORMAT      output samples: f32, s24 or s16 (default: the input's own format)\n"
           "  --no-dither          do not add TPDF dither when writing 16-bit output\n"
           "  --block N            block size passed to the plug-in (default 512)\n"
           "  --raw                write the output as a host receives it (not latency-compensated)\n"
           "  --demo               render a built-in demo signal instead of INPUT\n"
           "  --all-presets        render INPUT through every factory preset into OUTDIR/NN Name.wav\n"
           "  --jobs N             renders run side by side with --all-presets (default: one per core)\n"
           "  --user-presets       with --all-presets, render the user presets after the factory bank\n"
           "  --list-params        list the parameters with id, range and default\n"
           "  --list-presets       list the factory presets and the user presets\n"
           "  -h, --help           display this help and exit\n"
           "  --version            output version information and exit\n"
           "\n"
           "Options apply in this order: --state, then --preset, then each --set.\n"
           "\n"
           "Exit status:\n"
           "  0 on success; 2 when the arguments, the input or a write were refused (no\n"
           "  output file is left behind then) or, with --all-presets, when any preset failed.\n"
           "\n"
           "Examples:\n"
           "  Render a stream another program decodes, through a factory preset:\n"
           "\n"
           "    sox song.flac -t wav - | tandrel-render --preset Twinkle - out.wav\n"
           "\n"
           "  Audition every preset on a loop, as 24-bit files in a folder:\n"
           "\n"
           "    tandrel-render --all-presets --format s24 loop.wav audition/\n";
}

namespace
{
bool parseWholeNumber (const juce::String& text, int lowest, int highest, int& value)
{
    if (text.isEmpty() || ! text.containsOnly ("0123456789") || text.length() > 9)
        return false;
    value = text.getIntValue();
    return value >= lowest && value <= highest;
}
} // namespace

std::optional<RenderOptions> RenderOptions::parse (const juce::StringArray& arguments, juce::String& error)
{
    RenderOptions options;
    juce::StringArray positional;
    bool jobsGiven = false;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& arg = arguments[i];

        auto takeValue = [&] (juce::String& value) -> bool
        {
            if (i + 1 >= arguments.size())
            {
                error = "option " + arg + " needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };

        juce::String value;
        if (arg == "--set")
        {
            if (! takeValue (value))
                return std::nullopt;
            if (! value.containsChar ('='))
            {
                error = "--set expects \"ID=VALUE\", got \"" + value + "\"";
                return std::nullopt;
            }
            options.sets.add (value);
        }
        else if (arg == "--preset")
        {
            if (! takeValue (options.preset))
                return std::nullopt;
        }
        else if (arg == "--state" || arg == "--save-state")
        {
            if (! takeValue (value))
                return std::nullopt;
            (arg == "--state" ? options.state : options.saveState) = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        }
        else if (arg == "--block")
        {
            if (! takeValue (value))
                return std::nullopt;
            if (! parseWholeNumber (value, 1, 65536, options.blockSize))
            {
                error = "--block expects a whole number from 1 to 65536, got \"" + value + "\"";
                return std::nullopt;
            }
        }
        else if (arg == "--format")
        {
            if (! takeValue (value))
                return std::nullopt;
            options.format = parseSampleFormat (value);
            if (! options.format)
            {
                error = "--format expects f32, s24 or s16, got \"" + value + "\"";
                return std::nullopt;
            }
        }
        else if (arg == "--jobs")
        {
            if (! takeValue (value))
                return std::nullopt;
            if (! parseWholeNumber (value, 1, 256, options.jobs))
            {
                error = "--jobs expects a whole number from 1 to 256, got \"" + value + "\"";
                return std::nullopt;
            }
            jobsGiven = true;
        }
        else if (arg == "--no-dither")
            options.dither = false;
        else if (arg == "--raw")
            options.raw = true;
        else if (arg == "--demo")
            options.demo = true;
        else if (arg == "--all-presets")
            options.allPresets = true;
        else if (arg == "--user-presets")
            options.userPresets = true;
        else if (arg == "--list-params")
            options.listParams = true;
        else if (arg == "--list-presets")
            options.listPresets = true;
        else if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg.startsWith ("-") && arg != "-")
        {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        else
            positional.add (arg);
    }

    if (options.help || options.version || options.listParams || options.listPresets)
        return options;

    if (! options.allPresets && (jobsGiven || options.userPresets))
    {
        error = juce::String (jobsGiven ? "--jobs" : "--user-presets") + " only applies to --all-presets";
        return std::nullopt;
    }
    if (options.allPresets && (options.preset.isNotEmpty() || options.saveState != juce::File()))
    {
        error = juce::String (options.preset.isNotEmpty() ? "--preset" : "--save-state") + " cannot be combined with --all-presets";
        return std::nullopt;
    }

    const int expected = options.demo ? 1 : 2;
    if (positional.size() != expected)
    {
        if (options.allPresets)
            error = options.demo ? "--demo --all-presets expects exactly one path: OUTDIR" : "--all-presets expects INPUT.wav and OUTDIR";
        else
            error = options.demo ? "--demo expects exactly one path: OUTPUT.wav" : "expected INPUT.wav and OUTPUT.wav";
        return std::nullopt;
    }

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    if (! options.demo)
    {
        options.inputFromStdin = positional[0] == "-";
        if (! options.inputFromStdin)
            options.input = cwd.getChildFile (positional[0]);
    }

    const auto& last = positional[expected - 1];
    if (options.allPresets)
    {
        if (options.inputFromStdin)
        {
            error = "--all-presets reads INPUT once per preset: give a file, not \"-\"";
            return std::nullopt;
        }
        if (last == "-")
        {
            error = "--all-presets writes one file per preset: give a folder as OUTDIR, not \"-\"";
            return std::nullopt;
        }
        options.outputDir = cwd.getChildFile (last);
    }
    else
    {
        options.outputToStdout = last == "-";
        if (! options.outputToStdout)
            options.output = cwd.getChildFile (last);
    }
    return options;
}
