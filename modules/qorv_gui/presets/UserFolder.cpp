namespace juce::qorv_gui
{

PresetManager::UserFolder::UserFolder (const juce::File& directoryToUse, PresetManager& owner)
    : directory (directoryToUse),
      name (PresetManager::presetNameFromPath (directoryToUse.getFullPathName())),
      manager (&owner)
{
}

bool PresetManager::UserFolder::isListingCurrent (const FolderListing::Stamp& stamp, int depth) const noexcept
{
    return listingReusable && listedDepth == depth && listedStamp == stamp;
}

void PresetManager::UserFolder::rememberListing (const FolderListing::Stamp& stamp, int depth, bool reusable) noexcept
{
    listedStamp = stamp;
    listedDepth = depth;
    listingReusable = reusable;
}

void PresetManager::UserFolder::forgetListing() noexcept
{
    listingReusable = false;
    listedDepth = -1;
}

void PresetManager::UserFolder::addFolderToPack (juce::ZipFile::Builder& builder, const juce::File& base) const
{
    // A file gone since the last scan would make the builder fail half way.
    for (auto* preset : presets)
        if (preset->file.existsAsFile())
            builder.addFile (preset->file, 0, preset->file.getRelativePathFrom (base).replaceCharacter ('\\', '/'));

    for (auto* sub : subfolders)
        sub->addFolderToPack (builder, base);
}

} // namespace juce::qorv_gui
