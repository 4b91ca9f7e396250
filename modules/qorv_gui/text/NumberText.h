#pragma once

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
};

} // namespace juce::qorv_gui
