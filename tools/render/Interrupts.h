#pragma once

/** Interrupts of the process (Ctrl-C and its kin): the one place where the
    platforms differ in how they arrive and how an interrupted process ends. */
namespace Interrupts
{
/** From now on an interrupt runs cleanUp on a thread of its own and then ends
    the process the way that interrupt ends a program on this platform: on
    POSIX systems SIGINT, SIGTERM and SIGHUP (each unless the process was
    started with it ignored) are blocked in the calling thread and every thread
    started later, and the process dies by the signal; on Windows the console's
    Ctrl-C, Ctrl-Break and close events end it with STATUS_CONTROL_C_EXIT.
    Call first in main, before any other thread exists. */
void watch (void (*cleanUp)());
} // namespace Interrupts
