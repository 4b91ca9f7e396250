#include <charconv>
#include <cmath>

namespace juce::qorv_gui
{

std::optional<double> NumberText::parseWhole (const juce::String& text)
{
    const auto* begin = text.toRawUTF8();
    const auto* end = begin + text.getNumBytesAsUTF8();
    const auto* p = begin;
    auto isDigit = [&] { return p < end && *p >= '0' && *p <= '9'; };

    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    const auto* numberStart = *begin == '+' ? begin + 1 : begin;

    int digits = 0;
    for (; isDigit(); ++p)
        ++digits;
    if (p < end && *p == '.')
        for (++p; isDigit(); ++p)
            ++digits;
    if (digits == 0)
        return std::nullopt;

    if (p < end && (*p == 'e' || *p == 'E'))
    {
        ++p;
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        if (! isDigit())
            return std::nullopt;
        while (isDigit())
            ++p;
    }
    if (p != end)
        return std::nullopt;

    double value = 0.0;
    const auto [last, error] = std::from_chars (numberStart, end, value);
    if (error != std::errc() || last != end || ! std::isfinite (value))
        return std::nullopt;
    return value;
}

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
