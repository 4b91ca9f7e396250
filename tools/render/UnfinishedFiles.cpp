#include "UnfinishedFiles.h"

#include "ConsoleHandles.h"
#include "Interrupts.h"

#include <mutex>
#include <set>

namespace
{
struct Registry
{
    std::mutex lock;
    std::set<std::string> paths;
    std::string ownedFolder;           // empty when none
    std::set<std::string> ownedOutputs; // committed into the owned folder
};

// Never destroyed: the interrupt thread may still use it while the process exits.
Registry& registry()
{
    static auto* instance = new Registry();
    return *instance;
}

// Runs on the interrupt's own thread.
void removeUnfinished()
{
    auto& r = registry();
    r.lock.lock(); // held until the process ends: nothing new is created or renamed
    for (const auto& path : r.paths)
        juce::File (juce::String::fromUTF8 (path.c_str())).deleteFile();
    for (const auto& path : r.ownedOutputs)
        juce::File (juce::String::fromUTF8 (path.c_str())).deleteFile();
    if (! r.ownedFolder.empty())
        juce::File (juce::String::fromUTF8 (r.ownedFolder.c_str())).deleteFile(); // only when nothing else is in it

    const char message[] = "\ntandrel-render: interrupted; unfinished output removed\n";
    ConsoleHandles::writeAll (ConsoleHandles::error, message, sizeof (message) - 1);
}
} // namespace

namespace UnfinishedFiles
{
void handleInterrupts() { Interrupts::watch (removeUnfinished); }

std::unique_ptr<DeletableFileStream> create (const juce::File& temporary)
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    auto stream = std::make_unique<DeletableFileStream> (temporary);
    if (stream->failedToOpen())
        return nullptr;
    r.paths.insert (temporary.getFullPathName().toStdString());
    return stream;
}

bool commit (const juce::File& temporary, const juce::File& target)
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    const bool moved = temporary.replaceFileIn (target); // the target is replaced in one step
    if (moved)
    {
        r.paths.erase (temporary.getFullPathName().toStdString());
        if (! r.ownedFolder.empty() && target.getParentDirectory().getFullPathName().toStdString() == r.ownedFolder)
            r.ownedOutputs.insert (target.getFullPathName().toStdString());
    }
    return moved;
}

void discard (const juce::File& temporary)
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    temporary.deleteFile();
    r.paths.erase (temporary.getFullPathName().toStdString());
}

void ownFolder (const juce::File& folder)
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    r.ownedFolder = folder.getFullPathName().toStdString();
    r.ownedOutputs.clear();
}

void keepFolder()
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    r.ownedFolder.clear();
    r.ownedOutputs.clear();
}
} // namespace UnfinishedFiles
