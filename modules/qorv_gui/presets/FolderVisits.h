#pragma once

namespace juce::qorv_gui
{

/** The real folders one scan of the user preset tree has reached, by
    identity (device and inode), so that a symbolic link is followed only to
    a folder the scan has not reached yet. A link to "." or to a folder above
    it would otherwise be listed again and again down to the deepest level
    (thirty links to "." made 27,930 folders of one). */
class FolderVisits
{
public:
    /** One scan: nested scans (a folder's subfolders) share the outermost one's visits. */
    class Scan
    {
    public:
        explicit Scan (FolderVisits& owner) : visits (owner)
        {
            if (visits.nesting++ == 0)
                visits.reached.clear();
        }

        ~Scan() { --visits.nesting; }

    private:
        FolderVisits& visits;
        JUCE_DECLARE_NON_COPYABLE (Scan)
    };

    void markReached (juce::uint64 identity) { reached.insert (identity); }
    bool wasReached (juce::uint64 identity) const { return reached.count (identity) != 0; }

private:
    std::set<juce::uint64> reached;
    int nesting = 0;
};

} // namespace juce::qorv_gui
