#include <gtest/gtest.h>
#include <qorv_gui/qorv_gui.h>

#include <vector>

using Codec = juce::qorv_gui::PresetFileCodec;

TEST (PresetFileCodec, RoundTripsBytesWithoutTheirTrailingZeros)
{
    const char raw[] = { 'V', 'C', '2', '!', 3, 0, 0, 0, 'a', 'b', 'c', 0 };
    const juce::MemoryBlock blob (raw, sizeof (raw));
    const auto encoded = Codec::encode (blob, 5);
    const auto decoded = Codec::decode (encoded, 5);

    EXPECT_NE (encoded, blob);
    ASSERT_EQ (decoded.getSize(), blob.getSize() - 1);
    EXPECT_EQ (0, std::memcmp (decoded.getData(), raw, decoded.getSize()));
}

// Known answers worked out by hand: the bytes as one little-endian integer
// (byte 0 least significant), shifted left, written back as the fewest bytes
// that hold the result. Reading shifts right and gives the input back without
// its trailing zero bytes.
TEST (PresetFileCodec, EncodesKnownAnswers)
{
    struct Row
    {
        const char* what;
        std::vector<juce::uint8> input;
        int shift;
        std::vector<juce::uint8> encoded;
    };
    const Row rows[] = {
        { "one bit up", { 0x01 }, 1, { 0x02 } },
        { "a carry adds a byte", { 0x80 }, 1, { 0x00, 0x01 } },
        { "bits move into the next byte", { 0xff, 0x00 }, 4, { 0xf0, 0x0f } },
        { "trailing zeros are not kept", { 0x01, 0x00, 0x00 }, 3, { 0x08 } },
        // "VC2!", text length 1, "a", terminating zero: 0x0061'00000001'21324356 << 5
        { "a whole blob", { 0x56, 0x43, 0x32, 0x21, 0x01, 0x00, 0x00, 0x00, 0x61, 0x00 }, 5,
          { 0xc0, 0x6a, 0x48, 0x26, 0x24, 0x00, 0x00, 0x00, 0x20, 0x0c } },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        const juce::MemoryBlock input (row.input.data(), row.input.size());
        const juce::MemoryBlock expected (row.encoded.data(), row.encoded.size());
        EXPECT_EQ (Codec::encode (input, row.shift), expected);

        auto trimmed = row.input;
        while (! trimmed.empty() && trimmed.back() == 0)
            trimmed.pop_back();
        EXPECT_EQ (Codec::decode (expected, row.shift), juce::MemoryBlock (trimmed.data(), trimmed.size()));
    }
}
