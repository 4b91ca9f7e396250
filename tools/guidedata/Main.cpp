// Writes the numbers behind the user guide's figures, all taken from the
// product: one group of segments through one stage of the engine, and
// spectra of the demo signal rendered through the processor at a few settings
// of each control and through every factory preset.
// Usage: tandrel-guide-data OUTDIR
//   OUTDIR/stage.json     the group: input, segment values, mirrored pairs, rebuilt output
//   OUTDIR/controls.json  one spectrum figure per control
//   OUTDIR/presets.json   the factory bank in bank order with its spectra
//   OUTDIR/routing.json   the delays of the signal-flow diagram
// tools/guidedata/draw_figures.py plots them (scripts/guide runs both).

#include "BandSpectrum.h"
#include "StageGroup.h"

#include "DemoSignal.h"
#include "FactoryBank.h"
#include "ParameterAssignment.h"
#include "PluginProcessor.h"
#include "PresetOption.h"
#include "Renderer.h"

#include <iostream>

namespace
{
constexpr double sampleRate = 44100.0;

struct Setting
{
    const char* label; // UTF-8
    juce::StringArray assignments; // "ID=VALUE" on top of the defaults
};

struct ControlFigure
{
    juce::String name;
    std::vector<Setting> settings;
};

// What each control's figure compares: the defaults are stage 1 at N 31,
// 11 us, Seg Mix 100 %, stages 2 and 3 silent, Series, Tone 75.
const std::vector<ControlFigure>& controlFigures()
{
    static const std::vector<ControlFigure> figures {
        { "nsegs", { { "N Segs 4", { "1- N Segs=4" } },
                     { "N Segs 31 (default)", {} },
                     { "N Segs 91", { "1- N Segs=91" } } } },
        { "segsize", { { "Seg Size 2 \xc2\xb5s", { "1- Seg Size=2" } },
                       { "Seg Size 11 \xc2\xb5s (default)", {} },
                       { "Seg Size 48 \xc2\xb5s", { "1- Seg Size=48" } } } },
        { "segmix", { { "Seg Mix 50 %", { "1- Seg Mix=50" } },
                      { "Seg Mix 100 % (default)", {} },
                      { "Seg Mix 120 %", { "1- Seg Mix=120" } } } },
        { "tone", { { "Tone 0", { "Tone=0" } },
                    { "Tone 50", { "Tone=50" } },
                    { "Tone 75 (default)", {} },
                    { "Tone 100", { "Tone=100" } } } },
        { "mode", { { "Series", { "2- N Segs=12", "2- Seg Size=30", "2- Seg Mix=60" } },
                    { "Parallel", { "2- N Segs=12", "2- Seg Size=30", "2- Seg Mix=60", "Mode=Parallel" } } } },
        { "stages", { { "stage 1 on (default)", {} },
                      { "stages 1 and 2 on", { "2- Seg Mix=100" } },
                      { "stages 1, 2 and 3 on", { "2- Seg Mix=100", "3- Seg Mix=100" } } } },
    };
    return figures;
}

juce::Array<juce::var> toVarArray (const std::vector<double>& values)
{
    juce::Array<juce::var> result;
    for (const double v : values)
        result.add (v);
    return result;
}

juce::var spectrumEntry (const juce::String& label, const BandSpectrum& spectrum, const BandSpectrum& dry)
{
    auto* entry = new juce::DynamicObject();
    entry->setProperty ("label", label);
    entry->setProperty ("rms", spectrum.rmsLevel);
    entry->setProperty ("levelChange", BandSpectrum::rounded (spectrum.rmsLevel - dry.rmsLevel));
    entry->setProperty ("bands", toVarArray (spectrum.bandLevels));
    return juce::var (entry);
}

/** Renders the demo through a fresh processor (latency compensated, 512-sample blocks). */
BandSpectrum renderSpectrum (const juce::AudioBuffer<float>& demo, const std::function<juce::String (PluginProcessor&)>& setUp)
{
    PluginProcessor processor { juce::File() };
    Renderer::configureLayout (processor, demo.getNumChannels());
    if (const auto error = setUp (processor); error.isNotEmpty())
    {
        std::cerr << "tandrel-guide-data: " << error << "\n";
        std::exit (2);
    }
    return BandSpectrum::of (Renderer().render (processor, demo, sampleRate), sampleRate);
}

juce::var describeControls (const juce::AudioBuffer<float>& demo, const BandSpectrum& dry)
{
    auto* root = new juce::DynamicObject();
    root->setProperty ("bandCentres", toVarArray (dry.bandCentres));
    root->setProperty ("dry", spectrumEntry ("dry", dry, dry));

    juce::Array<juce::var> figures;
    for (const auto& figure : controlFigures())
    {
        juce::Array<juce::var> curves;
        for (const auto& setting : figure.settings)
        {
            const auto spectrum = renderSpectrum (demo, [&] (PluginProcessor& processor)
            {
                for (const auto& assignment : setting.assignments)
                    if (auto error = applyParameterAssignment (processor, assignment); error.isNotEmpty())
                        return error;
                return juce::String();
            });
            curves.add (spectrumEntry (juce::String::fromUTF8 (setting.label), spectrum, dry));
        }
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("name", figure.name);
        entry->setProperty ("curves", curves);
        figures.add (juce::var (entry));
    }
    root->setProperty ("figures", figures);
    return juce::var (root);
}

juce::var describePresets (const juce::AudioBuffer<float>& demo, const BandSpectrum& dry)
{
    auto* root = new juce::DynamicObject();
    root->setProperty ("bandCentres", toVarArray (dry.bandCentres));
    root->setProperty ("dry", spectrumEntry ("dry", dry, dry));

    juce::Array<juce::var> presets;
    int index = 0;
    for (const auto& row : getFactoryBankTable())
    {
        const auto spectrum = renderSpectrum (demo, [&] (PluginProcessor& processor) { return applyPresetOption (processor, row.name); });
        auto entry = spectrumEntry (row.name, spectrum, dry);
        auto* object = entry.getDynamicObject();
        object->setProperty ("index", ++index);
        object->setProperty ("category", row.category);
        object->setProperty ("mode", juce::qorv_dsp::getModeNames()[row.mode]);
        object->setProperty ("tone", row.tone);
        juce::Array<juce::var> stages;
        for (const auto& stage : row.stages)
            stages.add (juce::Array<juce::var> { stage.nSegs, BandSpectrum::rounded (stage.segSize), BandSpectrum::rounded (stage.segMix) });
        object->setProperty ("stages", stages);
        presets.add (entry);
    }
    root->setProperty ("presets", presets);
    return juce::var (root);
}

juce::var describeRouting()
{
    Engine engine;
    engine.prepareLocked ({ sampleRate, 512, 2 });
    auto* root = new juce::DynamicObject();
    root->setProperty ("sampleRate", sampleRate);
    root->setProperty ("stageDelay", engine.getStageDelay());
    root->setProperty ("latency", engine.getLatencySamples());
    return juce::var (root);
}

bool writeJson (const juce::File& folder, const juce::String& name, const juce::var& value)
{
    const auto file = folder.getChildFile (name);
    if (file.replaceWithText (juce::JSON::toString (value, true) + "\n", false, false, "\n"))
        return true;
    std::cerr << "tandrel-guide-data: cannot write " << file.getFullPathName() << "\n";
    return false;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: tandrel-guide-data OUTDIR\n";
        return 2;
    }
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::CharPointer_UTF8 (argv[1]));
    if (! folder.createDirectory())
    {
        std::cerr << "tandrel-guide-data: cannot create " << folder.getFullPathName() << "\n";
        return 2;
    }

    // The reference signal is the render tool's demo (tandrel-render --demo):
    // a listener can hear exactly what the figures show.
    const auto demo = makeDemoSignal (sampleRate);
    const auto dry = BandSpectrum::of (demo, sampleRate);

    StageGroupSettings group;
    group.offset = (int) (1.2 * sampleRate);

    const bool ok = writeJson (folder, "stage.json", captureStageGroup (demo, sampleRate, group))
                    && writeJson (folder, "controls.json", describeControls (demo, dry))
                    && writeJson (folder, "presets.json", describePresets (demo, dry))
                    && writeJson (folder, "routing.json", describeRouting());
    return ok ? 0 : 1;
}
