namespace juce::qorv_gui
{

static juce::MemoryBlock shiftBlock (const juce::MemoryBlock& bytes, int bits)
{
    juce::BigInteger value;
    value.loadFromMemoryBlock (bytes);
    value.shiftBits (bits, 0);
    return value.toMemoryBlock();
}

juce::MemoryBlock PresetFileCodec::encode (const juce::MemoryBlock& stateBlob, int shift)
{
    return shiftBlock (stateBlob, shift);
}

juce::MemoryBlock PresetFileCodec::decode (const juce::MemoryBlock& fileBytes, int shift)
{
    return shiftBlock (fileBytes, -shift);
}

} // namespace juce::qorv_gui
