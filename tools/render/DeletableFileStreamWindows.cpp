// Opening a deletable output file on Windows: shared for deletion, as the interrupt clean-up needs.
#if defined(_WIN32)

 #include "DeletableFileStream.h"

 #include <windows.h>

 #include <fcntl.h>
 #include <io.h>

// Sharing the file for deletion lets DeleteFile mark it while it is open; it
// goes when the last handle closes, at the latest when the process ends.
int DeletableFileStream::openDeletable (const juce::File& file)
{
    const auto handle = CreateFileW (file.getFullPathName().toWideCharPointer(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    const int descriptor = _open_osfhandle (reinterpret_cast<intptr_t> (handle), _O_BINARY | _O_WRONLY);
    if (descriptor < 0)
        CloseHandle (handle);
    return descriptor;
}

void DeletableFileStream::closeDescriptor (int descriptor) { _close (descriptor); }

#endif
