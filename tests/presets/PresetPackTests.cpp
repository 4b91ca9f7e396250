#include "TestLoader.h"

using namespace tandrel::test;
using juce::qorv_gui::PresetPack;

namespace
{
struct PackTest : public PresetFixture
{
    void SetUp() override
    {
        loader.writePreset (folder["Root_one.td11"], 1);
        loader.writePreset (folder["bass/Low.td11"], 2);
        loader.writePreset (folder["bass/deep/Lower.td11"], 3);
        makeManager();
    }

    static juce::StringArray entryNames (const juce::File& pack)
    {
        juce::ZipFile zip (pack);
        juce::StringArray names;
        for (int i = 0; i < zip.getNumEntries(); ++i)
            names.add (zip.getEntry (i)->filename);
        return names;
    }

    /** A pack written with the framework's builder, entry names taken as given;
        an entry without text stores linkToAdd, a symbolic link, under its name. */
    static void writeZip (const juce::File& pack, const std::vector<std::pair<juce::String, juce::String>>& entries,
                          const juce::File& linkToAdd = {})
    {
        juce::ZipFile::Builder builder;
        for (auto& [name, text] : entries)
        {
            if (text.isEmpty())
                builder.addFile (linkToAdd, 0, name);
            else
                builder.addEntry (new juce::MemoryInputStream (text.toRawUTF8(), text.getNumBytesAsUTF8(), true), 0, name, juce::Time::getCurrentTime());
        }
        juce::FileOutputStream out (pack);
        ASSERT_TRUE (out.openedOk());
        out.setPosition (0);
        out.truncate();
        ASSERT_TRUE (builder.writeToStream (out, nullptr));
    }
};
} // namespace

TEST_F (PackTest, PackingThePresetsFolderKeepsEveryFileWithItsSubfolderPath)
{
    ScopedTempDir out;
    const auto pack = out["All.td11_pack"];
    ASSERT_TRUE (manager->createPresetPack (folder.get(), pack));

    const auto names = entryNames (pack);
    EXPECT_EQ (names, (juce::StringArray { "Root_one.td11", "bass/Low.td11", "bass/deep/Lower.td11" }));

    juce::ZipFile zip (pack);
    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (1));
    juce::MemoryBlock packed, original;
    in->readIntoMemoryBlock (packed);
    ASSERT_TRUE (folder["bass/Low.td11"].loadFileAsData (original));
    EXPECT_EQ (packed, original);
}

TEST_F (PackTest, PackingAFolderOutsideTheTreeDoesNothing)
{
    ScopedTempDir outside;
    loader.writePreset (outside["Stray.td11"], 1);
    const auto pack = outside["Stray.td11_pack"];
    EXPECT_FALSE (manager->createPresetPack (outside.get(), pack));
    EXPECT_FALSE (pack.exists());
}

TEST_F (PackTest, PackingOverAnExistingPackHoldsOnlyTheNewEntries)
{
    ScopedTempDir out;
    const auto pack = out["Bass.td11_pack"];
    ASSERT_TRUE (manager->createPresetPack (folder.get(), pack));
    ASSERT_TRUE (manager->createPresetPack (folder["bass/deep"], pack));
    EXPECT_EQ (entryNames (pack), juce::StringArray { "Lower.td11" });
}

TEST_F (PackTest, ImportingCreatesAFolderNamedAfterThePackAndOverwritesOnTheSecondImport)
{
    ScopedTempDir out;
    const auto pack = out["Bass_collection.td11_pack"];
    ASSERT_TRUE (manager->createPresetPack (folder["bass"], pack));

    ASSERT_TRUE (manager->unpackPresetPack (pack));
    const auto target = folder["Bass_collection"];
    auto* imported = manager->findFolder (target);
    ASSERT_NE (imported, nullptr);
    EXPECT_EQ (imported->name, "Bass collection");
    EXPECT_TRUE (manager->isKnownPresetFile (target.getChildFile ("deep/Lower.td11")));

    ASSERT_TRUE (target.getChildFile ("Low.td11").replaceWithText ("changed"));
    ASSERT_TRUE (target.getChildFile ("Mine.td11").replaceWithText ("kept"));
    ASSERT_TRUE (manager->unpackPresetPack (pack));

    juce::MemoryBlock restored, original;
    ASSERT_TRUE (target.getChildFile ("Low.td11").loadFileAsData (restored));
    ASSERT_TRUE (folder["bass/Low.td11"].loadFileAsData (original));
    EXPECT_EQ (restored, original);
    EXPECT_EQ (target.getChildFile ("Mine.td11").loadFileAsString(), "kept");
}

