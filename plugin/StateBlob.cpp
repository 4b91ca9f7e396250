#include "StateBlob.h"

#include <qorv_gui/qorv_gui.h>

juce::MemoryBlock StateBlob::wrap (const char* text, size_t numBytes)
{
    juce::MemoryBlock blob;
    juce::MemoryOutputStream out (blob, false);
    out.writeInt ((int) magic);
    out.writeInt ((int) numBytes + 1);
    out.write (text, numBytes);
    out.writeByte (0);
    out.flush();
    return blob;
}

bool StateBlob::extractText (const void* data, int size, juce::MemoryBlock& utf8WithTerminator)
{
    if (data == nullptr || size <= 8 || juce::ByteOrder::littleEndianInt (data) != magic)
        return false;

    const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));
    if (length <= 0)
        return false;

    // One byte past the longest text read is enough to see that it is too long.
    const auto available = juce::jmin ((size_t) juce::jmin (size - 8, length), maxTextBytes + 1);
    utf8WithTerminator.setSize (available + 1, true);
    utf8WithTerminator.copyFrom (juce::addBytesToPointer (data, 8), 0, available);
    return true;
}

int StateBlob::countElementStarts (const char* text, size_t length)
{
    int count = 0;
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '<' && (i + 1 == length || text[i + 1] != '/'))
            ++count;
    return count;
}

juce::int64 StateBlob::entityCost (const char* text, size_t length)
{
    juce::int64 cost = 0;
    size_t lastDouble = 0, lastSingle = 0;

    for (size_t i = 0; i < length; ++i)
    {
        if (text[i] == '"')
            lastDouble = i;
        else if (text[i] == '\'')
            lastSingle = i;
        else if (text[i] == '&')
            cost += (juce::int64) (i - juce::jmin (lastDouble, lastSingle));
    }
    return cost;
}

int StateBlob::countAttributeStarts (const char* text, size_t length)
{
    return (int) std::count (text, text + length, '=');
}

bool StateBlob::hasSafeAttributes (const juce::XmlElement& element)
{
    const auto count = element.getNumAttributes();
    if (count > maxAttributesPerElement)
        return false;

    juce::StringArray names;
    for (int i = 0; i < count; ++i)
    {
        const auto& value = element.getAttributeValue (i);
        if (juce::qorv_gui::NumberText::withBoundedExponent (value) != value)
            return false;
        names.add (element.getAttributeName (i));
    }
    names.sort (false);
    for (int i = 1; i < names.size(); ++i)
        if (names[i] == names[i - 1])
            return false;

    for (const auto* child : element.getChildIterator())
        if (! hasSafeAttributes (*child))
            return false;
    return true;
}

bool StateBlob::hasNumericParameterValues (const juce::XmlElement& root)
{
    for (const auto* node : root.getChildWithTagNameIterator ("PARAM"))
        if (node->hasAttribute ("value") && ! juce::qorv_gui::NumberText::parseWhole (node->getStringAttribute ("value")))
            return false;
    return true;
}

std::unique_ptr<juce::XmlElement> StateBlob::parse (const void* data, int size)
{
    juce::MemoryBlock text;
    if (! extractText (data, size, text))
        return nullptr;

    // The copy ends with a zero byte, so decoding can never read past it, and
    // like the framework's reader the text ends at the first zero byte.
    const auto* utf8 = static_cast<const char*> (text.getData());
    const auto textLength = std::strlen (utf8);

    // Every check below reads bytes; only strict UTF-8 decodes to the
    // characters its bytes show (the parser reads "C0 BC" as "<").
    if (textLength > maxTextBytes || ! juce::qorv_gui::Utf8Validity::isWellFormed (utf8, textLength))
        return nullptr;

    // The parser recurses once per nesting level; a hostile document nested
    // thousands deep would exhaust a host thread's stack. Each element and
    // attribute it builds costs far more memory than its text.
    if (countElementStarts (utf8, textLength) > maxElements
        || countAttributeStarts (utf8, textLength) > maxElements * maxAttributesPerElement
        || entityCost (utf8, textLength) > maxEntityCost)
        return nullptr;

    // The parser expands entities declared in a document type definition
    // recursively and without limit, so an entity that names itself overflows
    // the stack. No state of ours carries a DTD.
    const auto xmlText = juce::String::fromUTF8 (utf8, (int) textLength);
    if (xmlText.containsIgnoreCase ("<!DOCTYPE"))
        return nullptr;

    // The parser skips a processing instruction as white space, and when text
    // follows it inside an element it rolls back to the instruction for the
    // text and starts over, for ever. Only the XML declaration is ours.
    const auto body = xmlText.trimStart();
    const auto declarationEnd = body.startsWith ("<?xml") ? body.indexOf ("?>") : -1;
    if (body.indexOf (declarationEnd < 0 ? 0 : declarationEnd + 2, "<?") >= 0)
        return nullptr;

    auto xml = juce::parseXML (xmlText);
    return xml != nullptr && hasSafeAttributes (*xml) && hasNumericParameterValues (*xml) ? std::move (xml) : nullptr;
}
