#pragma once

#include "RenderOptions.h"

/** --all-presets: renders the input through every factory preset (and with
    --user-presets every user preset after them) into OUTDIR/NN Name.wav, the
    number being the preset's place in the bank. Up to options.jobs renders run
    side by side, each streaming through its own processor; processors are
    built, set up and destroyed on the calling (message) thread and only render
    on the workers. One progress bar on a terminal, a one-line summary at the
    end, both on standard error. Returns the process exit code. */
int renderAllPresets (const RenderOptions& options);

/** "07 Name.wav": the place in the bank (1-based, at least two digits, as many
    as the largest number needs) and the name, with '/' made harmless. */
juce::String bankFileName (int index, int bankSize, const juce::String& presetName);
