#pragma once

namespace juce::qorv_gui
{

/** What the loader needs from the preset browser. Called on the message thread only. */
class PresetManager::PresetLoader::PresetDisplay
{
public:
    /** Show or remove the modified mark. */
    virtual void setModified (bool isModified) = 0;

    /** Select the browser's "New" item (menu id 4). */
    virtual void selectNewItem (juce::NotificationType notification) = 0;

protected:
    ~PresetDisplay() = default;
};

} // namespace juce::qorv_gui
