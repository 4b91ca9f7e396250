#include "StandardStreams.h"

#include "ConsoleHandles.h"

int StandardInputStream::read (void* destination, int maxBytes)
{
    const auto n = ConsoleHandles::read (ConsoleHandles::input, destination, (size_t) maxBytes);
    if (n <= 0)
    {
        exhausted = true;
        return 0;
    }
    position += n;
    return (int) n;
}

StandardOutputStream::StandardOutputStream()
{
    const auto start = ConsoleHandles::seekablePosition (ConsoleHandles::output);
    seekable = start >= 0;
    if (seekable)
        position = start;
}

bool StandardOutputStream::setPosition (juce::int64 newPosition)
{
    if (newPosition == position)
        return true;
    if (! seekable || ! ConsoleHandles::seek (ConsoleHandles::output, newPosition))
        return false;
    position = newPosition;
    return true;
}

bool writeAll (int fileDescriptor, const void* data, size_t bytes)
{
    return ConsoleHandles::writeAll (fileDescriptor, data, bytes);
}

bool StandardOutputStream::write (const void* data, size_t bytes)
{
    if (! writeAll (ConsoleHandles::output, data, bytes))
        return false;
    position += (juce::int64) bytes;
    return true;
}

bool StandardOutputStream::isTerminal() { return ConsoleHandles::isTerminal (ConsoleHandles::output); }
