#pragma once

#include <juce_core/juce_core.h>

namespace tandrel::test
{
struct RenderToolResult
{
    int exitCode = -1;
    juce::String output; // stdout and stderr together
};

/** Runs a command and waits for it, for at most a minute. */
inline RenderToolResult runCommand (const juce::StringArray& command)
{
    juce::ChildProcess child;
    RenderToolResult result;
    if (! child.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return result;
    result.output = child.readAllProcessOutput();
    child.waitForProcessToFinish (60000);
    result.exitCode = (int) child.getExitCode();
    return result;
}

/** Runs the built tandrel-render with the given arguments and waits for it. */
inline RenderToolResult runRenderTool (const juce::StringArray& arguments)
{
    juce::StringArray command { TANDREL_BINARY_DIR "/tools/tandrel-render" };
    command.addArray (arguments);
    return runCommand (command);
}
} // namespace tandrel::test
