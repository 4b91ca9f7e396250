#pragma once

namespace juce::qorv_gui
{

/** The order user preset files and folders are listed in, the same on every
    file system, so that the menu, the ids a scan hands out, the arrows and a
    pack's entries never depend on the order a folder happens to be read in.

    Names compare naturally: a run of digits compares by its value ("preset 2"
    before "preset 10", "9 snare" before "10 kick"), everything else character
    by character ignoring case, with the letters of the Latin-1 and Latin
    Extended-A blocks read as their base letter ("Äpfel" beside "Apfel", "ß" as
    "s"), combining accents skipped and "_" read as the blank it is shown as.
    Other characters keep their code point order once lower-cased: blanks and
    most punctuation come before digits, digits before letters.

    Names that are equal by that measure ("b" and "B", "Apfel" and "Äpfel",
    "2" and "02", "a b" and "a_b") are ordered by their code points: "B" before
    "b", "Apfel" before "Äpfel", "02" before "2", "a b" before "a_b". The order
    is therefore total: two different names never tie. */
struct PresetNameOrder
{
    /** Negative when a goes first, positive when b does, 0 only for equal texts. */
    static int compare (const juce::String& a, const juce::String& b) noexcept;

    bool operator() (const juce::String& a, const juce::String& b) const noexcept { return compare (a, b) < 0; }
};

} // namespace juce::qorv_gui
