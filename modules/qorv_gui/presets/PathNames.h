// Path strings as the platform reads them: their last part, and the names it can hold.
#pragma once

namespace juce::qorv_gui::PathNames
{
/** What follows the path's last separator: '/' everywhere, and '\' as well on
    Windows, which takes both in a path. */
inline juce::String lastPart (const juce::String& path)
{
#if JUCE_WINDOWS
    const auto separator = juce::jmax (path.lastIndexOfChar ('/'), path.lastIndexOfChar ('\\'));
#else
    const auto separator = path.lastIndexOfChar ('/');
#endif
    return path.substring (separator + 1);
}

/** Whether Windows stores a file or folder under exactly this name (one part
    of a path): not a device's name (CON, PRN, AUX, NUL, CONIN$, CONOUT$,
    COM0-9, LPT0-9, with any extension and in any letter case), none of the
    characters it refuses, and no trailing dot or space, which it would drop. */
inline bool windowsCanHold (const juce::String& part)
{
    if (part.isEmpty() || part.endsWithChar ('.') || part.endsWithChar (' '))
        return false;

    for (auto p = part.getCharPointer(); ! p.isEmpty(); ++p)
        if (*p < 0x20 || juce::String ("<>:\"/\\|?*").containsChar (*p))
            return false;

    const auto stem = part.upToFirstOccurrenceOf (".", false, false).trimEnd().toUpperCase();
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
        return false;
    return ! ((stem.startsWith ("COM") || stem.startsWith ("LPT")) && stem.length() == 4
              && juce::CharacterFunctions::isDigit (stem[3]));
}
} // namespace juce::qorv_gui::PathNames
