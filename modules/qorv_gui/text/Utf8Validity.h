#pragma once

namespace juce::qorv_gui
{

/** Strict UTF-8 checking for bytes from files, blobs and archives.

    The framework's own check lets overlong forms through ("C0 BC" for "<",
    "C0 AE" for "."), and its decoder turns them into the plain character, so a
    text that byte-wise holds no markup or no ".." can hold both once decoded.
    Text that passes here decodes to exactly the characters its bytes show. */
struct Utf8Validity
{
    /** True when the bytes are well-formed UTF-8: no overlong form, no
        surrogate, nothing above U+10FFFF, no stray or missing continuation
        byte. A zero byte counts as a character like any other. */
    static bool isWellFormed (const char* text, size_t numBytes) noexcept;
};

} // namespace juce::qorv_gui
