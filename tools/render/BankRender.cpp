#include "BankRender.h"

#include "OutputTarget.h"
#include "PresetOption.h"
#include "ProgressBar.h"
#include "RenderJob.h"
#include "ToolReport.h"
#include "UnfinishedFiles.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{
using ToolReport::exitFailure;
using ToolReport::exitOk;
using ToolReport::report;

/** One preset's render and the worker thread running it. */
struct BankJob
{
    int index = 0;
    juce::String fileName;
    std::unique_ptr<RenderJob> job;
    std::thread worker;
    std::atomic<juce::int64> framesWritten { 0 };
    bool finished = false; // guarded by the bank's lock
    bool ok = false;
    juce::String error;
};
} // namespace

namespace
{
bool isSameFile (const juce::File& a, const juce::File& b)
{
    // The identifier (the inode) also sees through links and other spellings of the path.
    return a == b || (a.existsAsFile() && b.existsAsFile() && a.getFileIdentifier() == b.getFileIdentifier());
}
} // namespace

juce::String bankFileName (int index, int bankSize, const juce::String& presetName)
{
    const int digits = juce::jmax (2, juce::String (bankSize).length());
    return juce::String (index + 1).paddedLeft ('0', digits) + " " + presetName.replaceCharacter ('/', '-') + ".wav";
}

int renderAllPresets (const RenderOptions& options)
{
    const auto folder = options.outputDir;
    if (folder.existsAsFile())
    {
        report ("cannot render into " + folder.getFullPathName() + ": it is a file, not a folder");
        return exitFailure;
    }

    std::vector<BankEntry> bank;
    {
        PluginProcessor lister;
        bank = listBank (lister, options.userPresets);
    }
    const int count = (int) bank.size();

    // Every preset after the one that overwrote INPUT would render that one's output.
    if (! options.demo)
        for (int i = 0; i < count; ++i)
            if (const auto target = folder.getChildFile (bankFileName (i, count, bank[(size_t) i].name)); isSameFile (target, options.input))
            {
                report ("cannot render into " + folder.getFullPathName() + ": INPUT " + options.input.getFullPathName()
                        + " has the name of preset " + juce::String (i + 1) + "'s output there and would be overwritten; choose another OUTDIR");
                return exitFailure;
            }

    auto makeJob = [&] (int index)
    {
        auto job = std::make_unique<BankJob>();
        job->index = index;
        job->fileName = bankFileName (index, count, bank[(size_t) index].name);
        job->job = std::make_unique<RenderJob> (options, bank[(size_t) index].selector,
                                                OutputTarget::file (folder.getChildFile (job->fileName)));
        return job;
    };

    // The first preset is set up before anything else: what fails for it (the
    // input, --state, a --set, the folder) fails for all, and nothing is written.
    juce::String error;
    const bool folderIsNew = ! folder.isDirectory();
    if (folderIsNew && ! folder.createDirectory())
    {
        report ("cannot create the folder " + folder.getFullPathName());
        return exitFailure;
    }
    if (folderIsNew)
        UnfinishedFiles::ownFolder (folder);
    auto first = makeJob (0);
    if (! first->job->prepare (error))
    {
        first.reset(); // removes its temporary file, if it got that far
        if (folderIsNew)
            folder.deleteFile();
        UnfinishedFiles::keepFolder();
        report (error);
        return exitFailure;
    }

    const auto length = first->job->getExpectedLength().value_or (0);
    const auto format = first->job->getOutputFormat();
    const int jobs = juce::jlimit (1, count, options.jobs > 0 ? options.jobs : juce::SystemStats::getNumCpus());
    const auto startTime = juce::Time::getMillisecondCounterHiRes();

    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::unique_ptr<BankJob>> running;
    juce::int64 framesOfFinished = 0;
    int next = 1, written = 0;
    juce::StringArray problems, warnings;
    ProgressBar progress (true);

    auto start = [&] (std::unique_ptr<BankJob> bankJob)
    {
        auto* raw = bankJob.get();
        raw->worker = std::thread ([raw, &lock, &changed]
        {
            juce::String failure;
            const bool ok = raw->job->run (failure, [raw] (juce::int64 frames) { raw->framesWritten.store (frames, std::memory_order_relaxed); });
            const std::lock_guard<std::mutex> hold (lock);
            raw->ok = ok;
            raw->error = failure;
            raw->finished = true;
            changed.notify_all();
        });
        running.push_back (std::move (bankJob));
    };

    start (std::move (first));

    while (! running.empty() || next < count)
    {
        // Fill free slots on this thread: processors are built and loaded here.
        while ((int) running.size() < jobs && next < count)
        {
            auto bankJob = makeJob (next++);
            if (bankJob->job->prepare (error))
                start (std::move (bankJob));
            else
                problems.add (bankJob->fileName + ": " + error);
        }

        std::vector<std::unique_ptr<BankJob>> done;
        {
            std::unique_lock<std::mutex> hold (lock);
            changed.wait_for (hold, std::chrono::milliseconds (100), [&]
                              { return std::any_of (running.begin(), running.end(), [] (const auto& j) { return j->finished; }); });
            for (auto it = running.begin(); it != running.end();)
                if ((*it)->finished)
                {
                    done.push_back (std::move (*it));
                    it = running.erase (it);
                }
                else
                    ++it;
        }

        for (auto& bankJob : done)
        {
            bankJob->worker.join();
            framesOfFinished += bankJob->framesWritten.load();
            if (bankJob->ok)
            {
                ++written;
                for (const auto& warning : bankJob->job->getWarnings())
                    warnings.add (bankJob->fileName + ": " + warning);
            }
            else
                problems.add (bankJob->fileName + ": " + bankJob->error);
            bankJob.reset(); // the processor goes on this thread, where it was built
        }

        juce::int64 frames = framesOfFinished;
        for (const auto& bankJob : running)
            frames += bankJob->framesWritten.load (std::memory_order_relaxed);
        if (length > 0)
            progress.show ((double) frames / ((double) length * count), juce::String (written) + "/" + juce::String (count) + " presets");
    }
    progress.finish();
    UnfinishedFiles::keepFolder();

    for (const auto& line : warnings)
        report (line);
    for (const auto& line : problems)
        report (line);

    const auto seconds = (juce::Time::getMillisecondCounterHiRes() - startTime) / 1000.0;
    report ("rendered " + juce::String (written) + " of " + juce::String (count) + " presets into " + folder.getFullPathName() + " ("
            + sampleFormatName (format.sample) + ", " + juce::String (format.channels) + " ch at " + juce::String (format.sampleRate, 0)
            + " Hz, " + juce::String (length) + " samples each) in " + juce::String (seconds, 1) + " s with " + juce::String (jobs)
            + (jobs == 1 ? " job" : " jobs"));
    return problems.isEmpty() ? exitOk : exitFailure;
}
