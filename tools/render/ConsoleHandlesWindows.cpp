#if defined(_WIN32)

 #include "ConsoleHandles.h"

 #include <windows.h>

 #include <algorithm>
 #include <fcntl.h>
 #include <io.h>
 #include <string>

// The C runtime's descriptors 0 to 2 in binary mode carry the bytes unchanged;
// terminals and file types are asked of the Windows handles beneath them.
namespace ConsoleHandles
{
namespace
{
HANDLE handleOf (int descriptor) { return reinterpret_cast<HANDLE> (_get_osfhandle (descriptor)); }

constexpr unsigned int largestTransfer = 1u << 30; // _read and _write take an unsigned int
} // namespace

void useBinaryMode()
{
    _setmode (input, _O_BINARY);
    _setmode (output, _O_BINARY);
}

std::int64_t read (int descriptor, void* destination, std::size_t maxBytes)
{
    const auto n = _read (descriptor, destination, (unsigned int) (maxBytes < largestTransfer ? maxBytes : largestTransfer));
    return (std::int64_t) n;
}

bool writeAll (int descriptor, const void* data, std::size_t bytes)
{
    const auto* p = static_cast<const char*> (data);
    while (bytes > 0)
    {
        const auto n = _write (descriptor, p, (unsigned int) (bytes < largestTransfer ? bytes : largestTransfer));
        if (n <= 0)
            return false;
        p += n;
        bytes -= (std::size_t) n;
    }
    return true;
}

// A console shows bytes in its code page (437 or 850 in many places), which
// would garble every name outside ASCII: it is given UTF-16 instead, in pieces
// that never split a surrogate pair.
bool writeText (int descriptor, const char* utf8, std::size_t bytes)
{
    if (! isTerminal (descriptor) || bytes == 0 || bytes > largestTransfer)
        return writeAll (descriptor, utf8, bytes);

    const int length = MultiByteToWideChar (CP_UTF8, 0, utf8, (int) bytes, nullptr, 0);
    std::wstring text ((std::size_t) length, L'\0');
    if (length <= 0 || MultiByteToWideChar (CP_UTF8, 0, utf8, (int) bytes, text.data(), length) != length)
        return writeAll (descriptor, utf8, bytes);

    const auto handle = handleOf (descriptor);
    constexpr std::size_t piece = 8192;
    for (std::size_t start = 0; start < text.size();)
    {
        auto count = std::min (piece, text.size() - start);
        if (start + count < text.size() && IS_HIGH_SURROGATE (text[start + count - 1]))
            --count;
        DWORD written = 0;
        if (! WriteConsoleW (handle, text.data() + start, (DWORD) count, &written, nullptr) || written == 0)
            return false;
        start += written;
    }
    return true;
}

// A console, not any character device: _isatty also holds for NUL, which is a
// fine place to send a stream.
bool isTerminal (int descriptor)
{
    DWORD mode = 0;
    const auto handle = handleOf (descriptor);
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode (handle, &mode) != 0;
}

// The console's redirections open files at positions of their own (">>" moves
// to the end first), so every disk file can be patched where it was written.
std::int64_t seekablePosition (int descriptor)
{
    const auto handle = handleOf (descriptor);
    if (handle == INVALID_HANDLE_VALUE || GetFileType (handle) != FILE_TYPE_DISK)
        return -1;
    return (std::int64_t) _lseeki64 (descriptor, 0, SEEK_CUR);
}

bool seek (int descriptor, std::int64_t position) { return _lseeki64 (descriptor, position, SEEK_SET) >= 0; }
} // namespace ConsoleHandles

#endif
