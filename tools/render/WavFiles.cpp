#include "WavFiles.h"

bool readWav (const juce::File& file, WavData& data, juce::String& error)
{
    if (! file.existsAsFile())
    {
        error = "cannot read " + file.getFullPathName() + ": no such file";
        return false;
    }

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
    {
        error = "cannot read " + file.getFullPathName() + ": not a WAV file JUCE can decode";
        return false;
    }

    const bool supportedFormat = (! reader->usesFloatingPointData && (reader->bitsPerSample == 16 || reader->bitsPerSample == 24))
                                 || (reader->usesFloatingPointData && reader->bitsPerSample == 32);
    if (! supportedFormat)
    {
        error = "cannot read " + file.getFullPathName() + ": only 16/24-bit PCM and 32-bit float WAV are supported";
        return false;
    }
    if (reader->numChannels < 1 || reader->numChannels > 2)
    {
        error = "cannot read " + file.getFullPathName() + ": only mono and stereo files are supported (it has "
                + juce::String (reader->numChannels) + " channels)";
        return false;
    }
    if (reader->lengthInSamples > std::numeric_limits<int>::max() / 2 || reader->sampleRate < 8000.0 || reader->sampleRate > 768000.0)
    {
        error = "cannot read " + file.getFullPathName() + ": unsupported length or sample rate";
        return false;
    }

    data.sampleRate = reader->sampleRate;
    data.audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    if (! reader->read (&data.audio, 0, (int) reader->lengthInSamples, 0, true, true))
    {
        error = "cannot read " + file.getFullPathName() + ": the audio data is damaged";
        return false;
    }
    return true;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate, juce::String& error)
{
    juce::TemporaryFile temporary (file);
    {
        auto stream = temporary.getFile().createOutputStream();
        if (stream == nullptr)
        {
            error = "cannot write " + file.getFullPathName();
            return false;
        }

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 32, {}, 0));
        if (writer == nullptr)
        {
            error = "cannot write " + file.getFullPathName() + ": unsupported format";
            return false;
        }
        stream.release(); // the writer owns the stream now

        if (! writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()))
        {
            error = "cannot write " + file.getFullPathName();
            return false;
        }
    }

    if (! temporary.overwriteTargetFileWithTemporary())
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}
