#include "RenderOptions.h"

juce::String RenderOptions::usage()
{
    return "usage: tandrel-render [options] INPUT.wav OUTPUT.wav\n"
           "       tandrel-render [options] --demo OUTPUT.wav\n"
           "\n"
           "options:\n"
           "  --set \"ID=VALUE\"   set a parameter in its own units (repeatable), e.g. \"1- Seg Mix=50\", \"Mode=Parallel\"\n"
           "  --preset NAME      load a factory preset by name, or a preset file by path\n"
           "  --state FILE       apply a saved host state blob before everything else\n"
           "  --save-state FILE  write the instance's host state blob after all options are applied\n"
           "  --block N          block size passed to the plug-in (default 512)\n"
           "  --raw              write the output as a host receives it (not latency-compensated)\n"
           "  --demo             render a built-in demo signal instead of INPUT\n"
           "  --list-params      list the parameters with id, range and default\n"
           "  --list-presets     list the factory presets and the user presets\n"
           "  --help             show this text\n";
}

std::optional<RenderOptions> RenderOptions::parse (const juce::StringArray& arguments, juce::String& error)
{
    RenderOptions options;
    juce::StringArray positional;

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
            if (! value.containsOnly ("0123456789") || value.getIntValue() < 1 || value.getIntValue() > 65536)
            {
                error = "--block expects a whole number from 1 to 65536, got \"" + value + "\"";
                return std::nullopt;
            }
            options.blockSize = value.getIntValue();
        }
        else if (arg == "--raw")
            options.raw = true;
        else if (arg == "--demo")
            options.demo = true;
        else if (arg == "--list-params")
            options.listParams = true;
        else if (arg == "--list-presets")
            options.listPresets = true;
        else if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg.startsWith ("--"))
        {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        else
            positional.add (arg);
    }

    if (options.help || options.listParams || options.listPresets)
        return options;

    const int expected = options.demo ? 1 : 2;
    if (positional.size() != expected)
    {
        error = options.demo ? "--demo expects exactly one path: OUTPUT.wav" : "expected INPUT.wav and OUTPUT.wav";
        return std::nullopt;
    }

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    if (! options.demo)
        options.input = cwd.getChildFile (positional[0]);
    options.output = cwd.getChildFile (positional[expected - 1]);
    return options;
}
