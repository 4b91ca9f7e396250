#pragma once

namespace juce::qorv_gui
{

/** One preset load in the undo history: the state it applies and the state
    (with the loaded-preset reference) it replaced. */
class PresetManager::PresetLoader::LoadStateUndoableAction : public juce::UndoableAction
{
public:
    LoadStateUndoableAction (PresetLoader& loaderToUse, const juce::MemoryBlock& stateToApply,
                             const juce::MemoryBlock& stateBefore, const Selection& selectionBefore,
                             bool hadPresetReference);
    ~LoadStateUndoableAction() override;

    bool perform() override;
    bool undo() override;

    PresetLoader* loader;
    juce::MemoryBlock newState;
    juce::MemoryBlock oldState;

private:
    bool runStep (const juce::MemoryBlock& state, bool& applied);

    Selection selectionBefore;
    bool hadPresetReference;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoadStateUndoableAction)
};

} // namespace juce::qorv_gui
