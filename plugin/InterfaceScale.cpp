#include "InterfaceScale.h"

#include <algorithm>

namespace InterfaceScale
{
bool isChoice (int percent) noexcept
{
    return std::find (percentChoices.begin(), percentChoices.end(), percent) != percentChoices.end();
}

int percentFromText (const juce::String& text)
{
    // Only the exact digits of a choice count: "1e3", "150.0" or "-150" are not one.
    for (const int percent : percentChoices)
        if (text.trim() == juce::String (percent))
            return percent;
    return defaultPercent;
}

juce::String describe (int percent) { return juce::String (percent) + " %"; }

juce::PopupMenu makeMenu (int currentPercent)
{
    juce::PopupMenu menu;
    menu.addSectionHeader ("Interface scale");
    for (const int percent : percentChoices)
        menu.addItem (percent, describe (percent), true, percent == currentPercent);
    return menu;
}
} // namespace InterfaceScale
