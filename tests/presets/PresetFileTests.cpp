#include "TestLoader.h"

#include <csignal>
#if ! defined(_WIN32)
 #include <sys/resource.h>
#endif

using namespace tandrel::test;

namespace
{
struct PresetFileTest : public PresetFixture
{
    void SetUp() override { makeManager(); }

    juce::String stateText()
    {
        juce::MemoryBlock blob;
        loader.getState (blob, false);
        return juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize())->toString();
    }
};
} // namespace

TEST_F (PresetFileTest, WritingThenReadingGivesTheStateTextBackAndTheFileIsNotPlainText)
{
    loader.tree.setProperty ("a", 12, nullptr).setProperty ("b", 34, nullptr);
    const auto file = folder["Kept.td11"];
    ASSERT_TRUE (file.create().wasOk());
    ASSERT_TRUE (loader.saveToFile (file));

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    EXPECT_FALSE (bytes.toString().contains ("Td11"));
    EXPECT_FALSE (bytes.toString().contains ("xml"));

    const auto blob = juce::qorv_gui::PresetFileCodec::decode (bytes, loader.fileShift);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->toString(), stateText());

    loader.tree.setProperty ("a", 0, nullptr);
    ASSERT_TRUE (loader.loadFromFile (file));
    EXPECT_EQ (loader.value ("a"), 12);
}

TEST_F (PresetFileTest, TheFileIsTheShiftedBlobInMinimalLittleEndianBytes)
{
    const auto file = folder["Shifted.td11"];
    ASSERT_TRUE (file.create().wasOk());
    ASSERT_TRUE (loader.saveToFile (file));

    juce::MemoryBlock blob, bytes;
    loader.getState (blob, false);
    ASSERT_TRUE (file.loadFileAsData (bytes));

    // Shifting by fileShift < 8 moves every byte's top bits into the next byte;
    // the blob's last byte is zero, so the file is exactly as long as the blob
    // without that byte plus one carry byte at most.
    const auto* in = static_cast<const juce::uint8*> (blob.getData());
    const auto* out = static_cast<const juce::uint8*> (bytes.getData());
    const auto shift = loader.fileShift;
    ASSERT_LT (shift, 8);
    EXPECT_EQ (out[0], (juce::uint8) (in[0] << shift));
    EXPECT_EQ (out[1], (juce::uint8) ((in[1] << shift) | (in[0] >> (8 - shift))));
    EXPECT_NE (out[bytes.getSize() - 1], 0);
    EXPECT_LE (bytes.getSize(), blob.getSize());
}

TEST_F (PresetFileTest, AFileCutShortIsRefusedWithValuesAndHistoryUnchanged)
{
    const auto file = folder["Cut.td11"];
    loader.writePreset (file, 7, 8, 9);
    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize() - 1));

    loader.edit ("a", 3);
    EXPECT_FALSE (loader.loadFromFile (file));
    EXPECT_EQ (loader.value ("a"), 3);
    EXPECT_EQ (loader.value ("b"), 0);
    EXPECT_TRUE (loader.history.canUndo());
}

TEST_F (PresetFileTest, MissingEmptyAndDirectoryPathsFailCleanly)
{
    const auto empty = folder["Empty.td11"];
    ASSERT_TRUE (empty.create().wasOk());
    const auto directory = folder["Dir.td11"];
    ASSERT_TRUE (directory.createDirectory().wasOk());

    loader.edit ("a", 3);

    for (const auto& file : { juce::File(), folder["Missing.td11"], empty, directory })
    {
        SCOPED_TRACE (file.getFullPathName());
        EXPECT_FALSE (loader.loadFromFile (file));
        if (file != empty)
        {
            EXPECT_FALSE (loader.saveToFile (file));
        }
        EXPECT_EQ (loader.value ("a"), 3);
        EXPECT_TRUE (loader.history.canUndo());
    }

    EXPECT_TRUE (loader.isModified()); // refused saves do not clear the mark
}

TEST_F (PresetFileTest, AStateWithoutTheReferenceLeavesOutAStaleOneFromTheLiveTree)
{
    loader.tree.setProperty ("LoadedPreset", "FactoryPreset:Old", nullptr);
    const auto file = folder["Fresh.td11"];
    ASSERT_TRUE (file.create().wasOk());
    ASSERT_TRUE (loader.saveToFile (file));

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    const auto blob = juce::qorv_gui::PresetFileCodec::decode (bytes, loader.fileShift);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
    ASSERT_NE (xml, nullptr);
    EXPECT_FALSE (xml->hasAttribute ("LoadedPreset"));
}

TEST_F (PresetFileTest, AnOversizedFileIsNotReadIntoMemory)
{
    const auto file = folder["Huge.td11"];
    {
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (out.setPosition (Loader::maxPresetFileSize + 1));
        out.writeByte (1);
    }
    const auto calls = loader.setStateCalls;
    EXPECT_FALSE (loader.loadFromFile (file));
    EXPECT_EQ (loader.setStateCalls, calls);
}

#if ! defined(_WIN32)
// A disk that fills up during the save used to leave the preset truncated:
// the short last write went unnoticed and the temporary file replaced it.
TEST_F (PresetFileTest, ASaveThatRunsOutOfSpaceKeepsTheFileThatWasThere)
{
    const auto file = folder["Kept.td11"];
    ASSERT_TRUE (file.replaceWithText ("the preset that was there"));
    loader.edit ("a", 3);

    // The file size limit stands in for a full disk; the signal it raises is ignored, so the write just fails.
    const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit previous {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 16;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &limited), 0);
    const bool saved = loader.saveToFile (file);
    setrlimit (RLIMIT_FSIZE, &previous);
    std::signal (SIGXFSZ, previousHandler);

    EXPECT_FALSE (saved);
    EXPECT_EQ (file.loadFileAsString(), "the preset that was there");
    EXPECT_TRUE (loader.isModified());
    EXPECT_EQ (file.getParentDirectory().findChildFiles (juce::File::findFiles, false, "*").size(), 1);
}
#endif
