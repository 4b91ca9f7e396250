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

bool StateBlob::hasOnlyCharacterReferences (const char* text, size_t length)
{
    // An unknown entity comes back as its own name, and a name holding "<"
    // is parsed again as markup, past the end of that name's text.
    for (size_t i = 0; i < length; ++i)
    {
        if (text[i] != '&')
            continue;

        const auto* rest = text + i + 1;
        const auto left = length - i - 1;
        auto startsWith = [&] (const char* word) { return std::strncmp (rest, word, juce::jmin (left, std::strlen (word))) == 0 && left >= std::strlen (word); };
        if (startsWith ("amp;") || startsWith ("lt;") || startsWith ("gt;") || startsWith ("quot;") || startsWith ("apos;"))
            continue;

        // A character reference must name a character: the parser stores any number.
        if (left < 3 || rest[0] != '#')
            return false;
        const bool hex = rest[1] == 'x' || rest[1] == 'X';
        size_t k = hex ? 2 : 1;
        juce::int64 code = 0;
        int digits = 0;
        for (; k < left && rest[k] != ';' && digits <= 8; ++k, ++digits)
        {
            const auto value = hex ? juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) rest[k])
                                   : (rest[k] >= '0' && rest[k] <= '9' ? rest[k] - '0' : -1);
            if (value < 0)
                return false;
            code = code * (hex ? 16 : 10) + value;
        }
        if (k >= left || rest[k] != ';' || digits == 0 || code < 1 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
    }
    return true;
}

bool StateBlob::passesTextChecks (const char* utf8, size_t textLength)
{
    // Every check below reads bytes; only strict UTF-8 decodes to the
    // characters its bytes show (the parser reads "C0 BC" as "<").
    if (textLength > maxTextBytes || ! juce::qorv_gui::Utf8Validity::isWellFormed (utf8, textLength))
        return false;

    // The parser recurses once per nesting level; a hostile document nested
    // thousands deep would exhaust a host thread's stack. Each element and
    // attribute it builds costs far more memory than its text.
    if (countElementStarts (utf8, textLength) > maxElements
        || countAttributeStarts (utf8, textLength) > maxElements * maxAttributesPerElement
        || entityCost (utf8, textLength) > maxEntityCost
        || ! hasOnlyCharacterReferences (utf8, textLength))
        return false;

    // The parser expands entities declared in a document type definition
    // recursively and without limit, so an entity that names itself overflows
    // the stack. No state of ours carries a DTD.
    const auto xmlText = juce::String::fromUTF8 (utf8, (int) textLength);
    if (xmlText.containsIgnoreCase ("<!DOCTYPE"))
        return false;

    // The parser skips a processing instruction as white space, and when text
    // follows it inside an element it rolls back to the instruction for the
    // text and starts over, for ever. Only the XML declaration is ours.
    const auto body = xmlText.trimStart();
    const auto declarationEnd = body.startsWith ("<?xml") ? body.indexOf ("?>") : -1;
    return body.indexOf (declarationEnd < 0 ? 0 : declarationEnd + 2, "<?") < 0;
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
    if (! passesTextChecks (utf8, textLength))
        return nullptr;

    auto xml = juce::parseXML (juce::String::fromUTF8 (utf8, (int) textLength));
    if (xml == nullptr || ! hasSafeAttributes (*xml) || ! hasNumericParameterValues (*xml))
        return nullptr;

    // What is accepted must be accepted again when written back: the writer
    // escapes characters the text held plainly ("<", ">", quotes, line
    // breaks), which can make its text longer and its entities dearer. The
    // state is written from its value tree, which keeps no text elements (and
    // the framework's writer cannot write one followed by elements on one line).
    const auto tree = juce::ValueTree::fromXml (*xml).createXml();
    const auto written = tree != nullptr ? tree->toString (juce::XmlElement::TextFormat().singleLine()) : juce::String();
    return tree != nullptr && passesTextChecks (written.toRawUTF8(), written.getNumBytesAsUTF8()) ? std::move (xml) : nullptr;
}
