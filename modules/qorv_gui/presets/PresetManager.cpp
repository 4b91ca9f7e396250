// The preset manager's construction and the accessors its parts share; each job lives in a PresetManager*.cpp beside it.

namespace juce::qorv_gui
{

PresetManager::PresetManager (PresetLoader& loaderToUse, const juce::String& pluginCode, const juce::File& presetsFolder)
    : extension (extensionFor (pluginCode)),
      packExtension (extension + "_pack"),
      loader (loaderToUse),
      randomEngine (std::random_device{}())
{
    loader.manager = this;

    if (presetsFolder.isDirectory())
        setUserFolder (presetsFolder);
}

juce::String PresetManager::extensionFor (const juce::String& pluginCode)
{
    const auto lower = pluginCode.toLowerCase();
    return lower.startsWithChar ('.') ? lower : "." + lower;
}

PresetManager::~PresetManager()
{
    if (loader.manager == this)
        loader.manager = nullptr;
}

const juce::CriticalSection& PresetManager::getLock() const noexcept
{
    return loader.getStateLock();
}

juce::File PresetManager::getPresetsFolder() const
{
    return rootFolder != nullptr ? rootFolder->directory : juce::File();
}

} // namespace juce::qorv_gui
