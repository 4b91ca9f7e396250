#pragma once

namespace juce::qorv_gui
{

/** Builds the preset browser's popup menu from the manager: the commands, the
    factory category tree and the user folder tree. The factory and user parts
    share one list of used names, so a user preset never repeats a name already
    in the menu ("Twinkle" becomes "Twinkle (2)", names compared ignoring case). */
struct PresetMenuBuilder
{
    /** The names already in the menu, compared ignoring case. Lookups cost
        the same however many presets the menu lists, and a name that many
        folders share takes its next counter without retrying the taken ones. */
    class UsedNames
    {
    public:
        void add (const juce::String& name);

        /** name when the menu holds nothing equal to it ignoring case, else the
            first of name followed by " (2)", " (3)" ... that it does not hold;
            the text given back counts as used from then on. */
        juce::String claim (const juce::String& name);

    private:
        static juce::String keyOf (const juce::String& name) { return name.toUpperCase(); } // as equalsIgnoreCase compares

        std::unordered_set<juce::String> keys;
        // Names only ever join the menu, so a counter once found taken stays taken.
        std::unordered_map<juce::String, int> lastCounters;
    };

    /** Whether each user preset's file is looked at before it is listed. Right
        after a rescan the tree's lists are what is on disk, and looking again
        would cost a file system call per preset. */
    enum class FileCheck
    {
        checkEachFile,
        trustLastScan
    };

    static juce::PopupMenu buildMenu (PresetManager& manager, FileCheck fileCheck = FileCheck::checkEachFile);

    static void addCategoryToMenu (const PresetManager::FactoryCategory& category,
                                   juce::PopupMenu& menu, UsedNames& usedNames);

    /** Skips presets whose file has gone since the last scan (unless told to
        trust it); subfolders are added also when they stay empty. */
    static void addFolderToMenu (const PresetManager::UserFolder& folder, juce::PopupMenu& menu,
                                 UsedNames& usedNames, FileCheck fileCheck = FileCheck::checkEachFile);

    /** "Bass//Guitar" -> "Guitar"; a name without "//" stays whole. */
    static juce::String leafName (const juce::String& categoryName);
};

} // namespace juce::qorv_gui
