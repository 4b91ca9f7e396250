#include "OutputTarget.h"

#include "StandardStreams.h"
#include "StreamDevices.h"
#include "UnfinishedFiles.h"

OutputTarget::OutputTarget (const juce::File& targetFile) : target (targetFile) {}

std::unique_ptr<OutputTarget> OutputTarget::standardOutput() { return std::unique_ptr<OutputTarget> (new OutputTarget ({})); }

std::unique_ptr<OutputTarget> OutputTarget::file (const juce::File& target) { return std::unique_ptr<OutputTarget> (new OutputTarget (target)); }

OutputTarget::~OutputTarget()
{
    stream.reset();
    if (temporary != juce::File() && ! committed)
        UnfinishedFiles::discard (temporary);
}

juce::String OutputTarget::describe() const { return isStandardOutput() ? juce::String ("standard output") : target.getFullPathName(); }

juce::OutputStream* OutputTarget::open (juce::String& error)
{
    if (isStandardOutput())
    {
        stream = std::make_unique<StandardOutputStream>();
        return stream.get();
    }

    if (target.isDirectory())
    {
        error = "cannot write " + target.getFullPathName() + ": it is a folder";
        return nullptr;
    }

    if (StreamDevices::isStreamDevice (target))
    {
        streamed = true;
        stream = StreamDevices::openForWriting (target, error);
        return stream.get();
    }

    temporary = target.getSiblingFile (temporaryNameFor());
    auto file = UnfinishedFiles::create (temporary);
    if (file == nullptr)
    {
        temporary = juce::File();
        error = "cannot write " + target.getFullPathName();
        return nullptr;
    }
    stream = std::move (file);
    return stream.get();
}

juce::String OutputTarget::temporaryNameFor()
{
    // Hidden, beside the target (same file system, so the final rename is
    // atomic), unique per render, and short: a target name of up to 255
    // bytes is valid, so the temporary name does not repeat it.
    return ".tandrel-" + juce::String::toHexString (juce::Random().nextInt64()).paddedLeft ('0', 16) + ".part";
}

bool OutputTarget::commit (juce::String& error)
{
    if (stream != nullptr)
        stream->flush();

    if (isStandardOutput() || streamed)
    {
        committed = true;
        return true;
    }

    // A short write (a full disk) shows in the stream's status; the size also
    // catches a file that something else cut short.
    auto* file = dynamic_cast<DeletableFileStream*> (stream.get());
    const bool written = file != nullptr && file->wasOk() && temporary.getSize() == file->getPosition();
    stream.reset();

    if (! written || ! UnfinishedFiles::commit (temporary, target))
    {
        error = "cannot write " + target.getFullPathName();
        return false;
    }
    committed = true;
    return true;
}
