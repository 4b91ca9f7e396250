#pragma once

namespace juce::qorv_gui
{

/** Preset file bytes: the state blob read as one little-endian unsigned
    integer, shifted left by a fixed number of bits and stored as the minimal
    little-endian byte string. Reading shifts right and drops the bits that
    fall off; the blob's trailing zero byte does not come back, which the XML
    blob reader tolerates because it reads the stored text length. */
struct PresetFileCodec
{
    static juce::MemoryBlock encode (const juce::MemoryBlock& stateBlob, int shift);
    static juce::MemoryBlock decode (const juce::MemoryBlock& fileBytes, int shift);
};

} // namespace juce::qorv_gui
