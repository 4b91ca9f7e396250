#pragma once

// The work of every fuzz target, shared by the libFuzzer executables and the
// corpus replay test. Each entry feeds one input to the code under test and
// checks what must hold for any input; it returns an empty string when all
// holds, otherwise what went wrong. Crashes, leaks and undefined behaviour are
// left to the sanitizers.

#include "PluginProcessor.h"

#include <qorv_gui/qorv_gui.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace tandrel::fuzz
{
inline juce::String textFrom (const uint8_t* data, size_t size)
{
    // Strings reach the code through JUCE, which only ever holds valid UTF-8
    // (its own check lets overlong forms through, which its string operations
    // then read past the end of).
    const auto* chars = reinterpret_cast<const char*> (data);
    if (size > 4096 || ! juce::qorv_gui::Utf8Validity::isWellFormed (chars, size))
        return {};
    return juce::String::fromUTF8 (chars, (int) size);
}

/** Parameter values are flushed into the model tree through its undo history;
    one input's history is of no use to the next and would only grow. */
inline void startInput (PluginProcessor& processor)
{
    processor.undoManager->clearUndoHistory();
}

/** The XML text of a state blob, for failure messages. */
inline std::string blobText (const juce::MemoryBlock& blob)
{
    return blob.getSize() > 8 ? std::string (static_cast<const char*> (blob.getData()) + 8) : std::string();
}

/** Every parameter's normalised value is a number inside 0..1. */
inline std::string checkParameters (PluginProcessor& processor)
{
    for (auto* parameter : processor.getParameters())
    {
        const auto value = parameter->getValue();
        if (! std::isfinite (value) || value < 0.0f || value > 1.0f)
            return "parameter " + parameter->getName (64).toStdString() + " holds " + std::to_string (value);
    }
    return {};
}

/** One short block of noise through the engine must come out finite. */
inline std::string checkAudio (PluginProcessor& processor)
{
    juce::AudioBuffer<float> buffer (2, 64);
    juce::Random random (1);
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (channel, i, random.nextFloat() * 2.0f - 1.0f);

    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (channel, i)))
                return "the engine produced a non-finite sample after the input";
    return {};
}

/** Whatever a host hands to setStateInformation, the processor's own blob
    afterwards must be accepted again and come back unchanged, the parameters
    must stay in range and the engine must keep producing numbers. */
inline std::string runStateBlob (PluginProcessor& processor, const uint8_t* data, size_t size)
{
    startInput (processor);
    if (size > (size_t) std::numeric_limits<int>::max())
        return {};

    processor.setStateInformation (data, (int) size);

    juce::MemoryBlock first, second;
    processor.getStateInformation (first);
    if (! processor.setState (first.getData(), (int) first.getSize()))
        return "the processor refused its own state blob";
    processor.getStateInformation (second);
    if (first != second)
        return "the state blob changed on a round trip:\n" + blobText (first) + "\nbecame\n" + blobText (second);

    if (auto failure = checkParameters (processor); ! failure.empty())
        return failure;
    return checkAudio (processor);
}

/** Loading any file as a preset either fails and changes nothing, or succeeds
    as one undo step that restores the previous state when undone. */
inline std::string runPresetFile (PluginProcessor& processor, const juce::File& scratch, const uint8_t* data, size_t size)
{
    const auto file = scratch.getChildFile ("input.td11");
    if (! file.replaceWithData (data, size))
        return "could not write the input file";

    startInput (processor);
    auto& undo = *processor.undoManager;

    juce::MemoryBlock before, after;
    processor.getState (before, false);
    const bool loaded = processor.loadFromFile (file);
    file.deleteFile();

    if (! loaded)
    {
        processor.getState (after, false);
        return before == after ? std::string() : "a refused preset file changed the state";
    }

    if (auto failure = checkParameters (processor); ! failure.empty())
        return failure;
    if (auto failure = checkAudio (processor); ! failure.empty())
        return failure;

    if (! undo.undo())
        return "a loaded preset left no undo step";
    processor.getState (after, false);
    undo.clearUndoHistory();
    return before == after ? std::string() : "undoing a preset load did not restore the state";
}

/** Every file and folder below root, as paths relative to it (links not followed). */
inline juce::StringArray listTree (const juce::File& root)
{
    juce::StringArray paths;
    for (const auto& entry : juce::RangedDirectoryIterator (root, true, "*",
                                                           juce::File::findFilesAndDirectories,
                                                           juce::File::FollowSymlinks::no))
        paths.add (entry.getFile().getRelativePathFrom (root));
    paths.sort (false);
    return paths;
}

/** Unpacking any bytes as a preset pack writes only inside the pack's own
    folder under the presets folder, and never leaves a symbolic link there.
    The presets folder sits a few levels below scratch, so that an entry
    climbing out of it lands inside scratch, where it is seen. */
