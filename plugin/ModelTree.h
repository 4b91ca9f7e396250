#pragma once

#include "ParameterLayout.h"
#include "ProductIdentity.h"

namespace detail
{
/** Holds the undo manager so that it exists before the parameter state that
    records into it is built, and outlives it. */
struct ModelTreeUndoHolder
{
    juce::UndoManager undoManager;
};
} // namespace detail

/** The plug-in's parameter state: the framework's value-tree state with its own
    undo manager, the single undo history of the plug-in. */
class ModelTree : private detail::ModelTreeUndoHolder,
                  public juce::AudioProcessorValueTreeState
{
public:
    static inline const juce::Identifier treeType { ProductIdentity::code };

    ModelTree (juce::AudioProcessor& owner, juce::AudioProcessorValueTreeState::ParameterLayout layout)
        : juce::AudioProcessorValueTreeState (owner, &(detail::ModelTreeUndoHolder::undoManager), treeType, std::move (layout))
    {
    }

    juce::UndoManager& getUndoManager() noexcept { return detail::ModelTreeUndoHolder::undoManager; }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModelTree)
};
