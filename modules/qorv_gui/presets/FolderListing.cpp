#if JUCE_LINUX || JUCE_BSD || JUCE_MAC
 #include <dirent.h>
 #include <sys/stat.h>
#endif

namespace juce::qorv_gui
{

namespace
{
struct Entry
{
    juce::String name;
    bool isFolder;
};

void sortByName (std::vector<Entry>& entries)
{
    std::sort (entries.begin(), entries.end(), [] (const Entry& a, const Entry& b)
    {
        return PresetNameOrder::compare (a.name, b.name) < 0;
    });
}

bool matchesSuffix (const juce::String& name, const juce::String& suffix)
{
    // The wildcard test the framework's own directory listing applies.
    return name.matchesWildcard ("*" + suffix, ! juce::File::areFileNamesCaseSensitive());
}

#if JUCE_LINUX || JUCE_BSD || JUCE_MAC
 #if JUCE_MAC
juce::int64 nanoseconds (const struct timespec& t) noexcept { return (juce::int64) t.tv_sec * 1000000000 + t.tv_nsec; }
juce::int64 modificationTimeNs (const struct stat& info) noexcept { return nanoseconds (info.st_mtimespec); }
juce::int64 changeTimeNs (const struct stat& info) noexcept       { return nanoseconds (info.st_ctimespec); }
 #else
juce::int64 nanoseconds (const struct timespec& t) noexcept { return (juce::int64) t.tv_sec * 1000000000 + t.tv_nsec; }
juce::int64 modificationTimeNs (const struct stat& info) noexcept { return nanoseconds (info.st_mtim); }
juce::int64 changeTimeNs (const struct stat& info) noexcept       { return nanoseconds (info.st_ctim); }
 #endif

/** Reads the folder with readdir: the entry types come with the names, so
    only symbolic links (and entries of file systems that give no type) cost
    a stat of their own. */
bool readEntries (const juce::File& directory, const juce::String& suffix, bool withSubfolders,
                  std::vector<Entry>& entries, bool& sawLinks)
{
    auto* dir = opendir (directory.getFullPathName().toRawUTF8());

    if (dir == nullptr)
        return false;

    while (auto* entry = readdir (dir))
    {
        const char* rawName = entry->d_name;

        if (rawName[0] == '.' && (rawName[1] == 0 || (rawName[1] == '.' && rawName[2] == 0)))
            continue;

        // A name that is not strictly UTF-8 would make a String the
        // framework's text operations read past the end of.
        if (! Utf8Validity::isWellFormed (rawName, std::strlen (rawName)))
            continue;

        auto isFolder = entry->d_type == DT_DIR;
        auto isFile = entry->d_type == DT_REG;

        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
        {
            sawLinks = sawLinks || entry->d_type == DT_LNK;
            struct stat info;

            if (fstatat (dirfd (dir), rawName, &info, 0) == 0)
            {
                isFolder = S_ISDIR (info.st_mode);
                isFile = S_ISREG (info.st_mode);
            }
        }

        if (isFolder && withSubfolders)
            entries.push_back ({ juce::String::fromUTF8 (rawName), true });
        else if (isFile)
            if (auto name = juce::String::fromUTF8 (rawName); matchesSuffix (name, suffix))
                entries.push_back ({ std::move (name), false });
    }

    closedir (dir);
    return true;
}
#else
bool readEntries (const juce::File& directory, const juce::String& suffix, bool withSubfolders,
                  std::vector<Entry>& entries, bool& sawLinks)
{
    if (! directory.isDirectory())
        return false;

    for (const auto& entry : juce::RangedDirectoryIterator (directory, false, "*", juce::File::findFilesAndDirectories))
    {
        const auto file = entry.getFile();
        sawLinks = sawLinks || file.isSymbolicLink();

        if (entry.isDirectory())
        {
            if (withSubfolders)
                entries.push_back ({ file.getFileName(), true });
        }
        else if (matchesSuffix (file.getFileName(), suffix))
        {
            entries.push_back ({ file.getFileName(), false });
        }
    }

    return true;
}
#endif
} // namespace

bool FolderListing::Stamp::isSettledAt (juce::Time listingStart) const noexcept
{
    const auto latestMs = juce::jmax (modifiedNs, changedNs) / 1000000;
    return latestMs <= listingStart.toMilliseconds() - settlingMs;
}

std::optional<FolderListing::Stamp> FolderListing::readStamp (const juce::File& directory)
{
#if JUCE_LINUX || JUCE_BSD || JUCE_MAC
    struct stat info;

    if (directory.getFullPathName().isEmpty()
        || stat (directory.getFullPathName().toRawUTF8(), &info) != 0
        || ! S_ISDIR (info.st_mode))
        return std::nullopt;

    return Stamp { modificationTimeNs (info), changeTimeNs (info), ((juce::uint64) info.st_dev << 32) ^ (juce::uint64) info.st_ino };
#else
    if (! directory.isDirectory())
        return std::nullopt;

    return Stamp { directory.getLastModificationTime().toMilliseconds() * 1000000,
                   directory.getCreationTime().toMilliseconds() * 1000000,
                   directory.getFileIdentifier() };
#endif
}

FolderListing FolderListing::read (const juce::File& directory, const juce::String& suffix, bool withSubfolders)
{
    FolderListing listing;
    std::vector<Entry> entries;
    auto sawLinks = false;

    if (! readEntries (directory, suffix, withSubfolders, entries, sawLinks))
    {
        listing.reusable = false;
        return listing;
    }

    sortByName (entries);

    // Joined as the framework's own listing joins them: getChildFile would read
    // a name such as "~x" as a path of its own.
    const auto prefix = directory.getFullPathName().trimCharactersAtEnd (juce::File::getSeparatorString())
                      + juce::File::getSeparatorString();

    for (const auto& entry : entries)
        (entry.isFolder ? listing.subfolders : listing.files).add (juce::File::createFileWithoutCheckingPath (prefix + entry.name));

    listing.reusable = ! sawLinks;
    return listing;
}

} // namespace juce::qorv_gui
