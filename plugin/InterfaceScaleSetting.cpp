#include "InterfaceScaleSetting.h"
#include "InterfaceScale.h"

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

int InterfaceScaleSetting::getPercent()
{
    const auto version = SettingsFile::versionOf (file);
    if (! everRead || version != lastSeen)
    {
        percent = InterfaceScale::percentFromText (SettingsFile::read (file).getValue (propertyName));
        lastSeen = version;
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
    lastSeen = SettingsFile::versionOf (file);

    listeners.call ([newPercent] (Listener& l) { l.interfaceScaleChanged (newPercent); });
    return written;
}
