// Navigation: the arrows' previous and next preset, the Random draw, and which user ids they may land on.

namespace juce::qorv_gui
{

int PresetManager::stepPreset (int direction) const
{
    const juce::ScopedLock sl (getLock());

    if (direction == 0)
        return -1;

    // Only the ids the walk lands on are checked on disk.
    const auto listed = listedUserPresetIds();
    auto isAvailable = [this, &listed] (int id)
    {
        return factoryPresets.count (id) > 0
            || (std::binary_search (listed.begin(), listed.end(), id) && isUserPresetId (id));
    };

    // Without anything to land on, the walk below would never meet currentId
    // again when that lies outside the id range.
    const auto anyAvailable = std::any_of (factoryPresets.begin(), factoryPresets.end(), [&] (auto& p) { return p.first != currentId; })
                           || std::any_of (listed.begin(), listed.end(), [&] (int id) { return id != currentId && isUserPresetId (id); });

    if (! anyAvailable)
        return -1;

    auto n = currentId + direction;

    for (;;)
    {
        if (n != currentId && isAvailable (n))
            return n;

        if (direction > 0)
        {
            if (++n >= nextId)
                n = firstPresetId;
        }
        else
        {
            if (--n < firstPresetId)
                n = nextId - 1;
        }

        if (n == currentId)
            return -1;
    }
}

int PresetManager::randomPresetId (int excludedId)
{
    const juce::ScopedLock sl (getLock());
    std::vector<int> candidates;
    const auto listed = listedUserPresetIds();
    candidates.reserve (factoryPresets.size() + listed.size());

    for (auto& [id, preset] : factoryPresets)
        if (id != excludedId)
            candidates.push_back (id);

    for (auto id : listed)
        if (id != excludedId && isUserPresetId (id))
            candidates.push_back (id);

    if (candidates.size() < 2)
        return -1;

    std::uniform_int_distribution<size_t> draw (0, candidates.size() - 1);
    return candidates[draw (randomEngine)];
}

bool PresetManager::isUserPresetId (int id) const
{
    const auto it = userPresets.find (id);
    return it != userPresets.end()
        && it->second.file.getFullPathName().isNotEmpty()
        && it->second.file.existsAsFile();
}

bool PresetManager::isListedUserPresetId (int id) const
{
    const juce::ScopedLock sl (getLock());
    const auto listed = listedUserPresetIds();
    return std::binary_search (listed.begin(), listed.end(), id) && isUserPresetId (id);
}

std::vector<int> PresetManager::listedUserPresetIds() const
{
    std::vector<int> ids;
    ids.reserve (userPresets.size());

    std::function<void (const UserFolder&)> collect = [&] (const UserFolder& folder)
    {
        for (auto* preset : folder.presets)
            ids.push_back (preset->id);

        for (auto* sub : folder.subfolders)
            collect (*sub);
    };

    if (rootFolder != nullptr)
        collect (*rootFolder);

    std::sort (ids.begin(), ids.end());
    return ids;
}

} // namespace juce::qorv_gui
