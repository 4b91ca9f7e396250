#include "StandardStreams.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int StandardInputStream::read (void* destination, int maxBytes)
{
    for (;;)
    {
        const auto n = ::read (STDIN_FILENO, destination, (size_t) maxBytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            exhausted = true;
            return 0;
        }
        position += n;
        return (int) n;
    }
}

StandardOutputStream::StandardOutputStream()
{
    struct stat info {};
    const int flags = fcntl (STDOUT_FILENO, F_GETFL);
    seekable = fstat (STDOUT_FILENO, &info) == 0 && S_ISREG (info.st_mode) && flags != -1 && (flags & O_APPEND) == 0;
    if (seekable)
        position = (juce::int64) lseek (STDOUT_FILENO, 0, SEEK_CUR);
}

bool StandardOutputStream::setPosition (juce::int64 newPosition)
{
    if (newPosition == position)
        return true;
    if (! seekable || lseek (STDOUT_FILENO, (off_t) newPosition, SEEK_SET) < 0)
        return false;
    position = newPosition;
    return true;
}

bool writeAll (int fileDescriptor, const void* data, size_t bytes)
{
    const auto* p = static_cast<const char*> (data);
    while (bytes > 0)
    {
        const auto n = ::write (fileDescriptor, p, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        bytes -= (size_t) n;
    }
    return true;
}

bool StandardOutputStream::write (const void* data, size_t bytes)
{
    if (! writeAll (STDOUT_FILENO, data, bytes))
        return false;
    position += (juce::int64) bytes;
    return true;
}

bool StandardOutputStream::isTerminal() { return isatty (STDOUT_FILENO) != 0; }
