// Reading a state or preset of the largest size the plug-in accepts (a blob
// text of StateBlob::maxTextBytes, 16 MiB), in the shapes that cost the
// framework's XML reader most: one huge attribute value, the same value as
// entities (refused before the parser sees it), and a preset file holding the
// largest state, read, unshifted and applied through the processor as the
// browser does. Reported in milliseconds per read, with the process's peak
// resident memory afterwards (peak_rss_MiB): the reader's memory is bounded
// by a few times the text.

#include "PeakMemory.h"
#include "PluginProcessor.h"
#include "StateBlob.h"

#include <benchmark/benchmark.h>

namespace
{
using Loader = juce::qorv_gui::PresetManager::PresetLoader;

juce::MemoryBlock blobAround (const std::string& text) { return StateBlob::wrap (text.data(), text.size()); }

/** A real state's document whose one extra attribute value is stretched with the
    given piece until the text has the given size. */
std::string stretchedState (const std::string& piece, size_t size)
{
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Td11 Notes=\"";
    const std::string tail = "\"><PARAM id=\"Tone\" value=\"40.0\"/></Td11>";
    std::string text = head;
    text.reserve (size);
    while (text.size() + piece.size() + tail.size() <= size)
        text += piece;
    text.append (size - text.size() - tail.size(), ' ');
    return text + tail;
}

void parseBlob (benchmark::State& state, const std::string& piece, bool accepted)
{
    // A little below the bound, so the text the writer makes of it fits too.
    const auto blob = blobAround (stretchedState (piece, StateBlob::maxTextBytes - 64));
    for (auto _ : state)
    {
        auto xml = StateBlob::parse (blob.getData(), (int) blob.getSize());
        if ((xml != nullptr) != accepted)
            state.SkipWithError ("the blob was not read as expected");
        benchmark::DoNotOptimize (xml);
    }
    state.counters["text_MiB"] = (double) StateBlob::maxTextBytes / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}

void plainValue (benchmark::State& state) { parseBlob (state, "x", true); }
void entityValue (benchmark::State& state) { parseBlob (state, "&lt;", false); }

void largestPresetFile (benchmark::State& state)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("tandrel-bench-state-" + juce::Uuid().toString());
    folder.createDirectory();
    {
        // The largest blob a preset file may hold.
        const auto blob = blobAround (stretchedState ("x", (size_t) Loader::maxPresetFileSize - StateBlob::headerSize - 64));
        const auto bytes = juce::qorv_gui::PresetFileCodec::encode (blob, Loader::defaultFileShift);
        const auto file = folder.getChildFile ("largest.td11");
        file.replaceWithData (bytes.getData(), bytes.getSize());

        PluginProcessor processor (folder.getChildFile ("Presets"));
        for (auto _ : state)
            if (! processor.loadFromFile (file))
                state.SkipWithError ("the largest preset file was refused");

        state.counters["file_MiB"] = (double) file.getSize() / (1024.0 * 1024.0);
    }
    folder.deleteRecursively();
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
} // namespace

BENCHMARK (plainValue)->Name ("StateParse/largest_plain_value")->Unit (benchmark::kMillisecond);
BENCHMARK (entityValue)->Name ("StateParse/largest_entity_value")->Unit (benchmark::kMillisecond);
BENCHMARK (largestPresetFile)->Name ("StateParse/largest_preset_file")->Unit (benchmark::kMillisecond);
