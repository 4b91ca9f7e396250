namespace juce::qorv_gui
{

bool FileReplacement::replaceWithData (const juce::File& target, const void* data, size_t numBytes)
{
    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);
    {
        juce::FileOutputStream out (temporary.getFile());
        if (out.failedToOpen() || ! out.write (data, numBytes))
            return false;

        out.flush();
        if (out.getStatus().failed() || temporary.getFile().getSize() != (juce::int64) numBytes)
            return false;
    }
    return temporary.overwriteTargetFileWithTemporary();
}

} // namespace juce::qorv_gui
