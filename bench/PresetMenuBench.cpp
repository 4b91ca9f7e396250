// The preset browser's menu refresh: what opening the menu does before the
// framework shows it (relist the user preset tree, rebuild the menu, refresh
// the shown text), with the factory bank registered and 50, 500 or 5,000 user
// preset files spread over 20 folders ("folder 1" ... "folder 20", each holding
// "preset 1.td11" ... "preset k.td11"). Reported in milliseconds per refresh.
//
// The trees are kept between runs under the temporary folder
// (tandrel-bench-presets/<count>), so that their folders have settled the way a
// user's preset folders have: a folder changed in the last few seconds is always
// relisted. The harness uses only the browser's long-standing public operations,
// so scripts/bench-compare can build it against an older browser.

#include "FactoryBank.h"

#include <qorv_gui/qorv_gui.h>

#include <benchmark/benchmark.h>

#include <thread>

namespace
{
using juce::qorv_gui::PresetComponent;
using juce::qorv_gui::PresetManager;

constexpr int numFolders = 20;

/** Enough of a processor for the browser: the menu refresh never touches the state. */
struct BenchLoader : public PresetManager::PresetLoader
{
    void getState (juce::MemoryBlock& destination, bool) override { destination.reset(); }
    bool setState (const void*, int) override { return false; }
    void resetToDefault() override {}
};

/** A tree of numPresets files in 20 folders, made once and reused by later runs. */
juce::File presetTree (int numPresets, const juce::String& variant = {})
{
    const auto root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getChildFile ("tandrel-bench-presets")
                          .getChildFile (juce::String (numPresets) + variant);
    const auto complete = root.getSiblingFile (root.getFileName() + ".complete");

    if (complete.existsAsFile() && root.isDirectory())
        return root;

    root.deleteRecursively();
    const char bytes[64] = {};

    for (int f = 0; f < numFolders; ++f)
    {
        const auto folder = root.getChildFile ("folder " + juce::String (f + 1));
        folder.createDirectory();
        const auto count = numPresets / numFolders + (f < numPresets % numFolders ? 1 : 0);

        for (int p = 0; p < count; ++p)
            folder.getChildFile ("preset " + juce::String (p + 1) + ".td11").replaceWithData (bytes, sizeof (bytes));
    }

    complete.create();
    std::this_thread::sleep_for (std::chrono::seconds (3)); // let the new folders settle
    return root;
}

/** A manager over a tree with the factory bank, and a browser over both. */
struct Browser
{
    explicit Browser (const juce::File& presetsFolder)
        : manager (loader, "Td11", presetsFolder)
    {
        registerFactoryBank (manager);
        manager.setUserFolder (presetsFolder);
        box = std::make_unique<PresetComponent> (lookAndFeel, manager, juce::URL ("https://example.invalid/"));
    }

    BenchLoader loader;
    PresetManager manager;
    juce::qorv_gui::LookAndFeel lookAndFeel;
    std::unique_ptr<PresetComponent> box;
};

int countMenuItems (const juce::PopupMenu& menu)
{
    int items = 0;
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        items += it.getItem().itemID >= PresetManager::firstPresetId ? 1 : 0;
    return items;
}

/** Opening the menu again with nothing changed on disk. */
void refreshUnchanged (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto numPresets = (int) state.range (0);
    Browser browser (presetTree (numPresets));

    for (auto _ : state)
    {
        browser.box->refreshFromDisk();
        benchmark::DoNotOptimize (browser.box->getRootMenu());
    }

    state.counters["menu_items"] = countMenuItems (*browser.box->getRootMenu());
}

/** Opening the menu after one folder gained or lost a preset file. */
void refreshAfterOneFileChanged (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto numPresets = (int) state.range (0);
    const auto root = presetTree (numPresets, "-changing");
    Browser browser (root);
    const auto toggled = root.getChildFile ("folder 7/preset 0.td11");
    const char bytes[64] = {};

    for (auto _ : state)
    {
        state.PauseTiming();
        if (toggled.existsAsFile())
            toggled.deleteFile();
        else
            toggled.replaceWithData (bytes, sizeof (bytes));
        state.ResumeTiming();

        browser.box->refreshFromDisk();
        benchmark::DoNotOptimize (browser.box->getRootMenu());
    }
}

/** The first refresh of a new browser: the start-up scan, the factory bank and
    the browser's own first listing. */
void firstBrowser (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto root = presetTree ((int) state.range (0));

    for (auto _ : state)
    {
        Browser browser (root);
        benchmark::DoNotOptimize (browser.box->getRootMenu());
    }
}
} // namespace

BENCHMARK (refreshUnchanged)->Name ("PresetMenu/refresh")->Arg (50)->Arg (500)->Arg (5000)->Unit (benchmark::kMillisecond);
BENCHMARK (refreshAfterOneFileChanged)->Name ("PresetMenu/refresh_one_file_changed")->Arg (5000)->Unit (benchmark::kMillisecond);
BENCHMARK (firstBrowser)->Name ("PresetMenu/first_browser")->Arg (5000)->Unit (benchmark::kMillisecond);
