// Opening a deletable output file on POSIX systems, where an open file can always be deleted.
#if ! defined(_WIN32)

 #include "DeletableFileStream.h"

 #include <fcntl.h>
 #include <unistd.h>

// POSIX removes a name, not an open file: deleting it never waits for the writer.
int DeletableFileStream::openDeletable (const juce::File& file)
{
    return ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

void DeletableFileStream::closeDescriptor (int descriptor) { ::close (descriptor); }

#endif
