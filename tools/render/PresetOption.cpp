#include "PresetOption.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace
{
using Manager = juce::qorv_gui::PresetManager;

std::u32string charactersOf (const juce::String& text)
{
    std::u32string characters;
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        characters.push_back ((char32_t) p.getAndAdvance());
    return characters;
}

// Indexing a juce::String walks its UTF-8 from the start, so the distance is
// taken over decoded characters.
int editDistance (const std::u32string& a, const std::u32string& b)
{
    std::vector<int> previous (b.size() + 1), current (previous.size());
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = (int) j;

    for (size_t i = 1; i <= a.size(); ++i)
    {
        current[0] = (int) i;
        for (size_t j = 1; j <= b.size(); ++j)
        {
            const int substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = juce::jmin (substitution, previous[j] + 1, current[j - 1] + 1);
        }
        std::swap (previous, current);
    }
    return previous.back();
}

bool looksLikePath (const juce::String& text, const juce::String& extension)
{
    return text.containsChar ('/') || text.containsChar ('\\') || text.endsWithIgnoreCase (extension);
}

juce::StringArray factoryNames (const Manager& manager)
{
    juce::StringArray names;
    for (const auto& [id, preset] : manager.getFactoryPresets())
        names.add (preset.name);
    return names;
}

// Selected as the browser selects it: one undoable step, then the preset is
// current, no user preset is, and nothing is modified yet.
juce::String loadFactoryPreset (PluginProcessor& processor, const Manager::FactoryPreset& preset)
{
    if (! processor.getPresetManager().selectPreset (preset.id))
        return "factory preset \"" + preset.name + "\" could not be loaded";
    return {};
}
} // namespace

juce::StringArray findCloseNames (const juce::String& query, const juce::StringArray& names, int maxResults)
{
    const auto wanted = query.trim().toLowerCase();
    const auto wantedCharacters = charactersOf (wanted);
    const int allowed = juce::jmax (2, (int) wantedCharacters.size() / 3);
    std::vector<std::pair<int, juce::String>> scored;

    for (const auto& name : names)
    {
        const auto candidate = name.toLowerCase();
        const auto candidateCharacters = charactersOf (candidate);
        int distance = std::numeric_limits<int>::max();
        if (wanted.isNotEmpty() && (candidate.contains (wanted) || wanted.contains (candidate)))
            distance = wanted == candidate ? 0 : 1;
        // The distance is at least the difference in length: far longer
        // queries (a mistyped path, a pasted paragraph) cost no comparison.
        else if (std::abs ((int) wantedCharacters.size() - (int) candidateCharacters.size()) <= allowed)
            distance = editDistance (wantedCharacters, candidateCharacters);
        if (distance <= allowed)
            scored.emplace_back (distance, name);
    }

    std::stable_sort (scored.begin(), scored.end(), [] (const auto& a, const auto& b) { return a.first < b.first; });

    juce::StringArray result;
    for (const auto& entry : scored)
        if (result.size() < maxResults)
            result.add (entry.second);
    return result;
}

juce::String applyPresetOption (PluginProcessor& processor, const juce::String& nameOrPath)
{
    auto& manager = processor.getPresetManager();

    if (const auto* preset = std::as_const (manager).findFactoryPreset (nameOrPath))
        return loadFactoryPreset (processor, *preset);

    if (looksLikePath (nameOrPath, manager.getExtension()))
    {
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (nameOrPath);
        if (! file.existsAsFile())
            return "preset file " + file.getFullPathName() + " does not exist";

        const juce::ScopedLock hold (processor.getStateLock());
        if (! manager.openChosenFile (file))
            return "preset file " + file.getFullPathName() + " is not a valid Tandrel preset";
        return {};
    }

    const auto close = findCloseNames (nameOrPath, factoryNames (manager));
    juce::String message = "unknown preset \"" + nameOrPath + "\"";
    if (! close.isEmpty())
        message << "; did you mean: \"" << close.joinIntoString ("\", \"") << "\"?";
    return message << " (--list-presets shows every preset; a preset file is given by its path)";
}

namespace
{
// Rescans the folder first, so the list is what is on disk now.
std::vector<const Manager::UserPreset*> listedUserPresets (Manager& manager)
{
    manager.rescan();
    std::vector<const Manager::UserPreset*> presets;
    for (const auto& [id, preset] : manager.getUserPresets())
        if (manager.isUserPresetId (id))
            presets.push_back (&preset);
    return presets;
}
} // namespace

std::vector<BankEntry> listBank (PluginProcessor& processor, bool includeUser)
{
    auto& manager = processor.getPresetManager();
    const juce::ScopedLock hold (processor.getStateLock());

    std::vector<BankEntry> bank;
    for (const auto& [id, preset] : manager.getFactoryPresets())
        bank.push_back ({ preset.name, preset.name });

    if (includeUser)
        for (const auto* preset : listedUserPresets (manager))
            bank.push_back ({ preset->name, preset->file.getFullPathName() });
    return bank;
}

juce::String describePresets (PluginProcessor& processor)
{
    auto& manager = processor.getPresetManager();
    const juce::ScopedLock hold (processor.getStateLock());

    std::map<int, juce::String> categoryOf;
    for (const auto& [name, category] : manager.getCategories())
        for (const auto* preset : category->presets)
            categoryOf[preset->id] = name;

    // Built in a stream: appending to a String measures it every time.
    juce::MemoryOutputStream text;
    text << "Factory presets:\n";
    for (const auto& [id, preset] : manager.getFactoryPresets())
        text << "  " << preset.name.paddedRight (' ', 28) << "  " << categoryOf[id] << "\n";

    text << "User presets";
    const auto folder = manager.getPresetsFolder();
    if (folder != juce::File())
        text << " (" << folder.getFullPathName() << ")";
    text << ":\n";

    const auto userPresets = listedUserPresets (manager);
    for (const auto* preset : userPresets)
        text << "  " << preset->name.paddedRight (' ', 28) << "  " << preset->file.getFullPathName() << "\n";
    if (userPresets.empty())
        text << "  (none)\n";

    return text.toString();
}
