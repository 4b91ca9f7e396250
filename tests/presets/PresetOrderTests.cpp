// User presets are listed in name order whatever order the file system reads a
// folder in, and a rescan keeps a settled folder's listing only while nothing
// was added to it, removed from it or renamed in it.

#include "TestLoader.h"

#include <algorithm>

using namespace tandrel::test;
using juce::qorv_gui::PresetComponent;
using juce::qorv_gui::PresetNameOrder;

namespace
{
juce::String sign (int value) { return value < 0 ? "<" : (value > 0 ? ">" : "="); }

/** The names in the order they are listed, made in an order that is neither
    that one nor its reverse. */
const char* const orderedNames[] = { "_hidden", "9 snare", "10 kick", "Äpfel", "B", "b", "preset 2", "Preset 10" };
const int creationOrder[] = { 5, 2, 7, 0, 3, 6, 1, 4 };

struct OrderTest : public PresetFixture
{
    void SetUp() override
    {
        if (! namesAreCaseSensitive())
            GTEST_SKIP() << "\"B\" and \"b\" name one file here";
        for (auto index : creationOrder)
            loader.writePreset (folder[juce::String::fromUTF8 (orderedNames[index]) + ".td11"], index);

        for (auto* sub : { "folder 10", "Folder 2", "folder 1" })
            loader.writePreset (folder[juce::String (sub) + "/Inside.td11"], 20);

        makeManager(); // hands out the ids
        factoryId = addFactory ("Factory one", 30)->id;
    }

    juce::File fileOf (int index) const { return folder[juce::String::fromUTF8 (orderedNames[index]) + ".td11"]; }
    int idOf (int index) { return manager->findUserPreset (fileOf (index))->id; }

    int factoryId = -1;
};
} // namespace

TEST (PresetNameOrder, NaturalIgnoringCaseAndAccentsThenByCodePoint)
{
    const struct { const char* a; const char* b; const char* expected; } rows[] = {
        { "preset 2", "Preset 10", "<" },   // numbers by value
        { "9 snare", "10 kick", "<" },
        { "preset 02", "preset 2", "<" },   // equal values: code points decide
        { "x 007", "x 7b", "<" },
        { "a 99999999999999999999", "a 100000000000000000000", "<" }, // beyond 64 bits
        { "b", "C", "<" },                  // case ignored...
        { "B", "b", "<" },                  // ...until everything else is equal
        { "Äpfel", "Apfel", ">" },
        { "Äpfel", "Banane", "<" },         // beside A, not after Z
        { "A\xcc\x88pfel", "Apfel", ">" },  // a combining accent (decomposed form)
        { "A\xcc\x88pfel", "Äpfel", "<" },
        { "Straße", "Strasse", "<" },       // ß as s: "Straße" reads as "Strase"
        { "Łódź", "Lodz", ">" },
        { "_hidden", "0 first", "<" },      // "_" is shown as a blank
        { "a_b", "a b", ">" },
        { "a b", "ab", "<" },               // blanks before letters
        { "10", "a", "<" },                 // digits before letters
        { "x", "x1", "<" },                 // the shorter first
        { "same", "same", "=" },
    };

    for (auto& row : rows)
    {
        const auto a = juce::String::fromUTF8 (row.a), b = juce::String::fromUTF8 (row.b);
        EXPECT_EQ (sign (PresetNameOrder::compare (a, b)), row.expected) << row.a << " / " << row.b;
        EXPECT_EQ (sign (PresetNameOrder::compare (b, a)), sign (-PresetNameOrder::compare (a, b))) << row.a << " / " << row.b;
    }
}

TEST (PresetNameOrder, SortingGivesOneOrderWhateverTheStartingOrder)
{
    std::vector<juce::String> names;
    for (auto* name : orderedNames)
        names.push_back (juce::String::fromUTF8 (name));

    const auto expected = names;
    std::reverse (names.begin(), names.end());
    std::sort (names.begin(), names.end(), PresetNameOrder());
    EXPECT_EQ (names, expected);

    std::rotate (names.begin(), names.begin() + 3, names.end());
    std::sort (names.begin(), names.end(), PresetNameOrder());
    EXPECT_EQ (names, expected);
}

