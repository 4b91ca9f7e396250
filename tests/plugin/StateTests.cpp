// The plug-in state blob: layout, round trip, the loaded-preset reference, and
// what a refused or hostile blob leaves behind.

#include "PluginProcessor.h"
#include "ParameterAccess.h"

#include <gtest/gtest.h>

namespace
{
using Manager = juce::qorv_gui::PresetManager;

struct RecordingDisplay : Manager::PresetLoader::PresetDisplay
{
    std::vector<bool> modifiedCalls;
    void setModified (bool isModified) override { modifiedCalls.push_back (isModified); }
    void selectNewItem (juce::NotificationType) override {}
};

// An undo step that does nothing, so a test can see whether the history survived.
struct MarkerAction : juce::UndoableAction
{
    bool perform() override { return true; }
    bool undo() override { return true; }
};

std::vector<float> parameterValues (PluginProcessor& processor)
{
    std::vector<float> values;
    for (const auto& id : getParameterIdsInOrder())
        values.push_back (processor.getModelTree().getParameter (id)->getValue());
    return values;
}

juce::MemoryBlock hostState (PluginProcessor& processor)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    return blob;
}

std::unique_ptr<juce::XmlElement> xmlOf (const juce::MemoryBlock& blob)
{
    return juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
}

juce::MemoryBlock blobWithHeader (juce::uint32 magic, juce::int64 lengthField, const juce::MemoryBlock& text)
{
    juce::MemoryOutputStream out;
    out.writeInt ((int) magic);
    out.writeInt ((int) lengthField);
    out.write (text.getData(), text.getSize());
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::MemoryBlock textBlock (const juce::String& text)
{
    return juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

juce::MemoryBlock blobOfText (const juce::String& text)
{
    const auto bytes = textBlock (text);
    return blobWithHeader (0x21324356, (juce::int64) bytes.getSize(), bytes);
}

int factoryId (PluginProcessor& processor, const juce::String& name)
{
    const auto* preset = std::as_const (processor.getPresetManager()).findFactoryPreset (name);
    return preset != nullptr ? preset->id : -1;
}

// Selects a factory preset the way the browser does, as one preset operation.
void selectFactoryPreset (PluginProcessor& processor, const juce::String& name)
{
    const auto id = factoryId (processor, name);
    ASSERT_NE (id, -1) << name;
    ASSERT_TRUE (processor.getPresetManager().selectPreset (id)) << name;
}
} // namespace

TEST (State, FreshBlobHasTheFrameworkLayoutAndTheProductProperties)
{
    PluginProcessor processor;
    const auto blob = hostState (processor);
    const auto* bytes = static_cast<const juce::uint8*> (blob.getData());

    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (juce::String::fromUTF8 ((const char*) bytes, 4), "VC2!");
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), (juce::uint32) blob.getSize() - 9);
    EXPECT_EQ (bytes[blob.getSize() - 1], 0);

    const juce::String text (juce::CharPointer_UTF8 ((const char*) bytes + 8));
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));

    const auto xml = xmlOf (blob);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "Td11");
    const juce::StringArray expectedAttributes { "CompanyName", "ProductNameWithoutVersion", "ProductVersion", "LoadedPreset", "LoadedPresetModified" };
    ASSERT_EQ (xml->getNumAttributes(), expectedAttributes.size());
    for (int i = 0; i < expectedAttributes.size(); ++i)
        EXPECT_EQ (xml->getAttributeName (i), expectedAttributes[i]);
    EXPECT_EQ (xml->getStringAttribute ("CompanyName"), "Quorvex");
    EXPECT_EQ (xml->getStringAttribute ("ProductNameWithoutVersion"), "Tandrel");
    EXPECT_EQ (xml->getStringAttribute ("ProductVersion"), "1.1.3");
    EXPECT_EQ (xml->getStringAttribute ("LoadedPreset"), "");
    EXPECT_EQ (xml->getStringAttribute ("LoadedPresetModified"), "0");
    EXPECT_EQ (xml->getNumChildElements(), numParameters);

    // Byte for byte what the framework writes for that document.
    juce::MemoryBlock framework;
    juce::AudioProcessor::copyXmlToBinary (*xml, framework);
    EXPECT_EQ (framework, blob);
}

