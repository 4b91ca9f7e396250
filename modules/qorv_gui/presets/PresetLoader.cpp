namespace juce::qorv_gui
{

/** Carries modified-flag changes made off the message thread to the display.
    It runs only while a display is registered and compares the flag with what
    the display last showed, so the display always ends up showing the flag and
    the thread that changed it never allocates, locks or posts anything. */
class PresetManager::PresetLoader::DisplaySync : private juce::Timer
{
public:
    explicit DisplaySync (PresetLoader& ownerToUse) : owner (ownerToUse) {}
    ~DisplaySync() override { stopTimer(); }

    void attach (PresetDisplay* display)
    {
        shown = owner.modified.load();

        if (display != nullptr)
            startTimer (intervalMs);
        else
            stopTimer();
    }

    /** Message thread: brings the display in line with the flag now. */
    void sync()
    {
        const auto now = owner.modified.load();

        if (now != shown && owner.display != nullptr)
        {
            shown = now;
            owner.display->setModified (now);
        }
    }

private:
    void timerCallback() override { sync(); }

    static constexpr int intervalMs = 25;
    PresetLoader& owner;
    bool shown = false;
};

PresetManager::PresetLoader::PresetLoader (juce::UndoManager* undoManagerToUse, int fileShiftToUse)
    : undoManager (undoManagerToUse),
      fileShift (fileShiftToUse),
      displaySync (std::make_unique<DisplaySync> (*this))
{
    jassert (fileShiftToUse > 0);
}

PresetManager::PresetLoader::~PresetLoader() = default;

//==============================================================================
void PresetManager::PresetLoader::markModified()
{
    if (! modified.exchange (true))
        notifyDisplay();
}

void PresetManager::PresetLoader::clearModified()
{
    if (modified.exchange (false))
        notifyDisplay();
}

void PresetManager::PresetLoader::setModifiedState (bool shouldBeModified)
{
    if (modified.exchange (shouldBeModified) != shouldBeModified)
        notifyDisplay();
}

void PresetManager::PresetLoader::notifyDisplay()
{
    // Off the message thread the display is a component we may not touch; the
    // sync timer picks the change up on the message thread. The check takes no
    // lock: host automation brings markModified here on the audio thread.
    if (isMessageThread())
        displaySync->sync();
}

void PresetManager::PresetLoader::setDisplay (PresetDisplay* newDisplay)
{
    JUCE_ASSERT_MESSAGE_THREAD
    display = newDisplay;
    displaySync->attach (newDisplay);
}

//==============================================================================
bool PresetManager::PresetLoader::saveToFile (const juce::File& file)
{
    const juce::ScopedLock sl (stateLock);

    if (file == juce::File() || ! file.existsAsFile())
        return false;

    const auto wasModified = modified.load();
    clearModified();

    juce::MemoryBlock blob;
    getState (blob, false);
    const auto bytes = PresetFileCodec::encode (blob, fileShift);

    const auto written = FileReplacement::replaceWithData (file, bytes.getData(), bytes.getSize());

    if (! written && wasModified)
        setModifiedState (true);

    return written;
}

bool PresetManager::PresetLoader::loadFromFile (const juce::File& file)
{
    const juce::ScopedLock sl (stateLock);

    if (file == juce::File() || ! file.existsAsFile())
        return false;

    const auto size = file.getSize();

    if (size <= 0 || size > maxPresetFileSize)
        return false;

    juce::FileInputStream in (file);

    if (in.failedToOpen())
        return false;

    juce::MemoryBlock bytes;

    if (in.readIntoMemoryBlock (bytes) != (size_t) size)
        return false;

    return loadStateUndoable (bytes);
}

bool PresetManager::PresetLoader::loadStateUndoable (juce::MemoryBlock& fileBytes)
{
    const juce::ScopedLock sl (stateLock);

    juce::MemoryBlock snapshot;
    getState (snapshot, true);

    fileBytes = PresetFileCodec::decode (fileBytes, fileShift);

    const auto selection = manager != nullptr ? manager->getSelection() : Selection();
    const auto hadReference = manager != nullptr && manager->getLoadedPresetReference().isNotEmpty();
    auto action = std::make_unique<LoadStateUndoableAction> (*this, fileBytes, snapshot, selection, hadReference);

    if (undoManager == nullptr)
        return action->perform();

    return undoManager->perform (action.release());
}

//==============================================================================
void PresetManager::PresetLoader::clearUndoHistory()
{
    if (runningUndoRedoStep)
    {
        // The undo manager owns the step that is running: clearing now would
        // delete it under our feet. The step reports back instead, and the
        // undo manager clears its history once the step has returned.
        clearRequestedByStep = true;
        return;
    }

    if (undoManager != nullptr)
        undoManager->clearUndoHistory();
}

void PresetManager::PresetLoader::replaceModelState (juce::AudioProcessorValueTreeState& tree, const juce::ValueTree& newState)
{
    if (runningUndoRedoStep)
    {
        // Only ever on the message thread, inside an undo or redo, where the
        // tree's own flush timer cannot run; host state calls are kept out by
        // the state lock. Assigning the state is what replaceState does apart
        // from clearing the history.
        tree.state = newState;
        clearUndoHistory();
        return;
    }

    tree.replaceState (newState);
}

} // namespace juce::qorv_gui
