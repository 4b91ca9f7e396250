#include "StubAudioProcessor.h"
#include "TestLoader.h"

using namespace tandrel::test;

namespace
{
/** The smallest processor that owns a parameter tree with an undo manager. */
struct TreeProcessor : public tandrel::test::StubAudioProcessor
{
    TreeProcessor() : tree (*this, &history, "Td11", { std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "x", 1 }, "x", 0.0f, 1.0f, 0.5f) }) {}


    juce::UndoManager history;
    juce::AudioProcessorValueTreeState tree;
};

/** A loader applying blobs to a framework parameter tree through replaceModelState. */
struct TreeLoader : public Loader
{
    TreeLoader() : Loader (&processor.history) {}

    void getState (juce::MemoryBlock& destination, bool) override
    {
        destination.reset();
        juce::AudioProcessor::copyXmlToBinary (*processor.tree.copyState().createXml(), destination);
    }

    bool setState (const void* data, int size) override
    {
        auto xml = juce::AudioProcessor::getXmlFromBinary (data, size);

        if (xml == nullptr || ! xml->hasTagName ("Td11"))
            return false;

        replaceModelState (processor.tree, juce::ValueTree::fromXml (*xml));
        return true;
    }

    void resetToDefault() override {}

    float x() { return processor.tree.getRawParameterValue ("x")->load(); }

    void setX (float value)
    {
        auto* p = processor.tree.getParameter ("x");
        processor.history.beginNewTransaction();
        p->setValueNotifyingHost (value);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50); // the tree records edits from its timer
    }

    TreeProcessor processor;
};
} // namespace

TEST (ReplaceModelState, LoadsThroughTheFrameworkTreeUndoAndLeaveAWorkingHistory)
{
    TreeLoader loader;
    loader.setX (0.25f);
    juce::MemoryBlock quarter;
    loader.getState (quarter, false);
    loader.setX (0.75f);

    auto fileBytes = juce::qorv_gui::PresetFileCodec::encode (quarter, loader.fileShift);
    ASSERT_TRUE (loader.loadStateUndoable (fileBytes));
    EXPECT_FLOAT_EQ (loader.x(), 0.25f);
    EXPECT_TRUE (loader.processor.history.canUndo());

    ASSERT_TRUE (loader.processor.history.undo());
    EXPECT_FLOAT_EQ (loader.x(), 0.75f);
    EXPECT_FALSE (loader.processor.history.canUndo());
    EXPECT_FALSE (loader.processor.history.canRedo());

    ASSERT_TRUE (loader.loadStateUndoable (fileBytes = juce::qorv_gui::PresetFileCodec::encode (quarter, loader.fileShift)));
    EXPECT_FLOAT_EQ (loader.x(), 0.25f);
    ASSERT_TRUE (loader.processor.history.undo());
    EXPECT_FLOAT_EQ (loader.x(), 0.75f);
}
