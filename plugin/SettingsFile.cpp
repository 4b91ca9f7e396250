#include "SettingsFile.h"
#include "ProductIdentity.h"

#include <qorv_gui/qorv_gui.h>

namespace SettingsFile
{
namespace
{
/** The path as the standard library takes it: the framework's text is UTF-8,
    which a plain std::string would be read as in Windows' code page. */
std::filesystem::path pathOf (const juce::File& file)
{
    return std::filesystem::u8path (file.getFullPathName().toRawUTF8());
}

juce::PropertiesFile::Options fileOptions()
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.millisecondsBeforeSaving = -1; // written only by write(), at once
    return options;
}

/** Whether the framework's reader may be given the file. It reads a whole file
    of any size or kind (a FIFO would block it), follows a document type to
    another file and expands entities without bound; a settings document we
    wrote has none of that. */
bool isSafeToRead (const juce::File& file)
{
    std::error_code error;
    const auto path = pathOf (file);
    if (! std::filesystem::is_regular_file (path, error) || error)
        return false;

    const auto size = std::filesystem::file_size (path, error);
    if (error || size == 0 || (juce::int64) size > maximumBytes)
        return false;

    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes) || (juce::int64) bytes.getSize() > maximumBytes)
        return false;

    const auto text = bytes.toString().trimStart();
    return text.startsWithChar ('<') && ! text.containsIgnoreCase ("<!DOCTYPE") && ! text.containsIgnoreCase ("<!ENTITY");
}
} // namespace

juce::File defaultLocation()
{
    const auto dataFolder = juce::qorv_gui::DataFolder::locate (ProductIdentity::vendor(), ProductIdentity::name());
    return dataFolder == juce::File() ? juce::File() : dataFolder.getChildFile (fileName);
}

juce::PropertySet read (const juce::File& file)
{
    juce::PropertySet values;
    if (file == juce::File() || ! isSafeToRead (file))
        return values;

    const juce::PropertiesFile loaded (file, fileOptions());
    if (loaded.isValidFile())
        values.addAllPropertiesFrom (loaded);
    return values;
}

bool write (const juce::File& file, const juce::PropertySet& values)
{
    if (file == juce::File() || file.isDirectory())
        return false;

    // The staging file is new, so nothing is read from it; the framework's save
    // writes it, and the rename replaces the old file in one step.
    const juce::TemporaryFile staging (file);
    juce::PropertiesFile settings (staging.getFile(), fileOptions());
    settings.addAllPropertiesFrom (values);

    const bool saved = settings.save();
    settings.setNeedsToBeSaved (false); // no second attempt when it goes out of scope
    return saved && staging.overwriteTargetFileWithTemporary();
}

Version versionOf (const juce::File& file)
{
    if (file == juce::File())
        return {};

    std::error_code error;
    const auto path = pathOf (file);
    Version version;
    version.size = std::filesystem::file_size (path, error);
    if (error)
        return {};
    version.modified = std::filesystem::last_write_time (path, error);
    if (error)
        return {};
    version.modifiedMilliseconds = file.getLastModificationTime().toMilliseconds();
    version.exists = true;
    return version;
}
} // namespace SettingsFile
