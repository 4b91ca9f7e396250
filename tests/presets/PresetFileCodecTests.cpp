#include <gtest/gtest.h>
#include <qorv_gui/qorv_gui.h>

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
