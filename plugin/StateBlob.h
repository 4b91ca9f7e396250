#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/** Reads the framework's XML-in-binary state blob ("VC2!", 32-bit
    little-endian text length, UTF-8 XML text, zero byte) the way the framework
    does, but safely for bytes from anywhere: the text is read only inside the
    given bytes, text that is not valid UTF-8 is refused, and so are a
    document with more elements than any state of ours could have, one with a
    document type definition and one with a processing instruction after the
    XML declaration, before the parser's recursion or loops see them.
    Elements that repeat an attribute name are refused too (the value tree
    would keep both, read the first and write the last), and so are values
    that read as numbers with an exponent the framework's reader wraps. */
struct StateBlob
{
    static constexpr juce::uint32 magic = 0x21324356;

    /** Far above the root and the eleven parameter nodes of a real state. */
    static constexpr int maxElements = 256;

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

    /** Upper bound of an XML text's element count (every "<" that opens a tag). */
    static int countElementStarts (const char* text, size_t length);
};
