#pragma once

namespace juce::qorv_dsp
{

/** The engine's queue and delay line: one power-of-two float array shared by
    all channels, each channel with its own write position and its own count of
    samples waiting to be read.

    The sample d places before the newest of channel c is
    data[(writeIndex[c] - d) & mask]; with fill count k the oldest unread one is
    k - 1 places back. Channel c starts at c * spacing, so a channel owns the
    spacing positions behind its write index as long as all channels advance
    together; owners never look further back than that. */
class MultiChannelRing
{
public:
    /** Lays the array out for channels x spacing (zeroed, write positions at
        the channel starts). Allocates only when the array grows. */
    void resize (int channels, int newSpacing);

    /** A queue that already holds fill samples of silence per channel (a delay
        of that length), with counts capped at capacity. */
    void prime (int channels, int newCapacity, int fill);

    /** Appends n samples; the count stops at capacity, the samples still enter
        the array (the oldest are overwritten). */
    void push (int c, const float* samples, int n) noexcept
    {
        if (n <= 0)
            return;
        auto& fill = fillCount[(size_t) c];
        fill = juce::jmin (capacity, fill + n);
        const int w = writeIndex[(size_t) c];
        float* d = data.data();
        forEachRun (w + 1, n, [&] (int offset, int position, int count) { std::copy (samples + offset, samples + offset + count, d + position); });
        writeIndex[(size_t) c] = (w + n) & mask;
    }

    /** Appends one value without counting it (scratch use). */
    void write (int c, float value) noexcept
    {
        auto& w = writeIndex[(size_t) c];
        w = (w + 1) & mask;
        data[(size_t) w] = value;
    }

    /** Appends one value if the channel has room; otherwise drops it. */
    void offer (int c, float value) noexcept
    {
        auto& fill = fillCount[(size_t) c];
        if (fill < capacity)
        {
            write (c, value);
            ++fill;
        }
    }

    /** Takes up to n samples, oldest first, scaled by gain, into destination
        (added in add mode; in overwrite mode a shortfall becomes zeros). */
    void read (int c, float* destination, int n, float gain, bool add) noexcept
    {
        const int k = fillCount[(size_t) c];
        const int m = juce::jmin (n, k);
        const int w = writeIndex[(size_t) c];
        const float* d = data.data();

        forEachRun (w - (k - 1), m, [&] (int offset, int position, int count)
        {
            float* const to = destination + offset;
            const float* const from = d + position;
            if (add)
                for (int j = 0; j < count; ++j)
                    to[j] = to[j] + gain * from[j];
            else
                for (int j = 0; j < count; ++j)
                    to[j] = gain * from[j];
        });
        if (! add)
            for (int j = juce::jmax (m, 0); j < n; ++j)
                destination[j] = 0.0f;
        fillCount[(size_t) c] = k - juce::jmax (m, 0);
    }

    void discard (int c, int n) noexcept
    {
        auto& fill = fillCount[(size_t) c];
        fill = juce::jmax (0, fill - n);
    }

    /** Output = input delayed by the channel's fill count, which stays as it
        is. Each input sample is read before its output sample is written, so
        input and output may be the same memory. */
    void passThrough (int c, const float* input, float* output, int n) noexcept
    {
        const int k = fillCount[(size_t) c];
        if (k == 0)
        {
            if (input != output)
                std::copy (input, input + n, output);
            return;
        }

        // When every output sample was in the ring before the call (k >= n)
        // and no position is both read and written, the input goes in first
        // and the output comes out in runs; the same values as one at a time.
        const bool apart = input + n <= output || output + n <= input || input == output;
        if (k >= n && k + n <= mask + 1 && apart)
        {
            const int first = writeIndex[(size_t) c] - (k - 1);
            push (c, input, n);
            fillCount[(size_t) c] = k;
            const float* d = data.data();
            forEachRun (first, n, [&] (int offset, int position, int count) { std::copy (d + position, d + position + count, output + offset); });
            return;
        }

        int w = writeIndex[(size_t) c];
        float* d = data.data();
        for (int j = 0; j < n; ++j)
        {
            const float x = input[j];
            output[j] = d[(w - (k - 1)) & mask];
            w = (w + 1) & mask;
            d[w] = x;
        }
        writeIndex[(size_t) c] = w;
    }

    /** Copies n values from consecutive ring positions, starting at position
        first (wrapped by the mask), into destination. */
    void copyOut (int first, int n, float* destination) const noexcept
    {
        const float* d = data.data();
        forEachRun (first, n, [&] (int offset, int position, int count) { std::copy (d + position, d + position + count, destination + offset); });
    }

    //==============================================================================
    /** The sample d places before the newest of channel c (d may be negative:
        that reaches past the newest into whatever the array holds there). */
    float sampleBefore (int c, int d) const noexcept { return data[(size_t) ((writeIndex[(size_t) c] - d) & mask)]; }

    int getFillCount (int c) const noexcept { return fillCount[(size_t) c]; }
    void setFillCount (int c, int fill) noexcept { fillCount[(size_t) c] = fill; }
    int getCapacity() const noexcept { return capacity; }
    int getSpacing() const noexcept { return spacing; }
    int getMask() const noexcept { return mask; }
    int getWriteIndex (int c) const noexcept { return writeIndex[(size_t) c]; }
    void setWriteIndex (int c, int w) noexcept { writeIndex[(size_t) c] = w & mask; }
    int getDataLength() const noexcept { return (int) data.size(); }
    float* getData() noexcept { return data.data(); }
    const float* getData() const noexcept { return data.data(); }

private:
    /** Splits the n consecutive positions from first on (wrapped by the mask)
        into runs that do not wrap: run (offset, position, count) for each,
        in order. */
    template <typename Run>
    void forEachRun (int first, int n, Run&& run) const noexcept
    {
        for (int done = 0; done < n;)
        {
            const int position = (first + done) & mask;
            const int count = juce::jmin (n - done, mask + 1 - position);
            run (done, position, count);
            done += count;
        }
    }

    std::vector<float> data;
    std::vector<int> writeIndex;
    int layoutChannels = 0;
    int spacing = 0;
    int mask = 1;
    std::vector<int> fillCount;
    int countedChannels = 0;
    int capacity = 0;
};

} // namespace juce::qorv_dsp
