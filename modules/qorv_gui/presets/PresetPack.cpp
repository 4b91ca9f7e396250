#include "PathNames.h"

namespace juce::qorv_gui
{

bool PresetPack::write (const PresetManager::UserFolder& folder, const juce::File& packFile)
{
    juce::ZipFile::Builder builder;
    folder.addFolderToPack (builder, folder.directory);

    juce::TemporaryFile temp (packFile);

    {
        juce::FileOutputStream out (temp.getFile(), 16384);

        if (out.failedToOpen() || ! builder.writeToStream (out, nullptr))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    return temp.overwriteTargetFileWithTemporary();
}

juce::String PresetPack::packNameFromPath (const juce::String& path)
{
    auto name = PathNames::lastPart (path);
    const auto lastDot = name.lastIndexOfChar ('.');
    return lastDot > 0 ? name.substring (0, lastDot) : name;
}

bool PresetPack::isSafeEntryPath (const juce::String& entryPath)
{
    // A name that is not valid UTF-8 breaks the framework's path arithmetic:
    // its parent folder no longer gets shorter, and the walk up the path to
    // the target folder recurses until the stack overflows. Overlong forms
    // count as invalid: the framework reads "C0 AE" as ".".
    if (! Utf8Validity::isWellFormed (entryPath.toRawUTF8(), entryPath.getNumBytesAsUTF8()))
        return false;

    if (entryPath.isEmpty()
        || entryPath.startsWithChar ('/') || entryPath.startsWithChar ('\\')
        || entryPath.startsWithChar ('~')
        || entryPath.containsChar (':')) // drive letters and alternate data streams
        return false;

    for (auto& part : juce::StringArray::fromTokens (entryPath, "/\\", {}))
    {
        if (part == "..")
            return false;
#if JUCE_WINDOWS
        // A device's name would be opened as the device; others would land under another name.
        if (part.isNotEmpty() && part != "." && ! PathNames::windowsCanHold (part))
            return false;
#endif
    }

    return true;
}

namespace
{
/** True when no folder between target (included) and file (included) is a symbolic link. */
bool staysOffLinks (const juce::File& target, const juce::File& file)
{
    for (auto f = file; f.isAChildOf (target); f = f.getParentDirectory())
        if (f.isSymbolicLink())
            return false;

    return ! target.isSymbolicLink();
}

bool extractEntry (juce::ZipFile& zip, int index, const juce::File& target)
{
    const auto* entry = zip.getEntry (index);

    if (entry == nullptr || entry->isSymbolicLink || ! PresetPack::isSafeEntryPath (entry->filename))
        return false;

    const auto path = entry->filename.replaceCharacter ('\\', '/');
    const auto isDirectory = path.endsWithChar ('/');
    const auto destination = target.getChildFile (path.trimCharactersAtEnd ("/"));

    if (! destination.isAChildOf (target) || ! staysOffLinks (target, destination))
        return false;

    if (isDirectory)
        return destination.createDirectory().wasOk();

    if (entry->uncompressedSize < 0
        || entry->uncompressedSize > PresetManager::PresetLoader::maxPresetFileSize
        || destination.isDirectory()
        || ! destination.getParentDirectory().createDirectory().wasOk()
        || ! staysOffLinks (target, destination.getParentDirectory()))
        return false;

    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));

    if (in == nullptr)
        return false;

    // Written beside the destination and moved over it, so an existing file is
    // replaced whole or not at all, and a link at the destination is replaced
    // rather than written through.
    juce::TemporaryFile temp (destination);

    {
        juce::FileOutputStream out (temp.getFile());

        if (out.failedToOpen())
            return false;

        const auto written = out.writeFromInputStream (*in, entry->uncompressedSize + 1);
        out.flush();

        if (written != entry->uncompressedSize || out.getStatus().failed())
            return false;
    }

    if (! temp.overwriteTargetFileWithTemporary())
        return false;

    destination.setLastModificationTime (entry->fileTime);
    return true;
}
} // namespace

bool PresetPack::extractInto (const juce::File& pack, const juce::File& target)
{
    if (! target.isDirectory())
        return false;

    juce::ZipFile zip (pack);

    for (int i = 0; i < zip.getNumEntries(); ++i)
        if (! extractEntry (zip, i, target))
            return false;

    return true;
}

} // namespace juce::qorv_gui
