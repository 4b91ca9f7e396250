#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

/** The sizes the user can draw the editor at, in percent of its 550 x 550
    layout, and the small menu that offers them. The host's own content scale
    multiplies the chosen one. */
namespace InterfaceScale
{
inline constexpr std::array<int, 5> percentChoices { 100, 125, 150, 175, 200 };
inline constexpr int defaultPercent = 100;

bool isChoice (int percent) noexcept;

/** The choice a stored text names ("150"); the default for any other text. */
int percentFromText (const juce::String& text);

/** "150 %". */
juce::String describe (int percent);

inline float factorOf (int percent) noexcept { return (float) percent / 100.0f; }

/** "Interface scale" with the five choices, the current one ticked. Each item's
    id is its percent. */
juce::PopupMenu makeMenu (int currentPercent);
} // namespace InterfaceScale
