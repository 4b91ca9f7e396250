#include "InterfaceScaleSetting.h"
#include "InterfaceScale.h"
#include "SettingsFile.h"

#include <map>
#include <memory>

InterfaceScaleSetting& InterfaceScaleSetting::forFile (const juce::File& settingsFile)
{
    JUCE_ASSERT_MESSAGE_THREAD

    // Kept for the whole session, so a choice that could not be written still
    // holds for the editors opened after the one it was made in.
    static std::map<juce::String, std::unique_ptr<InterfaceScaleSetting>> settings;

    auto& setting = settings[settingsFile.getFullPathName()];
    if (setting == nullptr)
        setting.reset (new InterfaceScaleSetting (settingsFile));
    return *setting;
}

InterfaceScaleSetting::InterfaceScaleSetting (const juce::File& settingsFile)
    : file (settingsFile), percent (InterfaceScale::defaultPercent)
{
}

InterfaceScaleSetting::FileStamp InterfaceScaleSetting::stampOfFile() const
{
    // The file system's own times: the framework's are whole seconds, and two
    // writes within one second must still be told apart.
    std::error_code error;
    const std::filesystem::path path (file.getFullPathName().toStdString());
    FileStamp stamp;
    stamp.size = std::filesystem::file_size (path, error);
    if (error)
        return {};
    stamp.modified = std::filesystem::last_write_time (path, error);
    if (error)
        return {};
    stamp.exists = true;
    return stamp;
}

int InterfaceScaleSetting::getPercent()
{
    const auto stamp = stampOfFile();
    if (! everRead || ! (stamp == lastSeen))
    {
        percent = InterfaceScale::percentFromText (SettingsFile::read (file).getValue (propertyName));
        lastSeen = stamp;
        everRead = true;
    }
    return percent;
}

bool InterfaceScaleSetting::choose (int newPercent)
{
    if (! InterfaceScale::isChoice (newPercent))
        return false;

    percent = newPercent;
    everRead = true;

    // Other settings in the file stay; an unusable file is replaced.
    auto values = SettingsFile::read (file);
    values.setValue (propertyName, newPercent);
    const bool written = SettingsFile::write (file, values);

    // An unwritten choice holds until the file itself changes.
    lastSeen = stampOfFile();

    listeners.call ([newPercent] (Listener& l) { l.interfaceScaleChanged (newPercent); });
    return written;
}
