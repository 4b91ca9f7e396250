#if ! defined(_WIN32)

 #include "ConsoleHandles.h"

 #include <cerrno>
 #include <fcntl.h>
 #include <sys/stat.h>
 #include <unistd.h>

namespace ConsoleHandles
{
void useBinaryMode() {}

std::int64_t read (int descriptor, void* destination, std::size_t maxBytes)
{
    for (;;)
    {
        const auto n = ::read (descriptor, destination, maxBytes);
        if (n < 0 && errno == EINTR)
            continue;
        return (std::int64_t) n;
    }
}

bool writeAll (int descriptor, const void* data, std::size_t bytes)
{
    const auto* p = static_cast<const char*> (data);
    while (bytes > 0)
    {
        const auto n = ::write (descriptor, p, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        bytes -= (std::size_t) n;
    }
    return true;
}

bool writeText (int descriptor, const char* utf8, std::size_t bytes) { return writeAll (descriptor, utf8, bytes); }

bool isTerminal (int descriptor) { return isatty (descriptor) != 0; }

std::int64_t seekablePosition (int descriptor)
{
    struct stat info {};
    const int flags = fcntl (descriptor, F_GETFL);
    if (fstat (descriptor, &info) != 0 || ! S_ISREG (info.st_mode) || flags == -1 || (flags & O_APPEND) != 0)
        return -1;
    return (std::int64_t) lseek (descriptor, 0, SEEK_CUR);
}

bool seek (int descriptor, std::int64_t position) { return lseek (descriptor, (off_t) position, SEEK_SET) >= 0; }
} // namespace ConsoleHandles

#endif