TEST (State, WithoutTheReferenceOnlyProductPropertiesAreWrittenEvenAfterABlobCarriedOne)
{
    PluginProcessor source;
    selectFactoryPreset (source, "Twinkle");
    const auto withReference = hostState (source);
    ASSERT_EQ (xmlOf (withReference)->getStringAttribute ("LoadedPreset"), "FactoryPreset:Twinkle");

    for (bool afterBlob : { false, true })
    {
        PluginProcessor processor;
        if (afterBlob)
        {
            ASSERT_TRUE (processor.setState (withReference.getData(), (int) withReference.getSize()));
        }

        juce::MemoryBlock blob;
        processor.getState (blob, false);
        const auto xml = xmlOf (blob);
        ASSERT_NE (xml, nullptr);
        EXPECT_EQ (xml->getNumAttributes(), 3) << "after blob: " << afterBlob;
        EXPECT_FALSE (xml->hasAttribute ("LoadedPreset"));
        EXPECT_FALSE (xml->hasAttribute ("LoadedPresetModified"));
    }
}

TEST (State, RoundTripIntoAFreshInstanceKeepsValuesPresetAndModifiedMark)
{
    for (bool modified : { false, true })
    {
        PluginProcessor source;
        selectFactoryPreset (source, "Oaxaca");
        if (modified)
            tandrel::test::setParameter (source, "2- N Segs", 77.0f);
        ASSERT_EQ (source.isModified(), modified);
        const auto blob = hostState (source);

        PluginProcessor restored;
        restored.setStateInformation (blob.getData(), (int) blob.getSize());

        EXPECT_EQ (parameterValues (restored), parameterValues (source));
        EXPECT_EQ (restored.getPresetManager().getCurrentId(), factoryId (restored, "Oaxaca"));
        EXPECT_EQ (restored.isModified(), modified) << "stored mark must win over the restore's own changes";
        EXPECT_FALSE (restored.getModelTree().getUndoManager().canUndo());
        EXPECT_EQ (hostState (restored), blob);
    }
}

TEST (State, RootTagInAnotherLetterCaseIsAccepted)
{
    PluginProcessor source;
    tandrel::test::setParameter (source, "Tone", 12.0f);
    auto text = source.getModelTree().copyState().toXmlString (juce::XmlElement::TextFormat().singleLine());
    text = text.replace ("<Td11", "<tD11").replace ("</Td11>", "</tD11>");

    PluginProcessor processor;
    processor.getModelTree().getUndoManager().perform (new MarkerAction());
    const auto blob = blobOfText (text);
    EXPECT_TRUE (processor.setState (blob.getData(), (int) blob.getSize()));
    EXPECT_FLOAT_EQ (tandrel::test::realValue (processor, "Tone"), 12.0f);
    EXPECT_FALSE (processor.getModelTree().getUndoManager().canUndo());
    EXPECT_EQ (xmlOf (hostState (processor))->getTagName(), "Td11");
}

TEST (State, FactoryReferenceSelectsByExactNameOnly)
{
    struct Row { const char* reference; const char* selected; };
    const Row rows[] = { { "FactoryPreset:Twinkle", "Twinkle" }, { "FactoryPreset:twinkle", nullptr }, { "FactoryPreset:No such", nullptr } };

    for (const auto& row : rows)
    {
        PluginProcessor processor;
        selectFactoryPreset (processor, "Bassment");
        auto tree = processor.getModelTree().copyState();
        tree.setProperty ("LoadedPreset", row.reference, nullptr);
        const auto blob = blobOfText (tree.toXmlString (juce::XmlElement::TextFormat().singleLine()));

        ASSERT_TRUE (processor.setState (blob.getData(), (int) blob.getSize()));
        EXPECT_EQ (processor.getPresetManager().getCurrentId(), factoryId (processor, row.selected != nullptr ? row.selected : "Bassment"))
            << row.reference;
    }
}

TEST (State, MissingUserPresetFileSelectsNewAndClearsModified)
{
    PluginProcessor processor;
    selectFactoryPreset (processor, "Bassment");
    auto tree = processor.getModelTree().copyState();
    tree.setProperty ("LoadedPreset", juce::File::getSpecialLocation (juce::File::tempDirectory)
                                          .getNonexistentChildFile ("gone", ".td11").getFullPathName(), nullptr);
    tree.setProperty ("LoadedPresetModified", true, nullptr);
    const auto blob = blobOfText (tree.toXmlString (juce::XmlElement::TextFormat().singleLine()));

    ASSERT_TRUE (processor.setState (blob.getData(), (int) blob.getSize()));
    EXPECT_EQ (processor.getPresetManager().getCurrentId(), Manager::newItemId);
    EXPECT_FALSE (processor.isModified());
}

