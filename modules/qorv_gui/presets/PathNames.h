// The last part of a path string, split at every separator the platform takes.
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
} // namespace juce::qorv_gui::PathNames
