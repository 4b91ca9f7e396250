#pragma once

#include <juce_core/juce_core.h>

/** Writes all of data to a file descriptor, retrying after interruptions and
    partial writes; false when the descriptor refused it (a closed pipe). */
bool writeAll (int fileDescriptor, const void* data, size_t bytes);

/** Standard input as a juce::InputStream: read front to back, never seekable,
    its length unknown until it ends. */
class StandardInputStream : public juce::InputStream
{
public:
    juce::int64 getTotalLength() override { return -1; }
    bool isExhausted() override { return exhausted; }
    int read (void* destination, int maxBytes) override;
    juce::int64 getPosition() override { return position; }
    bool setPosition (juce::int64 newPosition) override { return newPosition == position; }

private:
    juce::int64 position = 0;
    bool exhausted = false;
};

/** Standard output as a juce::OutputStream. It seeks (so a WAV header can be
    fixed afterwards) only when standard output is a regular file opened
    without O_APPEND; a pipe or a terminal is written strictly in order. */
class StandardOutputStream : public juce::OutputStream
{
public:
    StandardOutputStream();

    void flush() override {}
    bool setPosition (juce::int64 newPosition) override;
    juce::int64 getPosition() override { return position; }
    bool write (const void* data, size_t bytes) override;

    /** True when standard output is a terminal: no place for audio data. */
    static bool isTerminal();

private:
    juce::int64 position = 0;
    bool seekable = false;
};
