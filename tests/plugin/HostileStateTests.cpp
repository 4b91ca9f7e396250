// State blobs and preset files made to crash or stall the XML parser. Each one
// reaches the plug-in the way a host or a downloaded preset brings it, and
// must be refused there with the state, the undo history and the current
// preset as they were.

#include "PluginProcessor.h"
#include "ScopedTempDir.h"
#include "StateBlob.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using Loader = juce::qorv_gui::PresetManager::PresetLoader;

std::string repeated (const std::string& piece, size_t times)
{
    std::string text;
    text.reserve (piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

juce::MemoryBlock blobOfBytes (const std::string& text) { return StateBlob::wrap (text.data(), text.size()); }

struct HostileText
{
    const char* what;
    std::string text;
};

const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::vector<HostileText> hostileTexts()
{
    return {
        // The parser reads the overlong forms as "<" and recurses once per level.
        { "overlong two-byte < nested 40,000 deep", "<Td11>" + repeated ("\xc0\xbc" "a>", 40000) + "</Td11>" },
        { "overlong three-byte < nested 40,000 deep", "<Td11>" + repeated ("\xe0\x80\xbc" "a>", 40000) + "</Td11>" },
        { "overlong four-byte <", "<Td11>\xf0\x80\x80\xbc" "a/></Td11>" },
        { "type definition behind an overlong <", "\xc0\xbc!DOCTYPE Td11 [\xc0\xbc!ENTITY a \"&a;\">]><Td11 x=\"&a;\"/>" },
        { "surrogate", "<Td11 x=\"\xed\xa0\x80\"/>" },
        { "code point above U+10FFFF", "<Td11 x=\"\xf4\x90\x80\x80\"/>" },
        { "sequence cut short", "<Td11 x=\"\xe2\x82\"/>" },
        // Each entity of an attribute value copies the value read so far.
        { "100,000 named entities in one value", declaration + "<Td11 LoadedPreset=\"" + repeated ("&lt;", 100000) + "\"/>" },
        { "100,000 numeric entities in one value", declaration + "<Td11 LoadedPreset='" + repeated ("&#60;", 100000) + "'/>" },
        { "entities after a long plain run", declaration + "<Td11 a=\"" + std::string (1 << 20, 'x') + repeated ("&amp;", 200) + "\"/>" },
        // An unknown entity comes back as its name, which the parser reads again as markup, past its end.
        { "an entity named as markup", "<Td11>&<PARAM id=\"Tone\" value=\"5\"/>;</Td11>" },
        { "a reference to no character", "<Td11 a=\"&#1114112;\"/>" },
        { "a reference to a surrogate", "<Td11 a=\"&#xD800;\"/>" },
        // Accepted, it would be written back with every ">" escaped: a state the next load refuses.
        { "20,000 plain > in one value", "<Td11 a=\"" + repeated (">", 20000) + "\"/>" },
        // Text elements and attributes cost far more memory than their text.
        { "100,000 character data sections", "<Td11>" + repeated ("<![CDATA[]]>", 100000) + "</Td11>" },
        { "20,000 attributes", "<Td11 " + repeated ("a=\"\" ", 20000) + "/>" },
        // They would play as 0 and be written back verbatim by the next save.
        { "a parameter value that is not a number", "<Td11><PARAM id=\"Tone\" value=\"loud\"/></Td11>" },
        { "a parameter value with text after the number", "<Td11><PARAM id=\"Tone\" value=\"1-2\"/></Td11>" },
        { "an empty parameter value", "<Td11><PARAM id=\"Tone\" value=\"\"/></Td11>" },
    };
}

class HostileState : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A preset is current, so a refused input must also leave the reference alone.
        ASSERT_TRUE (processor.getPresetManager().selectPreset (processor.getPresetManager().getFactoryPresets().begin()->first));
        processor.getStateInformation (before);
    }

    void expectUnchanged (const char* what)
    {
        juce::MemoryBlock after;
        processor.getStateInformation (after);
        EXPECT_EQ (before, after) << what;
    }

    tandrel::test::ScopedTempDir temp;
    PluginProcessor processor { temp["Presets"] };
    juce::MemoryBlock before;
};
} // namespace

TEST_F (HostileState, RefusedThroughTheHostsStateCall)
{
    for (const auto& [what, text] : hostileTexts())
    {
        const auto blob = blobOfBytes (text);
        EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr) << what;
        processor.setStateInformation (blob.getData(), (int) blob.getSize());
        expectUnchanged (what);
    }
}

TEST_F (HostileState, RefusedAsAPresetFileWithTheUndoHistoryKept)
{
    auto* tone = processor.getModelTree().getParameter ("Tone");
    tone->setValueNotifyingHost (0.25f);
    processor.getStateInformation (before);
    ASSERT_TRUE (processor.undoManager->canUndo());

    const auto file = temp["hostile.td11"];
    for (const auto& [what, text] : hostileTexts())
    {
        const auto bytes = juce::qorv_gui::PresetFileCodec::encode (blobOfBytes (text), Loader::defaultFileShift);
        ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
        EXPECT_FALSE (processor.loadFromFile (file)) << what;
        EXPECT_FALSE (processor.getPresetManager().openChosenFile (file)) << what;
        expectUnchanged (what);
        EXPECT_TRUE (processor.undoManager->canUndo()) << what;
    }
}

// The bounds sit far above what any state of ours holds: a preset path of
// 4096 characters that all need escaping, any well-formed UTF-8, and a text of
// the largest accepted size.
TEST (StateBlobBounds, RealStatesAtTheirLargestStillParse)
{
    const std::string wellFormed[] = {
        declaration + "<Td11 LoadedPreset=\"" + repeated ("&amp;", 4096) + "\"><PARAM id=\"Tone\" value=\"20\"/></Td11>",
        declaration + "<Td11 LoadedPreset=\"/home/\xc3\xa9l\xc3\xa8ve/\xe6\x97\xa5\xe6\x9c\xac/\xf0\x9f\x8e\x9b.td11\"/>",
    };
    for (const auto& text : wellFormed)
    {
        const auto blob = blobOfBytes (text);
        EXPECT_NE (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr) << text.substr (0, 80);
    }

    const std::string start = declaration + "<Td11>", end = "</Td11>";
    auto largest = start + std::string (StateBlob::maxTextBytes - start.size() - end.size(), ' ') + end;
    auto blob = blobOfBytes (largest);
    EXPECT_NE (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr);

    largest.insert (start.size(), " ");
    blob = blobOfBytes (largest);
    EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr);
}
