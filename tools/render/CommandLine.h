#pragma once

#include <juce_core/juce_core.h>

/** The program's arguments after its name, in full Unicode: POSIX systems pass
    them as UTF-8 bytes, Windows passes argv in the ANSI code page, which has
    no room for most names, so there they are read again as UTF-16. */
juce::StringArray commandLineArguments (int argc, char* argv[]);
