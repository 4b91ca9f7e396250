#pragma once

#include <juce_core/juce_core.h>

namespace tandrel::test
{
struct RenderToolResult
{
    int exitCode = -1;
    juce::String output; // stdout and stderr together
};

/** Runs the built tandrel-render with the given arguments and waits for it. */
inline RenderToolResult runRenderTool (const juce::StringArray& arguments)
{
    juce::ChildProcess child;
    juce::StringArray command { TANDREL_BINARY_DIR "/tools/tandrel-render" };
    command.addArray (arguments);
    RenderToolResult result;
    if (! child.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return result;
    result.output = child.readAllProcessOutput();
    child.waitForProcessToFinish (60000);
    result.exitCode = (int) child.getExitCode();
    return result;
}
} // namespace tandrel::test
