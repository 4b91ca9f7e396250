#include "PluginProcessor.h"
#include "StateBlob.h"

#include <gtest/gtest.h>

namespace
{
juce::MemoryBlock blobOfText (const juce::String& text)
{
    return StateBlob::wrap (text.toRawUTF8(), text.getNumBytesAsUTF8());
}
} // namespace

// The parser would expand these entities into each other until the stack runs out.
TEST (StateBlob, DocumentsWithATypeDefinitionAreRefusedAndLeaveTheStateAsItWas)
{
    const juce::String entityLoops[] = {
        "<?xml version=\"1.0\"?>\n<!DOCTYPE Td11 [<!ENTITY a \"&xa;\">]>\n<Td11><PARAM id=\"Tone\" value=\"&a;\"/></Td11>",
        "<!DOCTYPE Td11 [<!ENTITY a \"&xa;\">]><Td11 x=\"&a;\"/>",
        "<!doctype Td11 [<!ENTITY a \"&xa;\">]><Td11 x=\"&a;\"/>",
    };

    PluginProcessor processor { juce::File() };
    juce::MemoryBlock before, after;
    processor.getStateInformation (before);

    for (const auto& text : entityLoops)
    {
        const auto blob = blobOfText (text);
        EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr) << text;
        EXPECT_FALSE (processor.setState (blob.getData(), (int) blob.getSize())) << text;
    }

    processor.getStateInformation (after);
    EXPECT_EQ (before, after);
}

TEST (StateBlob, APlainStateDocumentStillParses)
{
    const auto blob = blobOfText ("<?xml version=\"1.0\"?>\n<Td11><PARAM id=\"Tone\" value=\"20\"/></Td11>");
    const auto xml = StateBlob::parse (blob.getData(), (int) blob.getSize());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getChildByName ("PARAM")->getStringAttribute ("value"), "20");
}

// The value tree would keep both copies: the parameter plays the first value
// and the next saved state carries the last.
TEST (StateBlob, RepeatedAttributeNamesAreRefused)
{
    const juce::String repeated[] = {
        "<Td11 ProductVersion=\"1.1.3\" ProductVersion=\"0.1.3\"/>",
        "<Td11><PARAM id=\"Tone\" value=\"20\" value=\"40\"/></Td11>",
    };

    PluginProcessor processor { juce::File() };
    juce::MemoryBlock before, after;
    processor.getStateInformation (before);

    for (const auto& text : repeated)
    {
        const auto blob = blobOfText (text);
        EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr) << text;
        EXPECT_FALSE (processor.setState (blob.getData(), (int) blob.getSize())) << text;
    }

    processor.getStateInformation (after);
    EXPECT_EQ (before, after);
}

TEST (StateBlob, ElementsWithFarMoreAttributesThanAnyStateAreRefused)
{
    juce::String text ("<Td11");
    for (int i = 0; i <= StateBlob::maxAttributesPerElement; ++i)
        text << " a" << i << "=\"0\"";
    const auto blob = blobOfText (text + "/>");
    EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr);
}

// The number reader wrapped such exponents: 5e4294967297 came back as 50, a
// valid mix, instead of a value outside every range.
TEST (StateBlob, ValuesWithAnExponentTheNumberReaderWouldWrapAreRefused)
{
    PluginProcessor processor { juce::File() };
    juce::MemoryBlock before, after;
    processor.getStateInformation (before);

    for (const auto* value : { "5e4294967297", "-1E+00000000012345", "2e-4294967297" })
    {
        const auto blob = blobOfText (juce::String ("<Td11><PARAM id=\"1- Seg Mix\" value=\"") + value + "\"/></Td11>");
        EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr) << value;
        EXPECT_FALSE (processor.setState (blob.getData(), (int) blob.getSize())) << value;
    }

    processor.getStateInformation (after);
    EXPECT_EQ (before, after);

    const auto ordinary = blobOfText ("<Td11><PARAM id=\"1- Seg Mix\" value=\"5e1\"/></Td11>");
    EXPECT_NE (StateBlob::parse (ordinary.getData(), (int) ordinary.getSize()), nullptr);
}

// The parser looped for ever on a processing instruction followed by text.
TEST (StateBlob, ProcessingInstructionsAfterTheDeclarationAreRefused)
{
    const juce::String looping[] = {
        "<?xml version=\"1.0\"?>\n<Td11><PARAM id=\"Tone\" value=\"20\"/><?x ?> text</Td11>",
        "<Td11><?x?>b</Td11>",
        "<?xml version=\"1.0\"?><?x?><Td11/>",
    };

    PluginProcessor processor { juce::File() };
    for (const auto& text : looping)
    {
        const auto blob = blobOfText (text);
        EXPECT_EQ (StateBlob::parse (blob.getData(), (int) blob.getSize()), nullptr) << text;
        EXPECT_FALSE (processor.setState (blob.getData(), (int) blob.getSize())) << text;
    }

    const auto declared = blobOfText ("  <?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Td11/>");
    EXPECT_NE (StateBlob::parse (declared.getData(), (int) declared.getSize()), nullptr);
}
