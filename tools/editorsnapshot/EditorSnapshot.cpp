// Draws the plug-in's editor, exactly what a host shows in its window, into a
// 550 x 550 PNG for the README. Usage: tandrel-editor-snapshot [output.png]
// (default docs/editor.png). Run it under a display, e.g. xvfb-run.
//
// The picture is deterministic: a fresh processor at its defaults, no user
// preset folder, the embedded fonts, and no window on screen, so no mouse
// pointer hovers a control and the hint line shows its default text.

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "../common/PngFile.h"

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::File output = juce::File::getCurrentWorkingDirectory().getChildFile (argc > 1 ? argv[1] : "docs/editor.png");

    juce::Image snapshot;
    {
        PluginProcessor processor { juce::File() };
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());

        // The editor's thread refreshes the preset browser under the message
        // lock, and the hint line's first polls fill in its default text.
        juce::MessageManager::getInstance()->runDispatchLoopUntil (500);

        snapshot = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    }

    return writePngFile (snapshot, output) ? 0 : 1;
}
