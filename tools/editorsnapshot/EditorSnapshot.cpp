// Draws the plug-in's editor, exactly what a host shows in its window, into a
// PNG for the README: 550 x 550 pixels at 100 %, 1100 x 1100 at 200 %.
// Usage: tandrel-editor-snapshot [--scale PERCENT] [output.png]
// (PERCENT one of 100, 125, 150, 175, 200, default 100; output default
// docs/editor.png). Run it under a display, e.g. xvfb-run.
//
// The picture is deterministic: a fresh processor at its defaults, no user
// preset folder and no settings file, the embedded fonts, and no window on
// screen, so no mouse pointer hovers a control and the hint line shows its
// default text.

#include "InterfaceScale.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "../common/PngFile.h"

#include <iostream>

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (argv[i]);

    int percent = InterfaceScale::defaultPercent;
    if (const int at = args.indexOf ("--scale"); at >= 0)
    {
        const auto text = args[at + 1];
        percent = InterfaceScale::percentFromText (text);
        if (percent != text.getIntValue() || ! text.containsOnly ("0123456789"))
        {
            std::cerr << "--scale takes one of 100, 125, 150, 175, 200\n";
            return 2;
        }
        args.removeRange (at, 2);
    }
    if (args.size() > 1)
    {
        std::cerr << "usage: tandrel-editor-snapshot [--scale PERCENT] [output.png]\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::File output = juce::File::getCurrentWorkingDirectory().getChildFile (args.isEmpty() ? "docs/editor.png" : args[0]);

    juce::Image snapshot;
    {
        PluginProcessor processor { juce::File() };
        std::unique_ptr<PluginEditor> editor (static_cast<PluginEditor*> (processor.createEditor()));
        editor->chooseInterfaceScale (percent); // no settings file: nothing is written

        // The editor's thread refreshes the preset browser under the message
        // lock, and the hint line's first polls fill in its default text.
        juce::MessageManager::getInstance()->runDispatchLoopUntil (500);

        snapshot = editor->createSnapshotAsShown();
    }

    return writePngFile (snapshot, output) ? 0 : 1;
}
