#include "StreamDevices.h"

#if ! defined(_WIN32)

 #include "ConsoleHandles.h"

 #include <cerrno>
 #include <cstring>
 #include <fcntl.h>
 #include <sys/stat.h>
 #include <unistd.h>

namespace
{
/** A device's descriptor as a juce::OutputStream, written strictly in order. */
class DeviceOutputStream : public juce::OutputStream
{
public:
    explicit DeviceOutputStream (int descriptorToOwn) : descriptor (descriptorToOwn) {}
    ~DeviceOutputStream() override { ::close (descriptor); }

    void flush() override {}
    bool setPosition (juce::int64 newPosition) override { return newPosition == position; }
    juce::int64 getPosition() override { return position; }

    bool write (const void* data, size_t bytes) override
    {
        if (! ConsoleHandles::writeAll (descriptor, data, bytes))
            return false;
        position += (juce::int64) bytes;
        return true;
    }

private:
    const int descriptor;
    juce::int64 position = 0;
};
} // namespace

namespace StreamDevices
{
bool isStreamDevice (const juce::File& path)
{
    struct stat info {};
    return ::stat (path.getFullPathName().toRawUTF8(), &info) == 0 && ! S_ISREG (info.st_mode) && ! S_ISDIR (info.st_mode);
}

std::unique_ptr<juce::OutputStream> openForWriting (const juce::File& path, juce::String& error)
{
    // Opening a FIFO waits for its reader, as writing to a pipe does.
    const int descriptor = ::open (path.getFullPathName().toRawUTF8(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
    {
        error = "cannot write " + path.getFullPathName() + ": " + juce::String (std::strerror (errno));
        return nullptr;
    }
    return std::make_unique<DeviceOutputStream> (descriptor);
}
} // namespace StreamDevices

#else

// Windows names its devices (NUL, CON, COM1...) in every folder; a render to
// them is left to the file target there.
namespace StreamDevices
{
bool isStreamDevice (const juce::File&) { return false; }

std::unique_ptr<juce::OutputStream> openForWriting (const juce::File& path, juce::String& error)
{
    error = "cannot write " + path.getFullPathName() + ": not a file";
    return nullptr;
}
} // namespace StreamDevices

#endif
