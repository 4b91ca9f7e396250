#if defined(_WIN32)

 #include "Interrupts.h"

 #include <windows.h>

 #include <atomic>

namespace
{
std::atomic<void (*)()> cleanUpFunction { nullptr };

// Windows calls this on a thread of its own for each console event.
BOOL WINAPI onConsoleEvent (DWORD event)
{
    switch (event)
    {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            if (auto* cleanUp = cleanUpFunction.load())
                cleanUp();
            ExitProcess ((UINT) STATUS_CONTROL_C_EXIT);
        default:
            return FALSE; // log-off and shut-down reach services only
    }
}
} // namespace

void Interrupts::watch (void (*cleanUp)())
{
    cleanUpFunction = cleanUp;
    SetConsoleCtrlHandler (onConsoleEvent, TRUE);
}

#endif
