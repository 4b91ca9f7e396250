#pragma once

namespace juce::qorv_gui
{

/** Builds the preset browser's popup menu from the manager: the commands, the
    factory category tree and the user folder tree. The factory and user parts
    share one list of used names, so a user preset never repeats a name already
    in the menu ("Twinkle" becomes "Twinkle (2)", names compared ignoring case). */
struct PresetMenuBuilder
{
    static juce::PopupMenu buildMenu (PresetManager& manager);

    static void addCategoryToMenu (const PresetManager::FactoryCategory& category,
                                   juce::PopupMenu& menu, juce::StringArray& usedNames);

    /** Skips presets whose file has gone since the last scan; subfolders are
        added also when they stay empty. */
    static void addFolderToMenu (const PresetManager::UserFolder& folder,
                                 juce::PopupMenu& menu, juce::StringArray& usedNames);

    /** name, or name followed by " (2)", " (3)" ... until usedNames lacks it. */
    static juce::String uniqueName (const juce::String& name, const juce::StringArray& usedNames);

    /** "Bass//Guitar" -> "Guitar"; a name without "//" stays whole. */
    static juce::String leafName (const juce::String& categoryName);
};

} // namespace juce::qorv_gui