TEST_F (OrderTest, TheMenuTheIdsTheArrowsAndAPackFollowTheNameOrder)
{
    // Ids from the scan: the root's files in order, then each folder's.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (idOf (i), 10 + i) << orderedNames[i];

    juce::qorv_gui::LookAndFeel lookAndFeel;
    PresetComponent box (lookAndFeel, *manager, juce::URL ("https://example.invalid/"));
    juce::StringArray userPart;
    auto inUserPart = false;

    for (juce::PopupMenu::MenuItemIterator it (*box.getRootMenu()); it.next();)
    {
        const auto& item = it.getItem();
        inUserPart = inUserPart || item.text == "User Presets:";

        if (inUserPart && ! item.isSectionHeader)
            userPart.add (item.subMenu != nullptr ? "[" + item.text + "]" : item.text);
    }

    // "b" and "B" both show as "B"; the one first in order keeps the name.
    EXPECT_EQ (userPart.joinIntoString ("|"),
               juce::String::fromUTF8 (" hidden|9 snare|10 kick|Äpfel|B|B (2)|Preset 2|Preset 10|[Folder 1]|[Folder 2]|[Folder 10]"));

    // The arrows walk the same order, the factory preset after the user presets.
    manager->selectPreset (idOf (0));
    juce::StringArray walked;
    for (int step = 0; step < 12; ++step)
    {
        const auto id = manager->stepPreset (+1);
        manager->selectPreset (id);
        walked.add (manager->getDisplayName().trimEnd());
    }
    EXPECT_EQ (walked.joinIntoString ("|"),
               juce::String::fromUTF8 ("9 snare|10 kick|Äpfel|B|B|Preset 2|Preset 10|Inside|Inside|Inside|Factory one| hidden"));
    EXPECT_EQ (manager->stepPreset (-1), factoryId); // back from " hidden"
    EXPECT_EQ (factoryId, idOf (7) + 4);

    ScopedTempDir out;
    const auto pack = out["All.td11_pack"];
    ASSERT_TRUE (manager->createPresetPack (folder.get(), pack));
    juce::ZipFile zip (pack);
    juce::StringArray entries;
    for (int i = 0; i < zip.getNumEntries(); ++i)
        entries.add (zip.getEntry (i)->filename);

    EXPECT_EQ (entries.joinIntoString ("|"),
               juce::String::fromUTF8 ("_hidden.td11|9 snare.td11|10 kick.td11|Äpfel.td11|B.td11|b.td11|preset 2.td11|Preset 10.td11"
                                       "|folder 1/Inside.td11|Folder 2/Inside.td11|folder 10/Inside.td11"));
}

TEST_F (OrderTest, FilesFoundLaterTakeTheirIdsInNameOrderToo)
{
    for (auto* name : { "later 10", "Later 9", "later 1" })
        loader.writePreset (folder[juce::String (name) + ".td11"], 1);

    manager->rescan();
    const auto next = manager->getNextId() - 3;
    EXPECT_EQ (manager->findUserPreset (folder["later 1.td11"])->id, next);
    EXPECT_EQ (manager->findUserPreset (folder["Later 9.td11"])->id, next + 1);
    EXPECT_EQ (manager->findUserPreset (folder["later 10.td11"])->id, next + 2);
}

/** Folders take a few seconds to settle; one wait serves every change below. */
TEST_F (OrderTest, ASettledFolderIsReadAgainAfterAnyChangeOfItsEntries)
{
    ScopedTempDir elsewhere;
    const auto outside = elsewhere["Target.td11"];
    for (auto* name : { "keep/One", "add/One", "remove/One", "remove/Two", "rename/One", "grow/One", "swap/One", "deep/a/b/One" })
        loader.writePreset (folder[juce::String (name) + ".td11"], 1);
    ASSERT_TRUE (folder["linked"].createDirectory().wasOk());
    ASSERT_TRUE (outside.createSymbolicLink (folder["linked/Link.td11"], true));
    manager->rescan();

    juce::Thread::sleep ((int) juce::qorv_gui::FolderListing::settlingMs + 200);
    manager->rescan(); // every folder has settled: their listings are kept from now on

    loader.writePreset (folder["add/Zero.td11"], 1);
    ASSERT_TRUE (folder["remove/Two.td11"].deleteFile());
    ASSERT_TRUE (folder["rename/One.td11"].moveFileTo (folder["rename/Renamed.td11"]));
    loader.writePreset (folder["grow/sub/Inner.td11"], 1);
    ASSERT_TRUE (folder["swap/One.td11"].deleteFile());
    ASSERT_TRUE (folder["swap/One.td11"].createDirectory().wasOk());
    loader.writePreset (folder["deep/a/b/Two.td11"], 1);
    loader.writePreset (folder["deep/a/b/c/Below.td11"], 1); // one level deeper than the tree goes
    loader.writePreset (outside, 1); // the link's target appears; the folder itself is unchanged
    manager->rescan();

    auto names = [this] (const char* path)
    {
        juce::StringArray listed;
        for (auto* preset : manager->findFolder (folder[path])->presets)
            listed.add (preset->name);
        for (auto* sub : manager->findFolder (folder[path])->subfolders)
            listed.add ("[" + sub->name + "]");
        return listed.joinIntoString ("|");
    };

    EXPECT_EQ (names ("keep"), "One");
    EXPECT_EQ (names ("add"), "One|Zero");
    EXPECT_EQ (names ("remove"), "One");
    EXPECT_EQ (names ("rename"), "Renamed");
    EXPECT_EQ (names ("grow"), "One|[Sub]");
    EXPECT_EQ (names ("grow/sub"), "Inner");
    EXPECT_EQ (names ("swap"), "[One]");
    EXPECT_EQ (names ("deep/a/b"), "One|Two");
    EXPECT_EQ (names ("linked"), "Link");
}

TEST (PresetMenuNames, ASharedNameTakesTheNextCounterNoNameInTheMenuHolds)
{
    juce::qorv_gui::PresetMenuBuilder::UsedNames used;
    used.add ("Twinkle (2)"); // a factory preset's name

    const struct { const char* name; const char* shown; } rows[] = {
        { "Twinkle", "Twinkle" },
        { "twinkle", "twinkle (3)" },
        { "Twinkle (4)", "Twinkle (4)" },
        { "TWINKLE", "TWINKLE (5)" },
        { "Twinkle (3)", "Twinkle (3) (2)" },
        { "Twinkle", "Twinkle (6)" },
    };

    for (auto& row : rows)
        EXPECT_EQ (used.claim (row.name), juce::String (row.shown)) << row.name;
}
