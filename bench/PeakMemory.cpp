// The process's peak resident memory: getrusage on POSIX, the peak working set on Windows.
#include "PeakMemory.h"

#if defined(_WIN32)
 #include <windows.h>
 #include <psapi.h>

double peakResidentMiB()
{
    PROCESS_MEMORY_COUNTERS counters {};
    counters.cb = sizeof (counters);
    if (! GetProcessMemoryInfo (GetCurrentProcess(), &counters, sizeof (counters)))
        return 0.0;
    return (double) counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}
#else
 #include <sys/resource.h>

double peakResidentMiB()
{
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    return (double) usage.ru_maxrss / 1024.0; // kilobytes on Linux
}
#endif
