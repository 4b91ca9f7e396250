namespace juce::qorv_gui
{

namespace
{
/** The base letter of U+00C0 ... U+017F, or '.' for a character that has none
    (the multiplication and division signs, thorn). Ligatures take their first
    letter: Æ as a, Œ as o, Ĳ as i. */
constexpr char latinBaseLetters[] =
    "aaaaaaac" "eeeeiiii" "dnooooo." "ouuuuy.s" "aaaaaaac" "eeeeiiii" "dnooooo." "ouuuuy.y" // U+00C0
    "aaaaaacc" "ccccccdd" "ddeeeeee" "eeeegggg" "gggghhhh" "iiiiiiii" "iiiijjkk" "klllllll" // U+0100
    "lllnnnnn" "nnnnoooo" "oooorrrr" "rrssssss" "sstttttt" "uuuuuuuu" "uuuuwwyy" "yzzzzzzs"; // U+0140

static_assert (sizeof (latinBaseLetters) == 0x180 - 0xc0 + 1, "one letter per character, and the terminator");

constexpr juce::juce_wchar firstLatinLetter = 0xc0;
constexpr juce::juce_wchar lastLatinLetter = 0x17f;

bool isCombiningMark (juce::juce_wchar c) noexcept { return c >= 0x300 && c <= 0x36f; }
bool isDigit (juce::juce_wchar c) noexcept         { return c >= '0' && c <= '9'; }

juce::juce_wchar folded (juce::juce_wchar c) noexcept
{
    if (c == '_')
        return ' ';

    if (c >= firstLatinLetter && c <= lastLatinLetter)
        if (const auto base = latinBaseLetters[c - firstLatinLetter]; base != '.')
            return (juce::juce_wchar) base;

    return juce::CharacterFunctions::toLowerCase (c);
}

void skipCombiningMarks (juce::CharPointer_UTF8& p) noexcept
{
    while (isCombiningMark (*p))
        ++p;
}

/** Compares the digit runs p and q start on by their values and moves both
    past their runs. */
int compareNumbers (juce::CharPointer_UTF8& p, juce::CharPointer_UTF8& q) noexcept
{
    while (*p == '0')
        ++p;

    while (*q == '0')
        ++q;

    auto endP = p, endQ = q;
    int lengthP = 0, lengthQ = 0;

    for (; isDigit (*endP); ++endP)
        ++lengthP;

    for (; isDigit (*endQ); ++endQ)
        ++lengthQ;

    auto result = lengthP < lengthQ ? -1 : (lengthP > lengthQ ? 1 : 0);

    // Same number of significant digits: the first differing digit decides.
    for (; result == 0 && p != endP; ++p, ++q)
        if (*p != *q)
            result = *p < *q ? -1 : 1;

    p = endP;
    q = endQ;
    return result;
}

int compareFolded (const juce::String& a, const juce::String& b) noexcept
{
    auto p = a.getCharPointer();
    auto q = b.getCharPointer();

    for (;;)
    {
        skipCombiningMarks (p);
        skipCombiningMarks (q);
        const auto c1 = *p;
        const auto c2 = *q;

        if (c1 == 0 || c2 == 0)
            return (c1 != 0 ? 1 : 0) - (c2 != 0 ? 1 : 0); // the shorter name first

        if (isDigit (c1) && isDigit (c2))
        {
            if (const auto result = compareNumbers (p, q); result != 0)
                return result;

            continue;
        }

        const auto f1 = folded (c1);
        const auto f2 = folded (c2);

        if (f1 != f2)
            return f1 < f2 ? -1 : 1;

        ++p;
        ++q;
    }
}
} // namespace

int PresetNameOrder::compare (const juce::String& a, const juce::String& b) noexcept
{
    if (const auto result = compareFolded (a, b); result != 0)
        return result;

    return a.compare (b); // code points: equal only for the same text
}

} // namespace juce::qorv_gui
