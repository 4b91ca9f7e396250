// How the render tool ends and speaks: its exit codes and the prefix of every message it prints.
#pragma once

#include "ConsoleHandles.h"

#include <juce_core/juce_core.h>

namespace ToolReport
{
constexpr int exitOk = 0;
constexpr int exitFailure = 2; // bad usage, unreadable input or an output that could not be written

/** Starts every line the tool writes to standard error; the interrupt
    handler's fixed text (UnfinishedFiles.cpp) spells it out, as a signal
    handler may only write a literal. */
constexpr const char* messagePrefix = "tandrel-render: ";

/** Writes text to standard output or error (ConsoleHandles::output, ::error). */
inline void print (int descriptor, const juce::String& text)
{
    ConsoleHandles::writeText (descriptor, text.toRawUTF8(), text.getNumBytesAsUTF8());
}

inline void report (const juce::String& message) { print (ConsoleHandles::error, messagePrefix + message + "\n"); }

/** Reports the message and gives the exit code of a failed run. */
inline int fail (const juce::String& message)
{
    report (message);
    return exitFailure;
}
} // namespace ToolReport
