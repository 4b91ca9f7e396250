// tandrel-presetgen: writes the factory preset files from the bank's source
// table (plugin/FactoryBank.cpp) into a folder, normally resources/presets/.
// Each file is the state of a fresh instance set to the table's values, stored
// in the preset file format, exactly as "Save" would write it.

#include "FactoryBank.h"
#include "PluginProcessor.h"

#include <iostream>

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;

    if (argc != 2)
    {
        std::cerr << "usage: tandrel-presetgen OUTPUT_FOLDER\n";
        return 2;
    }

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::CharPointer_UTF8 (argv[1]));
    if (! folder.createDirectory())
    {
        std::cerr << "tandrel-presetgen: cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    // No user folder: the presets must not depend on what a user has installed.
    PluginProcessor processor { juce::File() };

    for (const auto& preset : getFactoryBankTable())
    {
        processor.resetToDefault();
        applyFactoryPresetValues (processor.getModelTree(), preset);

        juce::MemoryBlock blob;
        processor.getState (blob, false);
        const auto bytes = juce::qorv_gui::PresetFileCodec::encode (blob, processor.fileShift);

        const auto file = folder.getChildFile (getFactoryPresetFileName (preset.name));
        if (! file.replaceWithData (bytes.getData(), bytes.getSize()))
        {
            std::cerr << "tandrel-presetgen: cannot write " << file.getFullPathName() << "\n";
            return 1;
        }
        std::cout << file.getFileName() << " (" << bytes.getSize() << " bytes)\n";
    }
    return 0;
}
