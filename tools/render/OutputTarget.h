#pragma once

#include <juce_core/juce_core.h>

/** Where a render's WAV stream goes: standard output, a device or FIFO
    written in order like standard output, or a file that is written as a
    temporary file beside it and renamed into place by commit(), so a failed
    or interrupted render never leaves a partial file. */
class OutputTarget
{
public:
    static std::unique_ptr<OutputTarget> standardOutput();
    static std::unique_ptr<OutputTarget> file (const juce::File& target);

    /** Discards the temporary file unless commit() succeeded. */
    ~OutputTarget();

    /** The stream to write; nullptr with error filled when it cannot be opened. */
    juce::OutputStream* open (juce::String& error);

    /** Closes the stream and, for a file, moves it into place. */
    bool commit (juce::String& error);

    /** "standard output" or the target's path, for messages. */
    juce::String describe() const;

    bool isStandardOutput() const noexcept { return target == juce::File(); }

private:
    explicit OutputTarget (const juce::File& targetFile);

    static juce::String temporaryNameFor();

    const juce::File target;
    juce::File temporary;
    std::unique_ptr<juce::OutputStream> stream;
    bool streamed = false;
    bool committed = false;

    JUCE_DECLARE_NON_COPYABLE (OutputTarget)
};
