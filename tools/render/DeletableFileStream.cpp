// Writing straight through to a deletable file; opening it is the platform files' part.
#include "DeletableFileStream.h"

#include "ConsoleHandles.h"

DeletableFileStream::DeletableFileStream (const juce::File& file) : descriptor (openDeletable (file)) {}

DeletableFileStream::~DeletableFileStream()
{
    if (descriptor >= 0)
        closeDescriptor (descriptor);
}

bool DeletableFileStream::setPosition (juce::int64 newPosition)
{
    if (newPosition == position)
        return true;
    if (failedToOpen() || newPosition < 0 || ! ConsoleHandles::seek (descriptor, newPosition))
    {
        ok = false;
        return false;
    }
    position = newPosition;
    return true;
}

bool DeletableFileStream::write (const void* data, size_t bytes)
{
    if (failedToOpen() || ! ConsoleHandles::writeAll (descriptor, data, bytes))
    {
        ok = false;
        return false;
    }
    position += (juce::int64) bytes;
    return true;
}
