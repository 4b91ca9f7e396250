#pragma once

#include "DeletableFileStream.h"

#include <juce_core/juce_core.h>

#include <memory>

/** Output files being written, each a temporary file beside its target that
    is renamed into place when complete. An interrupt (Ctrl-C, SIGTERM,
    SIGHUP) removes every temporary file still listed, then ends the process
    by the same signal, so an interrupted render leaves no partial output.

    Creating, renaming and removing happen under one lock that the interrupt
    also takes, so a file is never created after the clean-up nor a finished
    output removed by it. */
namespace UnfinishedFiles
{
/** Removes the unfinished files on an interrupt (Interrupts::watch). Call first in main. */
void handleInterrupts();

/** Creates temporary and lists it; nullptr when it cannot be created. An
    interrupt deletes it even while it is being written. */
std::unique_ptr<DeletableFileStream> create (const juce::File& temporary);

/** Moves temporary onto target and forgets it; false when the move failed. */
bool commit (const juce::File& temporary, const juce::File& target);

/** Deletes temporary and forgets it. */
void discard (const juce::File& temporary);

/** A folder this run created for its outputs: an interrupt also removes the
    outputs already moved into it, and then the folder, so an interrupted run
    leaves nothing of its own behind. */
void ownFolder (const juce::File& folder);

/** The run is complete: the owned folder and its outputs stay. */
void keepFolder();
} // namespace UnfinishedFiles
