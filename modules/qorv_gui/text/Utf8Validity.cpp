namespace juce::qorv_gui
{

bool Utf8Validity::isWellFormed (const char* text, size_t numBytes) noexcept
{
    const auto* bytes = reinterpret_cast<const unsigned char*> (text);
    size_t i = 0;

    while (i < numBytes)
    {
        const auto lead = bytes[i];

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        // The lead byte fixes the sequence length and the smallest code point
        // that needs that length; anything below it is an overlong form.
        int extra;
        uint32 code, minimum;

        if (lead >= 0xc2 && lead <= 0xdf)      { extra = 1; code = lead & 0x1f; minimum = 0x80; }
        else if (lead >= 0xe0 && lead <= 0xef) { extra = 2; code = lead & 0x0f; minimum = 0x800; }
        else if (lead >= 0xf0 && lead <= 0xf4) { extra = 3; code = lead & 0x07; minimum = 0x10000; }
        else                                   return false; // continuation byte, C0, C1 or F5..FF

        if (numBytes - i <= (size_t) extra)
            return false;

        for (int k = 1; k <= extra; ++k)
        {
            const auto next = bytes[i + (size_t) k];
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3f);
        }

        if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;

        i += (size_t) extra + 1;
    }

    return true;
}

} // namespace juce::qorv_gui