TEST (State, ResetToDefaultAlwaysEndsUnmodifiedAndTellsTheDisplay)
{
    PluginProcessor processor;
    const auto defaults = parameterValues (processor);
    RecordingDisplay display;
    processor.setDisplay (&display);

    tandrel::test::setParameter (processor, "3- Seg Mix", 50.0f);
    tandrel::test::setParameter (processor, "Mode", 1.0f);
    ASSERT_TRUE (processor.isModified());
    display.modifiedCalls.clear();

    processor.resetToDefault();
    EXPECT_FALSE (processor.isModified());
    EXPECT_EQ (display.modifiedCalls, std::vector<bool> { false });
    EXPECT_EQ (parameterValues (processor), defaults);

    // Already at defaults and unmodified: still unmodified, nothing to tell.
    display.modifiedCalls.clear();
    processor.resetToDefault();
    EXPECT_FALSE (processor.isModified());
    EXPECT_TRUE (display.modifiedCalls.empty());
    processor.setDisplay (nullptr);
}

TEST (State, RefusedAndHostileBlobsLeaveEverythingAsItWas)
{
    PluginProcessor reference;
    tandrel::test::setParameter (reference, "Tone", 33.0f);
    const auto good = hostState (reference);
    const auto goodText = reference.getModelTree().copyState().toXmlString (juce::XmlElement::TextFormat().singleLine());

    juce::String deep;
    for (int i = 0; i < 100000; ++i)
        deep << "<a>";
    deep = "<Td11>" + deep;

    juce::MemoryBlock invalidUtf8 = textBlock (goodText);
    static_cast<char*> (invalidUtf8.getData())[60] = (char) 0xff;

    // A valid text whose last byte starts a multi-byte sequence: the reader
    // must not look past the blob for its continuation.
    juce::MemoryBlock danglingLead = textBlock (goodText);
    danglingLead.append ("\xf0", 1);

    struct Row
    {
        const char* what;
        juce::MemoryBlock blob;
        bool accepted;
    };
    const std::vector<Row> rows {
        { "empty", {}, false },
        { "header only (8 bytes)", juce::MemoryBlock (good.getData(), 8), false },
        { "wrong magic", blobWithHeader (0x21324357, (juce::int64) textBlock (goodText).getSize(), textBlock (goodText)), false },
        { "zero length", blobWithHeader (0x21324356, 0, textBlock (goodText)), false },
        { "negative length", blobWithHeader (0x21324356, -5, textBlock (goodText)), false },
        { "not XML", blobOfText ("this is not a plug-in state"), false },
        { "other root tag", blobOfText (goodText.replace ("Td11", "Other")), false },
        { "truncated in the middle", juce::MemoryBlock (good.getData(), good.getSize() / 2), false },
        { "deeply nested", blobOfText (deep), false },
        { "non-UTF-8 byte", blobWithHeader (0x21324356, (juce::int64) invalidUtf8.getSize(), invalidUtf8), false },
        { "not-a-number value", blobOfText (goodText.replace ("value=\"33.0\"", "value=\"nan\"")), false },
        { "infinite value", blobOfText (goodText.replace ("value=\"33.0\"", "value=\"-inf\"")), false },
        { "oversized length field", blobWithHeader (0x21324356, 0x7fffffff, textBlock (goodText)), true },
        { "dangling lead byte at the end", [&] { auto b = blobWithHeader (0x21324356, (juce::int64) danglingLead.getSize(), danglingLead);
                                                  b.setSize (b.getSize() - 1); return b; }(), false },
        { "huge attribute", blobOfText (goodText.replace ("<Td11", "<Td11 Junk=\"" + juce::String::repeatedString ("x", 4 * 1024 * 1024) + "\"")), true },
    };

    for (const auto& row : rows)
    {
        PluginProcessor processor;
        selectFactoryPreset (processor, "Twinkle");
        tandrel::test::setParameter (processor, "1- Seg Size", 20.0f);
        processor.getModelTree().getUndoManager().perform (new MarkerAction());
        const auto valuesBefore = parameterValues (processor);
        const auto idBefore = processor.getPresetManager().getCurrentId();

        const bool accepted = processor.setState (row.blob.getData(), (int) row.blob.getSize());
        EXPECT_EQ (accepted, row.accepted) << row.what;

        if (accepted)
        {
            EXPECT_FLOAT_EQ (tandrel::test::realValue (processor, "Tone"), 33.0f) << row.what;
            EXPECT_FALSE (processor.getModelTree().getUndoManager().canUndo()) << row.what;
        }
        else
        {
            EXPECT_EQ (parameterValues (processor), valuesBefore) << row.what;
            EXPECT_TRUE (processor.getModelTree().getUndoManager().canUndo()) << row.what;
            EXPECT_EQ (processor.getPresetManager().getCurrentId(), idBefore) << row.what;
            EXPECT_TRUE (processor.isModified()) << row.what;
        }
    }
}

