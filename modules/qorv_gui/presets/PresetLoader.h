#pragma once

namespace juce::qorv_gui
{

/** The seam between the preset system and the audio processor, which derives
    from it and implements getState/setState/resetToDefault.

    The loader owns the "modified" flag (written from any thread, so atomic),
    the registered display, the undo manager preset loads are recorded in and
    the bit shift of preset files.

    State lock: getStateLock() serialises state calls with preset operations.
    The processor takes it in getStateInformation/setStateInformation (host
    threads); the loader and the manager take it in their message-thread
    operations. It is recursive, so setState called from a load may take it
    again. It is never to be taken on the audio thread: markModified, the only
    call the audio thread makes, touches nothing but the atomic flag. */
class PresetManager::PresetLoader
{
public:
    class PresetDisplay;
    class LoadStateUndoableAction;

    /** Any positive constant works; the factory preset files are made with it. */
    static constexpr int defaultFileShift = 5;

    /** Preset files are a few hundred bytes; anything far beyond is not ours. */
    static constexpr juce::int64 maxPresetFileSize = 16 * 1024 * 1024;

    explicit PresetLoader (juce::UndoManager* undoManagerToUse = nullptr, int fileShiftToUse = defaultFileShift);

    //==============================================================================
    virtual void getState (juce::MemoryBlock& destination, bool includePresetInfo) = 0;
    virtual bool setState (const void* data, int size) = 0;
    virtual void resetToDefault() = 0;

    //==============================================================================
    /** On any thread: sets modified and has the display show it (at once on the
        message thread, asynchronously from any other thread). */
    void markModified();

    /** The clearing rule: if modified is set, clear it and tell the display. */
    void clearModified();

    /** Sets modified to the given value, telling the display when it changes. */
    void setModifiedState (bool shouldBeModified);

    bool isModified() const noexcept { return modified.load(); }

    /** Message thread only. The display registers itself when it is created and
        passes nullptr before it is destroyed; pending updates are then dropped. */
    void setDisplay (PresetDisplay* newDisplay);
    PresetDisplay* getDisplay() const noexcept { return display; }

    //==============================================================================
    /** Writes the current state (without the loaded-preset reference) as a preset
        file, replacing an existing file atomically. Clears modified on success. */
    bool saveToFile (const juce::File& file);

    /** Reads a preset file and applies it as one undoable step. */
    bool loadFromFile (const juce::File& file);

    /** Unshifts fileBytes in place and applies them through the undo manager as
        one LoadStateUndoableAction. False, with nothing recorded, when the bytes
        are not a valid state. */
    bool loadStateUndoable (juce::MemoryBlock& fileBytes);

    //==============================================================================
    /** Clears the undo history, safely also from inside a load step that the undo
        manager is undoing or redoing: the step then finishes by reporting back
        and the undo manager clears its history after the step has returned. */
    void clearUndoHistory();

    /** The equivalent of AudioProcessorValueTreeState::replaceState whose history
        clearing goes through clearUndoHistory(), for the processor's setState. */
    void replaceModelState (juce::AudioProcessorValueTreeState& tree, const juce::ValueTree& newState);

    /** True while a load step runs inside the undo manager's undo or redo. */
    bool isRunningUndoRedoStep() const noexcept { return runningUndoRedoStep; }

    juce::CriticalSection& getStateLock() const noexcept { return stateLock; }
    PresetManager* getManager() const noexcept { return manager; }

    //==============================================================================
    std::atomic<bool> modified { false };
    juce::UndoManager* undoManager = nullptr;
    const int fileShift;

protected:
    ~PresetLoader();

private:
    friend class PresetManager;
    class DisplaySync;

    void notifyDisplay();

    PresetDisplay* display = nullptr;
    std::unique_ptr<DisplaySync> displaySync;
    PresetManager* manager = nullptr; // set by the manager while it lives
    mutable juce::CriticalSection stateLock;
    bool runningUndoRedoStep = false;
    bool clearRequestedByStep = false;

    JUCE_DECLARE_NON_COPYABLE (PresetLoader)
};

} // namespace juce::qorv_gui
