namespace juce::qorv_gui
{

namespace
{
constexpr int creationAttempts = 5;
constexpr int retryDelayMs = 100;
} // namespace

juce::Array<juce::File> DataFolder::searchLocations()
{
    juce::Array<juce::File> roots;

    for (auto type : { juce::File::globalApplicationsDirectory,
                       juce::File::commonApplicationDataDirectory,
                       juce::File::commonDocumentsDirectory })
        roots.add (juce::File::getSpecialLocation (type));

    roots.addArray (creationLocations());
    return roots;
}

juce::Array<juce::File> DataFolder::creationLocations()
{
    juce::Array<juce::File> roots;

    for (auto type : { juce::File::userApplicationDataDirectory,
                       juce::File::userDocumentsDirectory,
                       juce::File::userHomeDirectory })
        roots.add (juce::File::getSpecialLocation (type));

    return roots;
}

juce::File DataFolder::locateIn (const juce::Array<juce::File>& searchRoots, const juce::Array<juce::File>& creationRoots,
                                 const juce::String& vendor, const juce::String& product)
{
    auto folderIn = [&] (const juce::File& root)
    {
        return root == juce::File() ? juce::File() : root.getChildFile (vendor).getChildFile (product);
    };

    for (auto& root : searchRoots)
        if (auto folder = folderIn (root); folder != juce::File() && folder.isDirectory())
            return folder;

    for (auto& root : creationRoots)
        if (auto folder = folderIn (root); folder != juce::File() && createDirectoryWithRetry (folder))
            return folder;

    return {};
}

juce::File DataFolder::locate (const juce::String& vendor, const juce::String& product)
{
    const auto overridePath = juce::SystemStats::getEnvironmentVariable (overrideVariable, {});

    if (overridePath.isNotEmpty())
    {
        if (! juce::File::isAbsolutePath (overridePath))
            return {};
        const juce::File folder (overridePath);
        return createDirectoryWithRetry (folder) ? folder : juce::File();
    }

    return locateIn (searchLocations(), creationLocations(), vendor, product);
}

juce::String DataFolder::relativeOverride()
{
    const auto overridePath = juce::SystemStats::getEnvironmentVariable (overrideVariable, {});
    return overridePath.isNotEmpty() && ! juce::File::isAbsolutePath (overridePath) ? overridePath : juce::String();
}

juce::File DataFolder::presetsFolderOf (const juce::File& dataFolder)
{
    if (dataFolder == juce::File())
        return {};

    const auto presets = dataFolder.getChildFile ("Presets");
    return createDirectoryWithRetry (presets) ? presets : juce::File();
}

bool DataFolder::createDirectoryWithRetry (const juce::File& directory)
{
    for (int attempt = 0; attempt < creationAttempts; ++attempt)
    {
        if (directory.isDirectory() || directory.createDirectory().wasOk())
            return directory.isDirectory();

        if (attempt + 1 < creationAttempts)
            juce::Thread::sleep (retryDelayMs);
    }

    return false;
}

bool DataFolder::createFileWithRetry (const juce::File& file)
{
    for (int attempt = 0; attempt < creationAttempts; ++attempt)
    {
        if (file.existsAsFile() || (! file.exists() && file.create().wasOk()))
            return file.existsAsFile();

        if (file.isDirectory() || juce::Thread::currentThreadShouldExit() || attempt + 1 == creationAttempts)
            break;

        juce::Thread::sleep (retryDelayMs);
    }

    return false;
}

juce::File DataFolder::findPresetsFolder (const juce::String& vendor, const juce::String& product)
{
    return presetsFolderOf (locate (vendor, product));
}

} // namespace juce::qorv_gui
