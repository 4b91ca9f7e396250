#pragma once

namespace juce::qorv_gui
{

/** Replaces a file's contents in one step, and only once every byte is on
    the disk. The framework's replaceWithData moves its temporary file over
    the target even when the last buffered write came up short (a full disk),
    which turns a good file into a truncated or empty one. */
struct FileReplacement
{
    /** Writes a hidden temporary file beside the target, checks that it holds
        all the bytes, then moves it over the target. False, with the target
        untouched and no temporary file left, when anything failed. */
    static bool replaceWithData (const juce::File& target, const void* data, size_t numBytes);
};

} // namespace juce::qorv_gui
