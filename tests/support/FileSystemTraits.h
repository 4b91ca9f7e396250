// What the file system under the temporary folder allows, probed once per run.
#pragma once

#include "ScopedTempDir.h"

namespace tandrel::test
{
/** True when symbolic links can be made: on Linux always; on Windows only with
    the privilege to make them (Wine makes none). */
inline bool canMakeSymbolicLinks()
{
    static const bool can = []
    {
        const ScopedTempDir probe;
        return probe.get().createSymbolicLink (probe["link"], true) && probe["link"].isSymbolicLink();
    }();
    return can;
}

/** True when two names differing only in case name two files (not on Windows). */
inline bool namesAreCaseSensitive()
{
    static const bool sensitive = []
    {
        const ScopedTempDir probe;
        return probe["probe"].replaceWithText ("x") && ! probe["PROBE"].exists();
    }();
    return sensitive;
}
} // namespace tandrel::test
