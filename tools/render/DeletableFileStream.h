// An output file that can be deleted by its path while it is still being written.
#pragma once

#include <juce_core/juce_core.h>

/** A new file open for writing that may be deleted by its path while it is
    still open, as the interrupt's clean-up deletes an unfinished render while
    the render still writes it. POSIX systems always allow that; Windows only
    when the file was opened to allow it, which juce::FileOutputStream does not
    do. Written straight through, without a buffer of its own. */
class DeletableFileStream : public juce::OutputStream
{
public:
    /** Creates the file, or empties the one at the path. */
    explicit DeletableFileStream (const juce::File& file);
    ~DeletableFileStream() override;

    bool failedToOpen() const { return descriptor < 0; }
    /** True while every write and move so far succeeded. */
    bool wasOk() const { return ok && ! failedToOpen(); }

    void flush() override {}
    bool setPosition (juce::int64 newPosition) override;
    juce::int64 getPosition() override { return position; }
    bool write (const void* data, size_t bytes) override;

    /** The platform's part: a C runtime descriptor of the new, emptied file,
        opened so that it can be deleted while open; -1 when it cannot be made. */
    static int openDeletable (const juce::File& file);
    static void closeDescriptor (int descriptor);

    DeletableFileStream (const DeletableFileStream&) = delete;
    DeletableFileStream& operator= (const DeletableFileStream&) = delete;

private:
    const int descriptor;
    juce::int64 position = 0;
    bool ok = true;
};
