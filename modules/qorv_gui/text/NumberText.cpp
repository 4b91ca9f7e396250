namespace juce::qorv_gui
{

juce::String NumberText::withBoundedExponent (const juce::String& text)
{
    // Walks the number the way the reader does: blanks, sign, digits with one
    // decimal point, then the exponent.
    auto p = text.getCharPointer();
    p.incrementToEndOfWhitespace();
    if (*p == '-' || *p == '+')
        ++p;

    bool digits = false, point = false;
    for (;; ++p)
    {
        if (p.isDigit())
            digits = true;
        else if (*p == '.' && ! point)
            point = true;
        else
            break;
    }

    if (! digits || (*p != 'e' && *p != 'E'))
        return text;

    ++p;
    if (*p == '-' || *p == '+')
        ++p;
    while (*p == '0')
        ++p;

    const auto firstSignificant = p;
    int count = 0;
    for (; p.isDigit(); ++p)
        ++count;

    if (count <= 4)
        return text;

    return juce::String (text.getCharPointer(), firstSignificant) + "99999" + juce::String (p);
}

} // namespace juce::qorv_gui
