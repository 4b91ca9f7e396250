#pragma once

#include <qorv_gui/qorv_gui.h>

#include <memory>

/** Reads the framework's XML-in-binary state blob ("VC2!", 32-bit
    little-endian text length, UTF-8 XML text, zero byte) the way the framework
    does, but safely for bytes from anywhere: the text is read only inside the
    given bytes, text that is not strictly valid UTF-8 (overlong forms
    included) is refused, and so are a text longer than the largest preset
    file, a document with more elements or attributes than any state of ours
    could have, one whose entities would cost the parser more than a bounded
    amount of copying, one with a document type definition and one with a
    processing instruction after the XML declaration, before the parser's
    recursion or loops see them.
    Elements that repeat an attribute name are refused too (the value tree
    would keep both, read the first and write the last), and so are values
    that read as numbers with an exponent the framework's reader wraps, and
    parameter values that are not numbers. */
struct StateBlob
{
    static constexpr juce::uint32 magic = 0x21324356;

    /** The magic and the text length before the text. */
    static constexpr size_t headerSize = 8;

    /** Far above the root and the eleven parameter nodes of a real state. */
    static constexpr int maxElements = 256;

    /** The longest blob text read, the size of the largest preset file: far
        above any real state, and small enough that parsing it stays quick and
        its memory bounded. */
    static constexpr size_t maxTextBytes = (size_t) juce::qorv_gui::PresetManager::PresetLoader::maxPresetFileSize;

    /** The parser appends an entity of an attribute value ("&lt;", "&#60;")
        to the value read so far by copying it, so a value's entities cost the
        square of its length. A real state's longest value, a preset path of
        4096 characters that all need escaping, costs about 4 * 10^7. */
    static constexpr juce::int64 maxEntityCost = juce::int64 (1) << 26;

    /** The blob around raw text, laid out as the framework writes one; the
        text need not be valid (for tests and benchmarks of the reader). */
    static juce::MemoryBlock wrap (const char* text, size_t numBytes);

    /** The blob's XML document, or nullptr when the bytes are not a blob. */
    static std::unique_ptr<juce::XmlElement> parse (const void* data, int size);

    /** The XML text of a blob as the framework's reader takes it (length field
        limited to the bytes present); false when the header is not a blob's. */
    static bool extractText (const void* data, int size, juce::MemoryBlock& utf8WithTerminator);

    /** Far above the attribute count of any element of a real state. */
    static constexpr int maxAttributesPerElement = 64;

    /** True when no element in the tree repeats an attribute name, carries
        more than maxAttributesPerElement attributes or has a value that
        NumberText::withBoundedExponent would change. */
    static bool hasSafeAttributes (const juce::XmlElement& element);

    /** True when every parameter node's value is one whole number: any other
        text would play as 0 and be written back verbatim by the next save. */
    static bool hasNumericParameterValues (const juce::XmlElement& root);

    /** Upper bound of an XML text's element count: every "<" that does not
        close a tag (comments and character data count, as the parser makes
        text elements of them). */
    static int countElementStarts (const char* text, size_t length);

    /** Upper bound of the parser's copying for the text's entities: each "&"
        is charged the distance back to the farther of the last double and the
        last single quote, since the quote that opened an attribute value is
        the last one of its kind. */
    static juce::int64 entityCost (const char* text, size_t length);

    /** True when every "&" starts one of the five predefined entities or a
        reference to a valid character. */
    static bool hasOnlyCharacterReferences (const char* text, size_t length);

    /** The checks on a blob's text before it is parsed, and on the text the
        writer would make of it. */
    static bool passesTextChecks (const char* utf8, size_t length);

    /** Upper bound of the attribute count: every attribute needs an "=". */
    static int countAttributeStarts (const char* text, size_t length);
};
