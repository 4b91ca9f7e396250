namespace juce::qorv_gui
{

PresetManager::PresetLoader::LoadStateUndoableAction::LoadStateUndoableAction (PresetLoader& loaderToUse,
                                                                               const juce::MemoryBlock& stateToApply,
                                                                               const juce::MemoryBlock& stateBefore,
                                                                               const Selection& selectionBeforeLoad,
                                                                               bool hadPresetReferenceBefore)
    : loader (&loaderToUse),
      newState (stateToApply),
      oldState (stateBefore),
      selectionBefore (selectionBeforeLoad),
      hadPresetReference (hadPresetReferenceBefore)
{
}

PresetManager::PresetLoader::LoadStateUndoableAction::~LoadStateUndoableAction() = default;

bool PresetManager::PresetLoader::LoadStateUndoableAction::perform()
{
    bool applied = false;
    return runStep (newState, applied);
}

bool PresetManager::PresetLoader::LoadStateUndoableAction::undo()
{
    if (auto* display = loader->getDisplay(); display != nullptr && juce::MessageManager::existsAndIsCurrentThread())
        display->selectNewItem (juce::dontSendNotification);

    const juce::ScopedLock sl (loader->getStateLock());
    bool applied = false;
    const auto result = runStep (oldState, applied);

    // The snapshot's reference makes the earlier preset current again; without
    // one, nothing would, and the browser would name the preset whose values
    // were just undone. Put the earlier selection back instead.
    if (applied && loader->getManager() != nullptr)
        loader->getManager()->restoreSelectionAfterUndo (selectionBefore, hadPresetReference);

    return result;
}

bool PresetManager::PresetLoader::LoadStateUndoableAction::runStep (const juce::MemoryBlock& state, bool& applied)
{
    auto& l = *loader;
    const juce::ScopedLock sl (l.getStateLock());

    // Inside the undo manager's undo or redo this step sits in its history;
    // a history clear requested by setState is then carried out by the undo
    // manager itself after the step returns (it clears when a step returns false).
    const auto insideUndoRedo = l.undoManager != nullptr && l.undoManager->isPerformingUndoRedo();
    const juce::ScopedValueSetter<bool> running (l.runningUndoRedoStep, insideUndoRedo);
    const juce::ScopedValueSetter<bool> requested (l.clearRequestedByStep, false);

    applied = l.setState (state.getData(), (int) state.getSize());

    if (insideUndoRedo && l.clearRequestedByStep)
        return false;

    return applied;
}

} // namespace juce::qorv_gui
