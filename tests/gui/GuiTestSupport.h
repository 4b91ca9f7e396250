#pragma once

#include "StubAudioProcessor.h"

#include <qorv_gui/qorv_gui.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace gui_test
{

/** Paints the component and its children into a cleared ARGB image of its size. */
inline juce::Image render (juce::Component& component)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()), juce::jmax (1, component.getHeight()), true);
    juce::Graphics g (image);
    component.paintEntireComponent (g, true);
    return image;
}

/** One of the control bar's icons, read from the source tree: the toolkit is
    tested on its own, without the plug-in's embedded resources. */
inline juce::MemoryBlock iconData (const char* fileName)
{
    juce::MemoryBlock data;
    const auto file = juce::File (TANDREL_SOURCE_DIR).getChildFile ("resources/icons").getChildFile (fileName);
    EXPECT_TRUE (file.loadFileAsData (data)) << file.getFullPathName();
    return data;
}

inline juce::String hex (juce::Colour c)
{
    return c.toDisplayString (true);
}

/** True if the pixel is the colour, allowing for premultiplication round-off. */
inline bool nearWithin (juce::Colour actual, juce::Colour expected, int tolerance)
{
    return std::abs (actual.getAlpha() - expected.getAlpha()) <= tolerance
        && std::abs (actual.getRed() - expected.getRed()) <= tolerance
        && std::abs (actual.getGreen() - expected.getGreen()) <= tolerance
        && std::abs (actual.getBlue() - expected.getBlue()) <= tolerance;
}

inline bool near (juce::Colour actual, juce::Colour expected)
{
    return nearWithin (actual, expected, 2);
}

#define EXPECT_PIXEL(image, x, y, expected)                                                          \
    EXPECT_PRED2 (gui_test::near, (image).getPixelAt ((x), (y)), (expected))                         \
        << "pixel (" << (x) << ", " << (y) << ") is " << gui_test::hex ((image).getPixelAt ((x), (y))) \
        << ", expected " << gui_test::hex (expected)

/** The most opaque pixel of an image (the first one found), e.g. the solid part of an icon. */
inline juce::Colour mostOpaquePixel (const juce::Image& image)
{
    juce::Colour best = juce::Colours::transparentBlack;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > best.getAlpha())
                best = image.getPixelAt (x, y);
    return best;
}

inline int countPixels (const juce::Image& image, std::function<bool (juce::Colour)> predicate)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            count += predicate (image.getPixelAt (x, y)) ? 1 : 0;
    return count;
}

/** Records every value the suites send instead of setting a parameter. */
struct RecordingUpdater : juce::qorv_gui::UserValueUpdater
{
    void setUserValue (const juce::String& parameterId, float value) override { calls.emplace_back (parameterId, value); }
    std::vector<std::pair<juce::String, float>> calls;
};

/** The smallest processor that can own a parameter state with an undo manager. */
class StateProcessor : public tandrel::test::StubAudioProcessor
{
public:
    StateProcessor() : state (*this, &undoManager, "Test", makeLayout()) {}

    juce::UndoManager undoManager;
    juce::AudioProcessorValueTreeState state;

private:
    static juce::AudioProcessorValueTreeState::ParameterLayout makeLayout()
    {
        juce::AudioProcessorValueTreeState::ParameterLayout layout;
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "1- Seg Mix", 1 }, "1- Seg Mix",
                                                                 juce::NormalisableRange<float> (0.0f, 120.0f), 0.0f));
        layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "Mode", 1 }, "Mode", false));
        return layout;
    }
};

} // namespace gui_test