inline std::string runPresetPack (PluginProcessor& processor, const juce::File& scratch, const uint8_t* data, size_t size)
{
    startInput (processor);
    auto& manager = processor.getPresetManager();
    const auto presets = manager.getPresetsFolder();
    if (! presets.isAChildOf (scratch))
        return "the presets folder is not inside the scratch folder";

    const auto pack = scratch.getChildFile ("Fuzz.td11_pack");
    const auto target = presets.getChildFile ("Fuzz");
    if (! pack.replaceWithData (data, size))
        return "could not write the pack";

    const auto treeBefore = listTree (scratch);
    manager.unpackPresetPack (pack);
    const auto treeAfter = listTree (scratch);

    std::string failure;
    for (const auto& path : treeAfter)
    {
        const auto file = scratch.getChildFile (path);
        if (! treeBefore.contains (path) && file != target && ! file.isAChildOf (target))
            failure = "the pack wrote outside its folder: " + path.toStdString();
        else if (file.isSymbolicLink())
            failure = "the pack left a symbolic link: " + path.toStdString();
        if (! failure.empty())
            break;
    }

    // Leave nothing behind for the next input, including what escaped.
    for (const auto& path : treeAfter)
        if (! treeBefore.contains (path))
            scratch.getChildFile (path).deleteRecursively (false);
    target.deleteRecursively (false);
    pack.deleteFile();
    manager.rescan();
    return failure;
}

/** Watches the label texts the processor sends: an empty text for a real
    parameter would blank the editor's label (the editor ignores the others). */
struct RecordingLabels final : juce::qorv_gui::LabelUpdater
{
    void updateLabel (const juce::String& text, int kind, int stage) override
    {
        const auto id = makeParameterId ((ParamKind) kind, stage);
        if (text.isEmpty() && kind != (int) ParamKind::none && getParameterIdsInOrder().contains (id))
            failure = "an empty label text for kind " + std::to_string (kind) + " stage " + std::to_string (stage);
    }

    std::string failure;
};

/** Any identifier: the parse names a stage only for per-stage kinds and then
    a non-negative one, canonical names parse back, and the processor's
    parameter paths take the identifier without leaving the parameters' range. */
inline std::string runParameterId (PluginProcessor& processor, const uint8_t* data, size_t size)
{
    startInput (processor);
    float value = 0.5f;
    if (size >= sizeof (float))
    {
        std::memcpy (&value, data, sizeof (float));
        data += sizeof (float);
        size -= sizeof (float);
    }
    const auto id = textFrom (data, size);

    const auto parsed = parseParameterId (id);
    const bool perStage = parsed.kind == ParamKind::nSegs || parsed.kind == ParamKind::segSize || parsed.kind == ParamKind::segMix;
    if (perStage ? parsed.stage < 0 : parsed.stage != -1)
        return "stage " + std::to_string (parsed.stage) + " for kind " + std::to_string ((int) parsed.kind);
    if (parsed.kind != ParamKind::none && ! (parseParameterId (makeParameterId (parsed.kind, parsed.stage)) == parsed))
        return "the canonical identifier does not parse back";

    RecordingLabels labels;
    processor.setLabelUpdater (&labels);
    processor.setUserValue (id, value);
    // The value-tree state only reports its own parameters, in their range.
    if (auto* parameter = processor.getModelTree().getParameter (id))
        processor.parameterChanged (id, parameter->convertFrom0to1 (parameter->convertTo0to1 (std::isfinite (value) ? value : 0.0f)));
    processor.setLabelUpdater (nullptr);
    if (! labels.failure.empty())
        return labels.failure;

    if (auto failure = checkParameters (processor); ! failure.empty())
        return failure;
    return checkAudio (processor);
}

/** Any label text typed into any parameter's label keeps every parameter in
    range, and the label is refreshed with a real text. */
inline std::string runLabelText (PluginProcessor& processor, const uint8_t* data, size_t size)
{
    startInput (processor);
    if (size == 0)
        return {};
    const auto& ids = getParameterIdsInOrder();
    const auto& id = ids[data[0] % ids.size()];
    const auto value = juce::qorv_gui::SliderSuite::parseLabelValue (textFrom (data + 1, size - 1));

    RecordingLabels labels;
    processor.setLabelUpdater (&labels);
    processor.setUserValue (id, value);
    processor.setLabelUpdater (nullptr);
    if (! labels.failure.empty())
        return labels.failure;

    if (auto failure = checkParameters (processor); ! failure.empty())
        return failure;
    return checkAudio (processor);
}

/** What every target runs in: a scratch folder and a prepared processor whose
    presets folder sits a few levels inside it. */
class FuzzWorld
{
public:
    FuzzWorld()
        : scratch (juce::File::getSpecialLocation (juce::File::tempDirectory)
                       .getChildFile ("tandrel-fuzz-" + juce::Uuid().toString()))
    {
        scratch.getChildFile ("a/b/c/Presets").createDirectory();
        processor = std::make_unique<PluginProcessor> (scratch.getChildFile ("a/b/c/Presets"));
        processor->prepareToPlay (48000.0, 64);
    }

    ~FuzzWorld()
    {
        processor.reset();
        scratch.deleteRecursively (false);
    }

    PluginProcessor& getProcessor() { return *processor; }
    const juce::File& getScratch() const { return scratch; }

private:
    juce::File scratch;
    std::unique_ptr<PluginProcessor> processor;

    JUCE_DECLARE_NON_COPYABLE (FuzzWorld)
};
} // namespace tandrel::fuzz
