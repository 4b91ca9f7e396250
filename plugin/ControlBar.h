#pragma once

#include <qorv_gui/qorv_gui.h>

/** The editor's one-line strip: undo and redo, the preset browser with its
    arrows, and the reload, new and random buttons. The icon buttons report
    their clicks to the listener given at construction (the editor). */
class ControlBar : public juce::Component
{
public:
    ControlBar (juce::qorv_gui::LookAndFeel& lookAndFeel, juce::qorv_gui::PresetManager& presetManager,
                juce::Button::Listener* buttonListener, const juce::URL& presetsUrl);

    void resized() override;

    juce::qorv_gui::LookAndFeel* lookAndFeel;
    juce::qorv_gui::PresetComponent presetComponent;
    juce::qorv_gui::PresetScroller presetScroller;
    juce::qorv_gui::IconButton undoButton, redoButton, reloadButton, newButton, randomButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlBar)
};
