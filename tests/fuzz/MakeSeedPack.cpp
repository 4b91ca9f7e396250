// Writes a preset pack seed the way the plug-in does: factory preset files in a
// user folder with a subfolder, packed by the preset manager.
// Usage: tandrel_fuzz_seed_pack FACTORY_PRESETS_DIR OUTPUT.td11_pack

#include "PluginProcessor.h"

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: tandrel_fuzz_seed_pack FACTORY_PRESETS_DIR OUTPUT.td11_pack\n");
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    const juce::File factory (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File output (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    const auto scratch = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getChildFile ("tandrel-seed-pack-" + juce::Uuid().toString());
    const auto presets = scratch.getChildFile ("Presets");
    setenv ("TANDREL_DATA_DIR", scratch.getFullPathName().toRawUTF8(), 1);

    const auto bass = presets.getChildFile ("Seeds/deep");
    bass.createDirectory();
    factory.getChildFile ("Bassment.td11").copyFileTo (presets.getChildFile ("Seeds/Bassment.td11"));
    factory.getChildFile ("Charmed.td11").copyFileTo (presets.getChildFile ("Seeds/Charmed.td11"));
    factory.getChildFile ("Chorusing.td11").copyFileTo (bass.getChildFile ("Chorusing.td11"));

    bool written = false;
    {
        PluginProcessor processor (presets);
        written = processor.getPresetManager().createPresetPack (presets.getChildFile ("Seeds"), output);
    }
    scratch.deleteRecursively();
    return written ? 0 : 1;
}
