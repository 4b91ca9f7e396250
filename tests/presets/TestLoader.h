#pragma once

#include <gtest/gtest.h>
#include <qorv_gui/qorv_gui.h>
#include <FileSystemTraits.h>
#include <MessageLoop.h>
#include <ScopedTempDir.h>

#include <thread>

namespace tandrel::test
{
using juce::qorv_gui::PresetManager;
using Loader = PresetManager::PresetLoader;

/** A loader over a tree of three "parameters" a, b, c, producing real XML blobs.
    Like the processor, it marks the preset modified for every value that
    changes and clears the undo history when it accepts a blob. */
class TestLoader : public Loader
{
public:
    TestLoader() : Loader (&history) {}

    void getState (juce::MemoryBlock& destination, bool includePresetInfo) override
    {
        auto copy = tree.createCopy();
        copy.setProperty ("CompanyName", "Quorvex", nullptr);

        if (includePresetInfo && getManager() != nullptr)
            getManager()->writePresetInfo (copy);
        else
            for (auto* id : { "LoadedPreset", "LoadedPresetModified" })
                copy.removeProperty (id, nullptr);

        destination.reset();
        juce::AudioProcessor::copyXmlToBinary (*copy.createXml(), destination);
    }

    bool setState (const void* data, int size) override
    {
        ++setStateCalls;
        auto xml = juce::AudioProcessor::getXmlFromBinary (data, size);

        if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase ("Td11"))
            return false;

        const auto incoming = juce::ValueTree::fromXml (*xml);

        for (auto* id : { "a", "b", "c" })
            if (tree[id] != incoming[id])
                markModified();

        tree.copyPropertiesFrom (incoming, nullptr);
        clearUndoHistory();

        if (const auto ref = incoming["LoadedPreset"].toString(); ref.isNotEmpty() && getManager() != nullptr)
            getManager()->restorePresetInfo (ref, incoming["LoadedPresetModified"]);

        return true;
    }

    void resetToDefault() override
    {
        for (auto* id : { "a", "b", "c" })
            tree.setProperty (id, 0, nullptr);

        clearModified();
    }

    /** A parameter edit as the editor makes it: one undoable step. */
    void edit (const char* id, int value)
    {
        history.beginNewTransaction();
        tree.setProperty (id, value, &history);
        markModified();
    }

    /** A shifted preset file holding the given values. */
    juce::MemoryBlock presetBytes (int a, int b, int c)
    {
        const auto saved = tree.createCopy();
        tree.setProperty ("a", a, nullptr).setProperty ("b", b, nullptr).setProperty ("c", c, nullptr);
        juce::MemoryBlock blob;
        getState (blob, false);
        tree.copyPropertiesFrom (saved, nullptr);
        return juce::qorv_gui::PresetFileCodec::encode (blob, fileShift);
    }

    void writePreset (const juce::File& file, int a, int b = 0, int c = 0)
    {
        file.getParentDirectory().createDirectory();
        const auto bytes = presetBytes (a, b, c);
        ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
    }

    int value (const char* id) const { return tree[id]; }

    juce::UndoManager history;
    juce::ValueTree tree { "Td11" };
    int setStateCalls = 0;
};

/** Records what the loader shows and on which thread. */
struct TestDisplay : public Loader::PresetDisplay
{
    void setModified (bool isModified) override
    {
        shown.push_back (isModified);
        onMessageThread = onMessageThread && juce::MessageManager::existsAndIsCurrentThread();
    }

    void selectNewItem (juce::NotificationType) override { ++newItemSelections; }

    std::vector<bool> shown;
    bool onMessageThread = true;
    int newItemSelections = 0;
};

/** A presets folder with a manager over it; factory presets come in memory. */
struct PresetFixture : public ::testing::Test
{
    void makeManager()
    {
        manager = std::make_unique<PresetManager> (loader, "Td11", folder.get());
    }

    PresetManager::FactoryPreset* addFactory (const juce::String& name, int a)
    {
        const auto bytes = loader.presetBytes (a, a + 1, a + 2);
        return manager->addFactoryPreset (name, bytes.getData(), (int) bytes.getSize());
    }

    ScopedTempDir folder;
    TestLoader loader;
    std::unique_ptr<PresetManager> manager;
};

} // namespace tandrel::test
