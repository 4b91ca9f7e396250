#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/** Outputs that are not files: a path naming a device, a FIFO or a socket
    (also through a symbolic link) is written as a stream, in order, the way
    standard output is, and never replaced by a file. */
namespace StreamDevices
{
/** True when the path exists and is neither a regular file nor a folder. */
bool isStreamDevice (const juce::File& path);

/** The device opened for writing; nullptr with error filled when it cannot be. */
std::unique_ptr<juce::OutputStream> openForWriting (const juce::File& path, juce::String& error);
} // namespace StreamDevices
