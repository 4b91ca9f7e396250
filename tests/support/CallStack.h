#pragma once

#include <string>

namespace tandrel::test
{
/** Records the calling thread's return addresses, innermost first; the number
    recorded. Safe inside the replaced operator new (it does not allocate once
    it has run the first time). */
int captureCallStack (void** frames, int maxFrames) noexcept;

/** One line per frame, named as well as the platform allows: demangled symbols
    on Linux, module and offset on Windows (addr2line -e MODULE turns those
    into names). */
std::string describeCallStack (void* const* frames, int depth);
} // namespace tandrel::test
