#include "RealtimeGuard.h"

#include "CallStack.h"

namespace tandrel::test
{
std::string RealtimeGuard::finish()
{
    detail::setHeapForbidden (false);
    const auto offence = detail::takeHeapOffence();
    detail::setHeapForbidden (wasForbidden);

    if (offence.kind == HeapOffence::Kind::none)
        return {};

    std::string text = offence.kind == HeapOffence::Kind::allocation
                           ? "allocation of " + std::to_string (offence.size) + " bytes on the audio thread"
                           : std::string ("deallocation on the audio thread");

    // The first frames are the replaced operator and its recorder (fewer when inlined).
    return text + describeCallStack (offence.frames, offence.depth);
}
} // namespace tandrel::test
