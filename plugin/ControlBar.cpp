#include "ControlBar.h"

#include <BinaryData.h>

ControlBar::ControlBar (juce::qorv_gui::LookAndFeel& lf, juce::qorv_gui::PresetManager& presetManager,
                        juce::Button::Listener* listener, const juce::URL& presetsUrl)
    : lookAndFeel (&lf),
      presetComponent (lf, presetManager, presetsUrl),
      presetScroller (lf, presetComponent),
      undoButton (BinaryData::undo_svg, BinaryData::undo_svgSize, lf.highlightColour, "UndoButton", listener),
      redoButton (BinaryData::redo_svg, BinaryData::redo_svgSize, lf.highlightColour, "RedoButton", listener),
      reloadButton (BinaryData::reload_svg, BinaryData::reload_svgSize, lf.highlightColour, "ReloadButton", listener),
      newButton (BinaryData::new_svg, BinaryData::new_svgSize, lf.highlightColour, "NewButton", listener),
      randomButton (BinaryData::randomPreset_svg, BinaryData::randomPreset_svgSize, lf.highlightColour, "RandomPresetButton",
                    listener)
{
    addAndMakeVisible (presetComponent);
    addAndMakeVisible (presetScroller);
    for (auto* button : { &undoButton, &redoButton, &reloadButton, &newButton, &randomButton })
        addAndMakeVisible (button);
}

void ControlBar::resized()
{
    const float height = (float) getHeight();
    float rest = (float) getWidth();
    float x = 0.0f;

    auto place = [&] (juce::Component* component, float maximumWidth)
    {
        const float width = juce::jmin (rest, maximumWidth);
        if (component != nullptr)
            component->setBounds (juce::Rectangle<float> (x, 0.0f, width, height).toNearestInt());
        x += width;
        rest -= width;
    };

    place (&undoButton, 22.0f);
    place (&redoButton, 22.0f);
    place (nullptr, 8.0f);
    place (&presetComponent, 250.0f);
    place (nullptr, 8.0f);
    place (&presetScroller, 36.3f);
    for (auto* button : { &reloadButton, &newButton, &randomButton })
    {
        place (nullptr, 8.0f);
        place (button, 22.0f);
    }
}
