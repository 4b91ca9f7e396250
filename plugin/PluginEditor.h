#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class PluginProcessor;

/** The plug-in window: 550 x 550 pixels, fixed size. */
class PluginEditor : public juce::AudioProcessorEditor
{
public:
    explicit PluginEditor (PluginProcessor& processor);
    ~PluginEditor() override;

    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginEditor)
};
