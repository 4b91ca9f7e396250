#pragma once

// A libFuzzer mutator for the XML text inside state blobs and preset files.
// Byte flips almost never produce what breaks an XML reader: an overlong or
// otherwise invalid UTF-8 form of a markup character, a long run of entities
// in one value, or nesting thousands of levels deep. Half of the mutations
// insert such a piece (or a run of it) into the text, the rest are libFuzzer's
// own; the blob's length field is kept true to the text, and a preset file is
// mutated as the state it holds, so the result still reaches the parser.

#include "StateBlob.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

extern "C" size_t LLVMFuzzerMutate (uint8_t* data, size_t size, size_t maxSize);

namespace tandrel::fuzz
{
inline const std::vector<std::string>& markupPieces()
{
    static const std::vector<std::string> pieces {
        // overlong "<", ">", "/", "\"", "&" and "!"
        "\xc0\xbc", "\xe0\x80\xbc", "\xf0\x80\x80\xbc", "\xc0\xbe", "\xc0\xaf", "\xc0\xa2", "\xc0\xa6", "\xc0\xa1",
        // surrogates, beyond U+10FFFF, stray and missing continuation bytes, C1, FF
        "\xed\xa0\x80", "\xed\xbf\xbf", "\xf4\x90\x80\x80", "\x80", "\xbf", "\xe2\x82", "\xc1\xbf", "\xff",
        // markup
        "<a>", "</a>", "\xc0\xbc" "a>", "<a ", "/>", "<Td11>", "</Td11>", "<PARAM id=\"Tone\" value=\"20\"/>",
        "&lt;", "&#60;", "&#x3c;", "&amp;", "&a;", "<![CDATA[", "]]>", "<!--", "-->", "<?x?>",
        "<!DOCTYPE Td11 [", "<!ENTITY a \"&a;\">", "]>", "\"", "'", "=", " a=\"\"", "value=\"",
    };
    return pieces;
}

/** How often to repeat a piece: mostly a few times, sometimes just around the
    reader's element bound, sometimes thousands (nesting, entity runs). */
inline size_t repeatCount (std::minstd_rand& random)
{
    switch (random() % 4)
    {
        case 0:  return 250 + random() % 16;
        case 1:  return 1 + random() % 20000;
        default: return 1 + random() % 8;
    }
}

/** Inserts one piece, or a run of it, at a random place in the text. */
inline void insertMarkup (std::string& text, std::minstd_rand& random)
{
    const auto& pieces = markupPieces();
    const auto& piece = pieces[random() % pieces.size()];
    std::string run;
    for (auto n = repeatCount (random); n > 0; --n)
        run += piece;
    text.insert (text.empty() ? 0 : random() % (text.size() + 1), run);
}

/** The XML text of a blob, or the whole input when it is not a blob. */
inline std::string blobTextOf (const uint8_t* data, size_t size)
{
    if (size > 8 && std::memcmp (data, "VC2!", 4) == 0)
    {
        std::string text (reinterpret_cast<const char*> (data) + 8, size - 8);
        if (! text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }
    return { reinterpret_cast<const char*> (data), size };
}

inline juce::MemoryBlock blobAround (const std::string& text) { return StateBlob::wrap (text.data(), text.size()); }

inline size_t storeIfItFits (const juce::MemoryBlock& bytes, uint8_t* data, size_t size, size_t maxSize)
{
    if (bytes.getSize() > maxSize)
        return LLVMFuzzerMutate (data, size, maxSize);
    std::memcpy (data, bytes.getData(), bytes.getSize());
    return bytes.getSize();
}

/** Mutates a state blob. */
inline size_t mutateStateBlob (uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    std::minstd_rand random (seed);
    if (random() % 2 == 0)
        return LLVMFuzzerMutate (data, size, maxSize);

    auto text = blobTextOf (data, size);
    insertMarkup (text, random);
    return storeIfItFits (blobAround (text), data, size, maxSize);
}

/** Mutates a preset file as the state it holds, then shifts it back. */
inline size_t mutatePresetFile (uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    std::minstd_rand random (seed);
    if (random() % 2 == 0)
        return LLVMFuzzerMutate (data, size, maxSize);

    using Loader = juce::qorv_gui::PresetManager::PresetLoader;
    const auto blob = juce::qorv_gui::PresetFileCodec::decode (juce::MemoryBlock (data, size), Loader::defaultFileShift);
    auto text = blobTextOf (static_cast<const uint8_t*> (blob.getData()), blob.getSize());
    insertMarkup (text, random);
    return storeIfItFits (juce::qorv_gui::PresetFileCodec::encode (blobAround (text), Loader::defaultFileShift), data, size, maxSize);
}
} // namespace tandrel::fuzz
