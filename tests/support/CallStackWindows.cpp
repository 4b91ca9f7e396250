#if defined(_WIN32)

 #include "CallStack.h"

 #include <windows.h>

 #include <cstdio>

namespace tandrel::test
{
int captureCallStack (void** frames, int maxFrames) noexcept
{
    return (int) CaptureStackBackTrace (0, (DWORD) maxFrames, frames, nullptr);
}

// MinGW's binaries carry no PDB for the system's symbol handler: the module
// and the offset into it are what can be told.
std::string describeCallStack (void* const* frames, int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
    {
        HMODULE module = nullptr;
        char path[MAX_PATH] = "?";
        if (GetModuleHandleExA (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                static_cast<LPCSTR> (frames[i]), &module))
            GetModuleFileNameA (module, path, sizeof (path));
        char line[MAX_PATH + 64];
        std::snprintf (line, sizeof (line), "\n    %s+0x%llx", path,
                       (unsigned long long) (static_cast<const char*> (frames[i]) - reinterpret_cast<const char*> (module)));
        text += line;
    }
    return text;
}
} // namespace tandrel::test

#endif
