#pragma once

#include <juce_core/juce_core.h>

/** A one-line progress display on standard error, redrawn in place; it draws
    only when standard error is a terminal and only when the shown text changes. */
class ProgressBar
{
public:
    /** Draws nothing unless enabled and standard error is a terminal. */
    explicit ProgressBar (bool enabled);

    static bool stderrIsTerminal();

    /** fraction done, 0..1, with an optional note after the percentage. */
    void show (double fraction, const juce::String& note = {});
    /** For a render of unknown length: the audio time done so far. */
    void showDuration (double seconds);
    /** Ends the line, if anything was drawn. */
    void finish();

private:
    void draw (const juce::String& text);

    const bool active;
    juce::String shown, lastNote;
    int lastStep = -1; // the last tenth of a percent or second drawn
};
