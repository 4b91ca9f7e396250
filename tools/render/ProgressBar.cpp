#include "ProgressBar.h"

#include "ConsoleHandles.h"
#include "ToolReport.h"

ProgressBar::ProgressBar (bool enabled) : active (enabled && stderrIsTerminal()) {}

bool ProgressBar::stderrIsTerminal() { return ConsoleHandles::isTerminal (ConsoleHandles::error); }

void ProgressBar::draw (const juce::String& text)
{
    if (! active || text == shown)
        return;
    ToolReport::print (ConsoleHandles::error, "\r" + text);
    shown = text;
}

void ProgressBar::show (double fraction, const juce::String& note)
{
    fraction = juce::jlimit (0.0, 1.0, fraction);
    const int permille = (int) (fraction * 1000.0);
    // Called once per block: nothing is built unless something new is drawn.
    if (! active || (permille == lastStep && note == lastNote))
        return;
    lastStep = permille;
    lastNote = note;

    constexpr int width = 40;
    const int filled = (int) (fraction * width);
    draw ("[" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString (".", width - filled) + "] "
          + juce::String ((int) (fraction * 100.0)) + "%" + (note.isEmpty() ? juce::String() : "  " + note));
}

void ProgressBar::showDuration (double seconds)
{
    const auto whole = (int) seconds;
    if (! active || whole == lastStep)
        return;
    lastStep = whole;
    draw ("rendered " + juce::String (whole / 3600) + ":" + juce::String ((whole / 60) % 60).paddedLeft ('0', 2) + ":"
          + juce::String (whole % 60).paddedLeft ('0', 2) + " of audio");
}

void ProgressBar::finish()
{
    if (active && shown.isNotEmpty())
        ToolReport::print (ConsoleHandles::error, "\n");
    shown = {};
}