TEST (State, UndoingALoadRestoresThePreviousPresetAndEmptiesTheHistory)
{
    PluginProcessor processor;
    selectFactoryPreset (processor, "Black saint");
    const auto valuesOfB = parameterValues (processor);
    selectFactoryPreset (processor, "Twinkle");

    auto& undo = processor.getModelTree().getUndoManager();
    ASSERT_TRUE (undo.canUndo());
    ASSERT_TRUE (undo.undo());

    EXPECT_EQ (parameterValues (processor), valuesOfB);
    EXPECT_EQ (processor.getPresetManager().getCurrentId(), factoryId (processor, "Black saint"));
    EXPECT_FALSE (undo.canUndo());
    EXPECT_FALSE (undo.canRedo());
}

TEST (State, HostStateCallsOnAnotherThreadNeverSeeAHalfAppliedPresetLoad)
{
    auto valuesOf = [] (const juce::MemoryBlock& blob)
    {
        std::map<juce::String, double> values;
        if (const auto xml = xmlOf (blob))
            for (auto* node : xml->getChildWithTagNameIterator ("PARAM"))
                values[node->getStringAttribute ("id")] = node->getDoubleAttribute ("value");
        return values;
    };

    PluginProcessor processor;
    selectFactoryPreset (processor, "Twinkle");
    const auto twinkle = valuesOf (hostState (processor));
    selectFactoryPreset (processor, "Black saint");
    const auto blackSaint = valuesOf (hostState (processor));
    tandrel::test::setParameter (processor, "Tone", 1.0f);
    tandrel::test::setParameter (processor, "3- N Segs", 90.0f);
    const auto hostBlob = hostState (processor);
    const auto hostValues = valuesOf (hostBlob);

    std::atomic<bool> stop { false };
    std::atomic<int> mixedReads { 0 }, reads { 0 };
    std::thread host ([&]
                      {
                          while (! stop.load())
                          {
                              const auto values = valuesOf (hostState (processor));
                              if (values != twinkle && values != blackSaint && values != hostValues)
                                  ++mixedReads;
                              ++reads;
                              processor.setStateInformation (hostBlob.getData(), (int) hostBlob.getSize());
                          }
                      });

    auto& undo = processor.getModelTree().getUndoManager();
    for (int i = 0; i < 300 || reads.load() < 20; ++i)
    {
        selectFactoryPreset (processor, i % 2 == 0 ? "Twinkle" : "Black saint");
        if (i % 3 == 0)
        {
            const juce::ScopedLock sl (processor.getStateLock()); // as the editor's undo button does
            if (undo.canUndo())
                undo.undo();
        }
    }

    stop.store (true);
    host.join();
    EXPECT_EQ (mixedReads.load(), 0) << "of " << reads.load() << " reads";
}

TEST (State, BlobFromAHostThreadAppliesAtOnceAndEmptiesTheHistory)
{
    PluginProcessor source;
    tandrel::test::setParameter (source, "2- Seg Size", 30.0f);
    const auto blob = hostState (source);

    PluginProcessor processor;
    auto& undo = processor.getModelTree().getUndoManager();
    undo.perform (new MarkerAction());

    std::thread ([&] { processor.setStateInformation (blob.getData(), (int) blob.getSize()); }).join();
    EXPECT_FLOAT_EQ (tandrel::test::realValue (processor, "2- Seg Size"), 30.0f);
    EXPECT_FALSE (undo.canUndo());
}