TEST_F (PackTest, HostileEntriesAreRefusedAndStopTheImportKeepingEarlierEntries)
{
    ScopedTempDir outside;
    const auto victim = outside["victim.td11"];
    const auto link = outside["link.td11"];
    ASSERT_TRUE (victim.replaceWithText ("victim"));
    const bool withLink = canMakeSymbolicLinks(); // the pack's link entry is made from a link on disk
    if (withLink)
    {
        ASSERT_TRUE (juce::File::createSymbolicLink (link, victim.getFullPathName(), true));
    }

    const struct { const char* name; juce::File linkToAdd; } rows[] = {
        { "../escape.td11", {} },
        { "sub/../../escape.td11", {} },
        { "..\\escape.td11", {} },
        { "/tmp/absolute_escape.td11", {} },
        { "\\tmp\\absolute_escape.td11", {} },
        { "C:/drive_escape.td11", {} },
        { "C:drive_escape.td11", {} },
        { "~/home_escape.td11", {} },
        { nullptr, link },
    };

    int n = 0;
    for (auto& row : rows)
    {
        if (row.name == nullptr && ! withLink)
            continue;
        SCOPED_TRACE (row.name != nullptr ? row.name : "symbolic link");
        const auto pack = outside[juce::String ("Hostile") + juce::String (++n) + ".td11_pack"];
        std::vector<std::pair<juce::String, juce::String>> entries { { "first/Good.td11", "good" } };
        entries.push_back (row.name != nullptr ? std::pair<juce::String, juce::String> { row.name, "evil" }
                                               : std::pair<juce::String, juce::String> { "link.td11", {} });
        entries.push_back ({ "After.td11", "after" });
        writeZip (pack, entries, row.linkToAdd);

        EXPECT_FALSE (manager->unpackPresetPack (pack));
        const auto target = folder[pack.getFileNameWithoutExtension()];
        EXPECT_EQ (target.getChildFile ("first/Good.td11").loadFileAsString(), "good");
        EXPECT_FALSE (target.getChildFile ("After.td11").exists());
        EXPECT_FALSE (target.getChildFile ("link.td11").exists());
    }

    EXPECT_EQ (victim.loadFileAsString(), "victim");
    EXPECT_FALSE (outside["escape.td11"].exists());
    EXPECT_FALSE (folder.get().getParentDirectory().getChildFile ("escape.td11").exists());
    EXPECT_FALSE (juce::File ("/tmp/absolute_escape.td11").exists());
    EXPECT_FALSE (juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("home_escape.td11").exists());
}

TEST_F (PackTest, ExistingLinksInsideTheTargetAreNeverWrittenThrough)
{
    ScopedTempDir outside;
    const auto pack = outside["Linked.td11_pack"];
    writeZip (pack, { { "inner/Evil.td11", "evil" } });

    if (! canMakeSymbolicLinks())
        GTEST_SKIP() << "no symbolic links can be made here";
    const auto target = folder["Linked"];
    ASSERT_TRUE (target.createDirectory().wasOk());
    ASSERT_TRUE (juce::File::createSymbolicLink (target.getChildFile ("inner"), outside.get().getFullPathName(), true));

    EXPECT_FALSE (manager->unpackPresetPack (pack));
    EXPECT_FALSE (outside["Evil.td11"].exists());
}

TEST (PackNames, PackNameIsTheFileNameWithoutItsExtension)
{
    EXPECT_EQ (PresetPack::packNameFromPath ("/a/Bass_collection.td11_pack"), "Bass_collection");
    EXPECT_EQ (PresetPack::packNameFromPath ("/a/.hidden"), ".hidden");
    EXPECT_EQ (PresetPack::packNameFromPath ("/a/My pack.v2.td11_pack"), "My pack.v2");
#if JUCE_WINDOWS // where both separators divide a path
    EXPECT_EQ (PresetPack::packNameFromPath ("C:\\a/b\\Bass_collection.td11_pack"), "Bass_collection");
#endif
}

TEST_F (PackTest, APackNamedLikeAParentStepIsRefused)
{
    ScopedTempDir outside;
    const auto pack = outside["...td11_pack"]; // its name without the extension is ".."
    writeZip (pack, { { "Evil.td11", "evil" } });
    EXPECT_FALSE (manager->unpackPresetPack (pack));
    EXPECT_FALSE (folder.get().getParentDirectory().getChildFile ("Evil.td11").exists());
}

// Windows keeps some names for its devices, in every folder and with any
// extension, and cannot hold others: an entry named so would be written to a
// device (or wait on a serial port) or land under another name. Elsewhere they
// are ordinary file names, and a pack made there imports whole.
TEST_F (PackTest, NamesWindowsCannotHoldAsFilesAreRefusedThereOnly)
{
    const char* const names[] = {
        "NUL.td11", "sub/con.td11", "COM1.td11", "lpt9", "Aux/x.td11", "prn .td11", "conin$.td11",
        "What?.td11", "a<b>.td11", "pipe|.td11", "quote\".td11", "star*.td11", "tab\t.td11",
        "dot.td11.", "space.td11 ", "folder./x.td11",
    };

    ScopedTempDir outside;
    int n = 0;
    for (const auto* name : names)
    {
        SCOPED_TRACE (name);
        const auto pack = outside["Devices" + juce::String (++n) + ".td11_pack"];
        writeZip (pack, { { "first/Good.td11", "good" }, { name, "entry" }, { "After.td11", "after" } });
        const auto target = folder[pack.getFileNameWithoutExtension()];

#if JUCE_WINDOWS
        EXPECT_FALSE (manager->unpackPresetPack (pack));
        EXPECT_EQ (target.getChildFile ("first/Good.td11").loadFileAsString(), "good");
        EXPECT_FALSE (target.getChildFile ("After.td11").exists());
#else
        EXPECT_TRUE (manager->unpackPresetPack (pack));
        EXPECT_EQ (target.getChildFile (name).loadFileAsString(), "entry");
        EXPECT_EQ (target.getChildFile ("After.td11").loadFileAsString(), "after");
#endif
    }

    // Current-folder steps and empty parts are no names: kept everywhere.
    const auto steps = outside["Steps.td11_pack"];
    writeZip (steps, { { "./sub/In.td11", "in" }, { "sub//Also.td11", "also" } });
    EXPECT_TRUE (manager->unpackPresetPack (steps));
    EXPECT_EQ (folder["Steps/sub/In.td11"].loadFileAsString(), "in");
    EXPECT_EQ (folder["Steps/sub/Also.td11"].loadFileAsString(), "also");
}
