#include <qorv_gui/qorv_gui.h>

#include "ScopedTempDir.h"

#include <gtest/gtest.h>

using juce::qorv_gui::PresetPack;

namespace
{
/** A one-entry stored ZIP whose entry name is the given raw bytes, which the
    framework's builder would never write. */
juce::MemoryBlock zipWithRawEntryName (const char* name, size_t nameLength)
{
    const char data[8] = {};
    const juce::uint32 crc = 0x6522df69; // CRC-32 of the eight zero bytes
    juce::MemoryBlock zip;
    juce::MemoryOutputStream out (zip, false);

    out.writeInt (0x04034b50);
    out.writeShort (20); out.writeShort (0); out.writeShort (0); out.writeShort (0); out.writeShort (0);
    out.writeInt ((int) crc); out.writeInt (8); out.writeInt (8);
    out.writeShort ((short) nameLength); out.writeShort (0);
    out.write (name, nameLength);
    out.write (data, sizeof (data));

    const auto centralStart = (int) out.getPosition();
    out.writeInt (0x02014b50);
    out.writeShort (20); out.writeShort (20); out.writeShort (0); out.writeShort (0); out.writeShort (0); out.writeShort (0);
    out.writeInt ((int) crc); out.writeInt (8); out.writeInt (8);
    out.writeShort ((short) nameLength); out.writeShort (0); out.writeShort (0); out.writeShort (0); out.writeShort (0);
    out.writeInt (0); out.writeInt (0);
    out.write (name, nameLength);
    const auto centralSize = (int) out.getPosition() - centralStart;

    out.writeInt (0x06054b50);
    out.writeShort (0); out.writeShort (0); out.writeShort (1); out.writeShort (1);
    out.writeInt (centralSize); out.writeInt (centralStart); out.writeShort (0);
    out.flush();
    return zip;
}
} // namespace

// Such a name used to send the check that the entry stays inside the target
// folder into endless recursion, crashing the import.
TEST (PackEntryNames, NamesThatAreNotValidUtf8AreRefused)
{
    tandrel::test::ScopedTempDir dir;
    const auto target = dir["Imported"];
    ASSERT_TRUE (target.createDirectory().wasOk());

    const char badName[] = "ok/\xff\xff/x.td11";
    const auto pack = dir["Bad.td11_pack"];
    ASSERT_TRUE (pack.replaceWithData (zipWithRawEntryName (badName, sizeof (badName) - 1).getData(),
                                       zipWithRawEntryName (badName, sizeof (badName) - 1).getSize()));

    EXPECT_FALSE (PresetPack::extractInto (pack, target));
    EXPECT_TRUE (target.findChildFiles (juce::File::findFilesAndDirectories, true).isEmpty());

    const char goodName[] = "ok/x.td11";
    ASSERT_TRUE (pack.replaceWithData (zipWithRawEntryName (goodName, sizeof (goodName) - 1).getData(),
                                       zipWithRawEntryName (goodName, sizeof (goodName) - 1).getSize()));
    EXPECT_TRUE (PresetPack::extractInto (pack, target));
    EXPECT_EQ (target.getChildFile ("ok/x.td11").getSize(), 8);
}
