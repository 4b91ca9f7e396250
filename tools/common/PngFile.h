#pragma once

#include <juce_graphics/juce_graphics.h>

#include <iostream>

/** Writes the image over the file as a PNG, creating its folder, and says on the
    console what it did. False when the file could not be written. */
inline bool writePngFile (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    if (! stream.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, stream))
    {
        std::cerr << "could not write " << file.getFullPathName() << "\n";
        return false;
    }
    std::cout << "wrote " << file.getFullPathName() << "\n";
    return true;
}
