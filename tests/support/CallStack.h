#pragma once

#include <string>

namespace tandrel::test
{
/** Records the calling thread's return addresses, innermost first; the number
    recorded. Safe inside the replaced operator new (it does not allocate once
    it has run the first time). */
int captureCallStack (void** frames, int maxFrames) noexcept;

/** One line per frame, named as well as the platform allows: demangled symbols
    (with the functions inlined into the frame) on Linux, the demangled function
    from the module's symbol table on Windows; always with module and offset
    (addr2line -e MODULE turns those into file and line). */
std::string describeCallStack (void* const* frames, int depth);
} // namespace tandrel::test
