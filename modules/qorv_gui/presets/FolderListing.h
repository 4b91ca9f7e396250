#pragma once

namespace juce::qorv_gui
{

/** One folder of the user preset tree read in a single pass: its preset files
    and its subfolders, each in PresetNameOrder.

    A folder's stamp (its own modification and change times and its identity)
    changes whenever an entry is added to it, removed from it or renamed in it,
    so a listing stays valid while the stamp it was taken with is unchanged. A
    stamp only vouches for changes it can tell apart: file systems keep times in
    steps of up to two seconds, so a listing taken while the folder's latest
    change was still that recent is not reused (isSettledAt). */
struct FolderListing
{
    struct Stamp
    {
        juce::int64 modifiedNs = 0;
        juce::int64 changedNs = 0;
        juce::uint64 identity = 0;

        bool operator== (const Stamp& other) const noexcept
        {
            return modifiedNs == other.modifiedNs && changedNs == other.changedNs && identity == other.identity;
        }

        bool operator!= (const Stamp& other) const noexcept { return ! operator== (other); }

        /** True when the folder's latest change lies far enough before
            listingStart that any later change gives a different stamp. */
        bool isSettledAt (juce::Time listingStart) const noexcept;
    };

    /** Changes closer than this to a listing may share their stamp with it. */
    static constexpr juce::int64 settlingMs = 3000;

    /** The folder's stamp, read with one call; nothing when it is no directory. */
    static std::optional<Stamp> readStamp (const juce::File& directory);

    /** Lists the plain files directly in directory whose names end in suffix
        (compared as the file system compares names; hidden files included)
        and, with withSubfolders, the folders directly in it. Symbolic links
        count as what they lead to; anything else (devices, pipes, broken links)
        is left out. */
    static FolderListing read (const juce::File& directory, const juce::String& suffix, bool withSubfolders);

    juce::Array<juce::File> files;
    juce::Array<juce::File> subfolders;

    /** False when the folder holds symbolic links or could not be read: what a
        link leads to can change without the folder's stamp changing. */
    bool reusable = true;
};

} // namespace juce::qorv_gui
