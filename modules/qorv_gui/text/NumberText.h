#pragma once

#include <optional>

namespace juce::qorv_gui
{

/** Number texts typed by users or read from stored state, made safe for the
    framework's number reader. */
struct NumberText
{
    /** The reader adds up exponent digits in an int, which overflows and wraps
        from ten digits on ("5e4294967297" would read as 50). Past four digits
        an exponent is out of a double's range anyway, so a longer run (after
        leading zeros) becomes five nines, which reads as infinity or zero.
        Any other text comes back unchanged. */
    static juce::String withBoundedExponent (const juce::String& text);

    /** The value of a text that is one finite decimal number and nothing else:
        an optional sign, digits with at most one decimal point, an optional
        exponent. Blanks, a second point, trailing text, "inf", "nan" and
        values beyond a double's range give nothing (the framework's reader
        would take "1-2" as 1 and "e" as 0). */
    static std::optional<double> parseWhole (const juce::String& text);
};

} // namespace juce::qorv_gui
