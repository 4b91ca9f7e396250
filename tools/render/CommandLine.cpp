#include "CommandLine.h"

#if defined(_WIN32)
 #include <windows.h>
 #include <shellapi.h>
#endif

juce::StringArray commandLineArguments (int argc, char* argv[])
{
    juce::StringArray arguments;
#if defined(_WIN32)
    juce::ignoreUnused (argc, argv);
    int count = 0;
    if (auto** wide = CommandLineToArgvW (GetCommandLineW(), &count))
    {
        for (int i = 1; i < count; ++i)
            arguments.add (juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (wide[i]))));
        LocalFree (wide);
    }
#else
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::CharPointer_UTF8 (argv[i]));
#endif
    return arguments;
}
