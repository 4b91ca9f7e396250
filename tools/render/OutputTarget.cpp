#include "OutputTarget.h"

#include "StandardStreams.h"
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

    // Hidden, beside the target (same file system, so the final rename is atomic) and unique per render.
    temporary = target.getSiblingFile ("." + target.getFileName() + "-" + juce::String::toHexString (juce::Random().nextInt64()) + ".part");
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

bool OutputTarget::commit (juce::String& error)
{
    if (stream != nullptr)
        stream->flush();

    if (isStandardOutput())
    {
        committed = true;
        return true;
    }

    auto* file = dynamic_cast<juce::FileOutputStream*> (stream.get());
    const bool written = file != nullptr && file->getStatus().wasOk();
    stream.reset();

    if (! written || ! UnfinishedFiles::commit (temporary, target))
    {
        error = "cannot write " + target.getFullPathName();
        return false;
    }
    committed = true;
    return true;
}
