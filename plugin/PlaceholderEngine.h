#pragma once

#include <qorv_dsp/qorv_dsp.h>

/** Stand-in engine until the segment engine lands: delays every channel by
    exactly the latency it reports, in normal and bypassed processing. */
class PlaceholderEngine : public juce::qorv_dsp::Processor<float>
{
public:
    void processBypassed (const InputBlock& input, const OutputBlock& output) override { process (input, output); }

    void process (const InputBlock& input, const OutputBlock& output) override
    {
        const auto n = output.getNumSamples();
        const auto channels = juce::jmin ((size_t) channelCount, input.getNumChannels(), output.getNumChannels());

        for (size_t c = 0; c < channels; ++c)
        {
            auto* in = input.getChannelPointer (c);
            auto* out = output.getChannelPointer (c);
            auto& line = lines[c];
            auto position = positions[c];

            for (size_t j = 0; j < n; ++j)
            {
                const float x = in[j]; // read before writing: input and output may alias
                out[j] = line[(size_t) position];
                line[(size_t) position] = x;
                position = (position + 1) % latency;
            }
            positions[c] = position;
        }
    }

    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        channelCount = (int) spec.numChannels;
        latency = (int) spec.maximumBlockSize + 6 + (int) (91.0f * 0.000048f * sampleRate);
        lines.assign ((size_t) channelCount, std::vector<float> ((size_t) latency, 0.0f));
        positions.assign ((size_t) channelCount, 0);
    }

    void reset() override
    {
        for (auto& line : lines)
            std::fill (line.begin(), line.end(), 0.0f);
        std::fill (positions.begin(), positions.end(), 0);
    }

    int getLatencySamples() const noexcept { return latency; }

private:
    int channelCount = 0;
    int latency = 1;
    std::vector<std::vector<float>> lines;
    std::vector<int> positions;
};
