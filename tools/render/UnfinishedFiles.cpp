#include "UnfinishedFiles.h"

#include <csignal>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

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

// The interrupts this process answers: a signal it was started with ignored
// (nohup, a background job) stays ignored.
sigset_t interruptSignals()
{
    static const sigset_t set = []
    {
        sigset_t handled;
        sigemptyset (&handled);
        for (int s : { SIGINT, SIGTERM, SIGHUP })
        {
            struct sigaction current {};
            if (sigaction (s, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
                sigaddset (&handled, s);
        }
        return handled;
    }();
    return set;
}

void waitForInterrupt()
{
    const auto set = interruptSignals();
    int signalNumber = 0;
    while (sigwait (&set, &signalNumber) != 0)
    {
    }

    auto& r = registry();
    r.lock.lock(); // held until the process ends: nothing new is created or renamed
    for (const auto& path : r.paths)
        ::unlink (path.c_str());
    for (const auto& path : r.ownedOutputs)
        ::unlink (path.c_str());
    if (! r.ownedFolder.empty())
        ::rmdir (r.ownedFolder.c_str());

    const char message[] = "\ntandrel-render: interrupted; unfinished output removed\n";
    [[maybe_unused]] const auto written = ::write (STDERR_FILENO, message, sizeof (message) - 1);

    std::signal (signalNumber, SIG_DFL);
    sigset_t one;
    sigemptyset (&one);
    sigaddset (&one, signalNumber);
    pthread_sigmask (SIG_UNBLOCK, &one, nullptr);
    ::raise (signalNumber);
    ::_exit (128 + signalNumber);
}
} // namespace

namespace UnfinishedFiles
{
void handleInterrupts()
{
    const auto set = interruptSignals();
    if (sigisemptyset (&set) != 0)
        return;
    pthread_sigmask (SIG_BLOCK, &set, nullptr);
    std::thread (waitForInterrupt).detach();
}

std::unique_ptr<juce::FileOutputStream> create (const juce::File& temporary)
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    auto stream = std::make_unique<juce::FileOutputStream> (temporary);
    if (stream->failedToOpen())
        return nullptr;
    r.paths.insert (temporary.getFullPathName().toStdString());
    return stream;
}

bool commit (const juce::File& temporary, const juce::File& target)
{
    auto& r = registry();
    const std::lock_guard<std::mutex> hold (r.lock);
    const bool moved = temporary.replaceFileIn (target); // rename(): the target is replaced in one step
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
