namespace juce::qorv_dsp
{

void MultiChannelRing::resize (int channels, int newSpacing)
{
    if (channels != layoutChannels || newSpacing != spacing)
    {
        layoutChannels = channels;
        spacing = newSpacing;

        int size = 2;
        if ((juce::int64) channels * newSpacing > 2)
            while (size < channels * newSpacing)
                size *= 2;
        mask = size - 1;
    }

    writeIndex.resize ((size_t) juce::jmax (0, layoutChannels));
    for (int c = 0; c < layoutChannels; ++c)
        writeIndex[(size_t) c] = c * spacing;

    data.assign ((size_t) mask + 1, 0.0f);
}

void MultiChannelRing::prime (int channels, int newCapacity, int fill)
{
    countedChannels = channels;
    capacity = newCapacity;
    resize (channels, newCapacity);

    const int zeros = juce::jmax (0, juce::jmin (capacity, fill));
    fillCount.assign ((size_t) juce::jmax (0, countedChannels), zeros);

    for (int c = 0; c < countedChannels; ++c)
        for (int j = 0; j < zeros; ++j)
            write (c, 0.0f);
}

} // namespace juce::qorv_dsp
