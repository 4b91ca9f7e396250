#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>

namespace tandrel::test
{
/** A path the build names, unless the environment variable of the same name
    names another: the packaged result is tested by pointing these at the bundles
    and the render tool unpacked from the .deb (scripts/test-package). */
inline juce::String pathFromEnvironment (const char* variable, const char* builtPath)
{
    const auto* value = std::getenv (variable);
    return value != nullptr && *value != 0 ? juce::String (value) : juce::String (builtPath);
}

/** The tandrel-render the tests run: the build's target file, or TANDREL_RENDER_TOOL. */
inline juce::String renderToolPath() { return pathFromEnvironment ("TANDREL_RENDER_TOOL", TANDREL_RENDER_TOOL); }

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
    // On Windows the reader gives up once the child has exited, even with its
    // last lines still in the pipe: what is left is read after the exit.
    result.output += child.readAllProcessOutput();
    result.exitCode = (int) child.getExitCode();
    return result;
}

/** Runs the built tandrel-render with the given arguments and waits for it. */
inline RenderToolResult runRenderTool (const juce::StringArray& arguments)
{
    juce::StringArray command { renderToolPath() };
    command.addArray (arguments);
    return runCommand (command);
}
} // namespace tandrel::test
