#pragma once

#include <cstddef>
#include <cstdint>

/** The process's standard input, output and error as the operating system
    hands them over: raw bytes, no line-end translation, no buffering. The one
    place where the platforms differ in how these are read and written. */
namespace ConsoleHandles
{
constexpr int input = 0;
constexpr int output = 1;
constexpr int error = 2;

/** Makes standard input and output carry bytes unchanged (Windows translates
    line ends on them otherwise). Call at the start of main. */
void useBinaryMode();

/** Reads up to maxBytes, retrying after interruptions: the number of bytes
    read, 0 at the end of the stream, -1 when it failed. */
std::int64_t read (int descriptor, void* destination, std::size_t maxBytes);

/** Writes all of data, retrying after interruptions and partial writes; false
    when the descriptor refused it (a closed pipe, a full disk). */
bool writeAll (int descriptor, const void* data, std::size_t bytes);

/** Writes UTF-8 text for a reader: a Windows console is given it as UTF-16,
    which it shows whatever its code page; anywhere else the bytes go as they
    are. False as for writeAll. */
bool writeText (int descriptor, const char* utf8, std::size_t bytes);

/** True when the descriptor is an interactive terminal or console. */
bool isTerminal (int descriptor);

/** The current offset when the descriptor is a regular file that is written
    where it is positioned (not opened for appending); -1 for a pipe, a device
    or an appending file, which must be written strictly in order. */
std::int64_t seekablePosition (int descriptor);

/** Moves a seekable descriptor to an absolute offset. */
bool seek (int descriptor, std::int64_t position);
} // namespace ConsoleHandles
