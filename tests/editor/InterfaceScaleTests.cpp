// The interface scale: the window drawn at host scale x user scale, the menu
// that offers the scales, and the settings file that remembers the choice.

#include "InterfaceScale.h"
#include "MessageLoop.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "ScopedTempDir.h"
#include "SettingsFile.h"
#include "XErrors.h"

#include <gtest/gtest.h>

#if ! JUCE_WINDOWS
 #include <sys/stat.h>
#endif

namespace
{
using tandrel::test::pumpMessages;
using tandrel::test::pumpUntil;

/** Holds the editor as the plug-in wrappers do: a parent sized to contain the
    editor as drawn, following it whenever its bounds or its scale change. */
struct HostFrame : juce::Component
{
    explicit HostFrame (juce::Component& e) : editor (e)
    {
        addAndMakeVisible (editor);
        fitEditor();
    }
    ~HostFrame() override { removeChildComponent (&editor); }

    void childBoundsChanged (juce::Component*) override { fitEditor(); }
    void fitEditor() { setSize (shownBoundsOf (editor).getWidth(), shownBoundsOf (editor).getHeight()); }

    juce::Rectangle<int> shownBoundsOf (juce::Component& child) { return getLocalArea (&child, child.getLocalBounds()); }

    /** A host confirming the window's size: the wrappers then size the editor
        to the frame, turned into the editor's logical pixels. */
    void confirmSize() { editor.setBounds (editor.getLocalArea (this, getLocalBounds()).withPosition (0, 0)); }

    juce::Component& editor;
};

/** A processor and its editor with the user's settings in a folder of their own. */
struct ScaleFixture : ::testing::Test
{
    std::unique_ptr<PluginProcessor> makeProcessor() { return std::make_unique<PluginProcessor> (juce::File(), settingsFile); }
    std::unique_ptr<PluginEditor> openEditor (PluginProcessor& p) { return std::unique_ptr<PluginEditor> (static_cast<PluginEditor*> (p.createEditor())); }

    juce::String storedScale() { return SettingsFile::read (settingsFile).getValue (InterfaceScaleSetting::propertyName); }

    /** A folder named as many users' own are, outside ASCII: Windows' narrow
        file functions would read its UTF-8 name in the local code page. */
    static juce::File usersFolderIn (const tandrel::test::ScopedTempDir& folder)
    {
        const auto named = folder[juce::CharPointer_UTF8 ("Zo\xc3\xab M\xc3\xbcller \xe8\xa8\xad\xe5\xae\x9a")];
        named.createDirectory();
        return named;
    }

    tandrel::test::ScopedTempDir dataFolder;
    juce::File settingsFile = usersFolderIn (dataFolder).getChildFile (SettingsFile::fileName);
    std::unique_ptr<PluginProcessor> processor = makeProcessor();
};

/** How much of a picture's edges is spread over partly covered pixels: the
    pixels between background and ink, per pixel of ink, in an area of text on
    a plain background. Drawing text at twice the size doubles its edges' length
    but quadruples its ink, so crisp text at 2x has about half the ratio; a
    stretched bitmap keeps it or blurs it further. */
double edgeSpread (const juce::Image& image, juce::Rectangle<int> area, juce::Colour background)
{
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    auto distance = [&] (int x, int y)
    {
        const auto c = pixels.getPixelColour (x, y);
        return std::abs (c.getRed() - background.getRed()) + std::abs (c.getGreen() - background.getGreen())
               + std::abs (c.getBlue() - background.getBlue());
    };

    int strongest = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            strongest = juce::jmax (strongest, distance (x, y));

    int partial = 0, ink = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const double d = distance (x, y) / (double) juce::jmax (1, strongest);
            partial += (d > 0.15 && d < 0.85) ? 1 : 0;
            ink += d >= 0.5 ? 1 : 0;
        }
    return ink == 0 ? 0.0 : partial / (double) ink;
}
} // namespace

TEST (InterfaceScaleChoices, OnlyTheExactDigitsOfAChoiceAreRead)
{
    struct Row { const char* text; int expected; };
    const Row rows[] = {
        { "100", 100 }, { "125", 125 }, { "150", 150 }, { "175", 175 }, { "200", 200 }, { " 175\n", 175 },
        { "", 100 }, { "99", 100 }, { "250", 100 }, { "150.0", 100 }, { "1e3", 100 }, { "-150", 100 },
        { "150 %", 100 }, { "0x96", 100 }, { "nan", 100 },
    };
    for (const auto& row : rows)
        EXPECT_EQ (InterfaceScale::percentFromText (row.text), row.expected) << "'" << row.text << "'";
}

TEST (InterfaceScaleChoices, MenuOffersTheFiveScalesAndTicksTheCurrentOne)
{
    for (const int current : InterfaceScale::percentChoices)
    {
        const auto menu = InterfaceScale::makeMenu (current);
        juce::StringArray texts;
        std::vector<int> ticked;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            texts.add (item.text);
            if (item.isTicked)
                ticked.push_back (item.itemID);
            if (! item.isSectionHeader)
            {
                EXPECT_EQ (item.text, juce::String (item.itemID) + " %") << "an item's id is its percent";
            }
        }
        EXPECT_EQ (texts.joinIntoString ("|"), "Interface scale|100 %|125 %|150 %|175 %|200 %");
        EXPECT_EQ (ticked, std::vector<int> { current });
    }
}

TEST_F (ScaleFixture, EachScaleDrawsTheWholeWindowLargerOnTheSameLayout)
{
    auto editor = openEditor (*processor);
    HostFrame frame (*editor);
    ASSERT_EQ (frame.getWidth(), 550) << "a new user starts at 100 %";

    auto& controls = editor->getControls();
    auto& panel = *controls.stageControls[1];
    juce::Component* const samples[] = { &editor->getTitle(), &editor->getControlBar(), &editor->getControlBar().presetComponent,
                                         &panel, &panel.getSliderSuite (1).getSlider(), &controls.toneSuite.getLabel(),
                                         &editor->getHintLine(), &editor->getLinkRow() };

    for (const int percent : InterfaceScale::percentChoices)
    {
        editor->chooseInterfaceScale (percent);
        const float scale = InterfaceScale::factorOf (percent);
        SCOPED_TRACE (percent);

        EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 550, 550)) << "the logical layout stays";
        EXPECT_EQ (controls.getBounds(), juce::Rectangle<int> (0, 81, 550, 416));
        EXPECT_NEAR (frame.getWidth(), 550.0f * scale, 1.0f) << "the host sees 550 x scale";
        EXPECT_NEAR (frame.getHeight(), 550.0f * scale, 1.0f);

        for (auto* child : samples)
        {
            const auto logical = editor->getLocalArea (child, child->getLocalBounds()).toFloat();
            const auto shown = frame.shownBoundsOf (*child).toFloat();
            // Each edge lands on the whole pixel nearest outside the exact one.
            EXPECT_NEAR (shown.getX(), logical.getX() * scale, 1.0f) << child->getName();
            EXPECT_NEAR (shown.getY(), logical.getY() * scale, 1.0f);
            EXPECT_NEAR (shown.getRight(), logical.getRight() * scale, 1.0f);
            EXPECT_NEAR (shown.getBottom(), logical.getBottom() * scale, 1.0f);
        }
    }
}

TEST_F (ScaleFixture, TheHostsScaleMultipliesTheUsersChoice)
{
    auto editor = openEditor (*processor);
    HostFrame frame (*editor);

    struct Step { float hostScale; int percent; int shown; };
    const Step steps[] = {
        { 2.0f, 100, 1100 }, // a host at 2x with the user's 100 %: 2x, as without a choice
        { 2.0f, 150, 1650 }, // a new choice keeps the host's factor
        { 1.0f, 150, 825 },  // and a new host factor keeps the choice
        { 1.5f, 200, 1650 },
        { 0.0f, 125, 688 },  // a host factor that is no scale at all counts as 1
    };
    for (const auto& step : steps)
    {
        editor->setScaleFactor (step.hostScale);
        editor->chooseInterfaceScale (step.percent);
        EXPECT_EQ (frame.getWidth(), step.shown) << step.hostScale << " x " << step.percent << " %";
        EXPECT_EQ (editor->getWidth(), 550);
    }
}

TEST_F (ScaleFixture, AHostConfirmingTheRoundedSizeNeitherGrowsNorShiftsTheWindow)
{
    auto editor = openEditor (*processor);
    HostFrame frame (*editor);
    for (const int percent : { 125, 175, 150, 125 })
    {
        editor->chooseInterfaceScale (percent);
        const auto shown = frame.getBounds();
        for (int confirmation = 0; confirmation < 3; ++confirmation)
            frame.confirmSize();

        EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 550, 550)) << percent;
        EXPECT_EQ (frame.getBounds(), shown) << percent;
        EXPECT_EQ (editor->getTitle().getBounds(), juce::Rectangle<int> (10, 0, 540, 34)) << percent;
    }
}

TEST_F (ScaleFixture, TwoHundredPercentIsDrawnAtTwiceTheSizeNotStretched)
{
    auto editor = openEditor (*processor);
    pumpMessages (300); // the hint line's first poll fills in its text

    const auto small = editor->createSnapshotAsShown();
    editor->chooseInterfaceScale (200);
    const auto large = editor->createSnapshotAsShown();
    ASSERT_EQ (small.getBounds(), juce::Rectangle<int> (0, 0, 550, 550));
    ASSERT_EQ (large.getBounds(), juce::Rectangle<int> (0, 0, 1100, 1100));

    // The same picture: each 2 x 2 block of the large one averages to the
    // small one's pixel, apart from the anti-aliasing along edges.
    const juce::Image::BitmapData smallPixels (small, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData largePixels (large, juce::Image::BitmapData::readOnly);
    double totalDifference = 0.0;
    int farOff = 0;
    for (int y = 0; y < 550; ++y)
        for (int x = 0; x < 550; ++x)
        {
            int difference = 0;
            for (auto channel : { &juce::Colour::getRed, &juce::Colour::getGreen, &juce::Colour::getBlue })
            {
                int block = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        block += (largePixels.getPixelColour (2 * x + dx, 2 * y + dy).*channel)();
                difference = juce::jmax (difference, std::abs (block / 4 - (smallPixels.getPixelColour (x, y).*channel)()));
            }
            totalDifference += difference;
            farOff += difference > 96 ? 1 : 0;
        }
    EXPECT_LT (totalDifference / (550.0 * 550.0), 4.0) << "mean difference per pixel, of 255";
    EXPECT_LT (farOff, 550 * 550 / 100) << "pixels that differ by more than an edge's shading";

    // Crisp: the title's glyph edges stay one pixel wide at twice the size,
    // where the small picture stretched to the same size blurs them.
    const auto background = juce::Colour::fromString ("#ff737373");
    const juce::Rectangle<int> title (10, 0, 540, 34);
    const double smallSpread = edgeSpread (small, title, background);
    const double largeSpread = edgeSpread (large, title * 2, background);
    const double stretchedSpread = edgeSpread (small.rescaled (1100, 1100, juce::Graphics::highResamplingQuality), title * 2, background);
    EXPECT_GT (smallSpread, 0.1) << "the title has anti-aliased edges to compare";
    EXPECT_LT (largeSpread, 0.7 * smallSpread);
    EXPECT_GT (stretchedSpread, 0.9 * smallSpread) << "the measure tells a stretched bitmap apart";
}

TEST_F (ScaleFixture, TheChoiceSurvivesReopeningAndANewProcessor)
{
    {
        auto editor = openEditor (*processor);
        EXPECT_EQ (editor->getInterfaceScalePercent(), 100);
        editor->chooseInterfaceScale (175);
        EXPECT_EQ (storedScale(), "175");
    }

    EXPECT_EQ (openEditor (*processor)->getInterfaceScalePercent(), 175);

    processor.reset();
    processor = makeProcessor();
    auto editor = openEditor (*processor);
    EXPECT_EQ (editor->getInterfaceScalePercent(), 175);
    EXPECT_FLOAT_EQ (editor->getScale(), 1.75f);

    // A choice another program wrote (a host, the standalone) shows in the next
    // editor; an open one keeps its scale until the user chooses here.
    juce::PropertySet other;
    other.setValue (InterfaceScaleSetting::propertyName, 125);
    ASSERT_TRUE (SettingsFile::write (settingsFile, other));
    editor->repaint();
    pumpMessages (50);
    EXPECT_EQ (editor->getInterfaceScalePercent(), 175) << "the file is not read per paint";
    EXPECT_EQ (openEditor (*processor)->getInterfaceScalePercent(), 125);
}

TEST_F (ScaleFixture, EveryOpenEditorFollowsANewChoice)
{
    auto second = makeProcessor();
    auto first = openEditor (*processor);
    auto other = openEditor (*second);
    HostFrame otherFrame (*other);

    first->chooseInterfaceScale (150);
    EXPECT_EQ (other->getInterfaceScalePercent(), 150);
    EXPECT_EQ (otherFrame.getWidth(), 825);
}

TEST_F (ScaleFixture, AnUnusableSettingsFileMeansOneHundredPercentAndIsReplacedOnTheNextChoice)
{
    struct Case { const char* what; std::function<void (const juce::File&)> make; };
    auto text = [] (const juce::String& content) { return [content] (const juce::File& f) { f.replaceWithText (content); }; };
    auto valid = [] (const juce::String& value)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n  <VALUE name=\"interfaceScale\" val=\"" + value
               + "\"/>\n</PROPERTIES>\n";
    };
    const Case cases[] = {
        { "empty", text ({}) },
        { "not XML", text ("interfaceScale=150") },
        { "cut off", text (valid ("150").substring (0, 60)) },
        { "another document", text ("<SETTINGS><VALUE name=\"interfaceScale\" val=\"150\"/></SETTINGS>") },
        { "no scale", text (valid ("150").replace ("interfaceScale", "somethingElse")) },
        { "a scale not offered", text (valid ("1000000")) },
        { "a negative scale", text (valid ("-150")) },
        { "a document type reading a device", text ("<!DOCTYPE PROPERTIES SYSTEM \"/dev/zero\">" + valid ("&zero;").fromFirstOccurrenceOf ("\n", false, false)) },
        { "nested entities", text ("<?xml version=\"1.0\"?><!DOCTYPE PROPERTIES [<!ENTITY a \"150\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                                   "<PROPERTIES><VALUE name=\"interfaceScale\" val=\"&b;\"/></PROPERTIES>") },
        { "too large", text (valid ("150") + juce::String::repeatedString ("<!-- padding -->", 5000)) },
        { "binary", [] (const juce::File& f) { f.replaceWithData ("CPRP\x1f\x8b\x08\x00\xff\xff", 10); } },
#if ! JUCE_WINDOWS // Windows' named pipes live in a namespace of their own, never at a file's path
        { "a FIFO", [] (const juce::File& f) { ASSERT_EQ (mkfifo (f.getFullPathName().toRawUTF8(), 0600), 0); } },
#endif
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        tandrel::test::ScopedTempDir folder;
        const auto file = folder[SettingsFile::fileName];
        c.make (file);

        PluginProcessor p (juce::File(), file);
        auto editor = openEditor (p);
        EXPECT_EQ (editor->getInterfaceScalePercent(), 100);
        EXPECT_EQ (editor->getWidth(), 550);

        editor->chooseInterfaceScale (150);
        EXPECT_EQ (SettingsFile::read (file).getValue (InterfaceScaleSetting::propertyName), "150") << "replaced by a good file";
        EXPECT_EQ (openEditor (p)->getInterfaceScalePercent(), 150);
    }

    // The file a choice writes reads back, and it is the framework's properties format.
    tandrel::test::ScopedTempDir folder;
    const auto file = folder[SettingsFile::fileName];
    text (valid ("125")) (file);
    EXPECT_EQ (SettingsFile::read (file).getValue (InterfaceScaleSetting::propertyName), "125");
    PluginProcessor p (juce::File(), file);
    EXPECT_EQ (openEditor (p)->getInterfaceScalePercent(), 125);
}

TEST_F (ScaleFixture, AnUnwritableSettingsFileKeepsTheChoiceForTheSession)
{
    // The data folder's place is taken by a plain file, so nothing can be
    // created in it (a permission would not stop a test run as root).
    dataFolder["blocked"].replaceWithText ("not a folder");
    const auto unwritable = dataFolder["blocked/" + juce::String (SettingsFile::fileName)];
    PluginProcessor p (juce::File(), unwritable);

    {
        auto editor = openEditor (p);
        editor->chooseInterfaceScale (200);
        EXPECT_EQ (editor->getInterfaceScalePercent(), 200);
    }
    EXPECT_FALSE (unwritable.exists());
    EXPECT_EQ (openEditor (p)->getInterfaceScalePercent(), 200) << "kept for the session";

    // A folder where the file should be is not replaced either.
    const auto folderInTheWay = dataFolder["inTheWay"];
    folderInTheWay.createDirectory();
    PluginProcessor q (juce::File(), folderInTheWay);
    auto editor = openEditor (q);
    EXPECT_EQ (editor->getInterfaceScalePercent(), 100);
    editor->chooseInterfaceScale (125);
    EXPECT_EQ (editor->getInterfaceScalePercent(), 125);
    EXPECT_TRUE (folderInTheWay.isDirectory());
}

TEST_F (ScaleFixture, RightClickOnTheBackgroundOpensTheScaleMenu)
{
    tandrel::test::ignoreXErrors();
    auto editor = openEditor (*processor);
    editor->addToDesktop (0);
    editor->setVisible (true);
    auto* peer = editor->getPeer();
    ASSERT_NE (peer, nullptr);

    auto click = [&] (juce::Point<float> position, juce::ModifierKeys button)
    {
        const auto source = juce::MouseInputSource::InputSourceType::mouse;
        const auto now = juce::Time::currentTimeMillis();
        peer->handleMouseEvent (source, position, button, juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation, now);
        peer->handleMouseEvent (source, position, juce::ModifierKeys(), juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation, now + 10);
        pumpMessages (20);
        return juce::PopupMenu::dismissAllActiveMenus();
    };

    struct Spot { const char* what; juce::Point<float> position; bool opens; };
    const Spot spots[] = {
        { "left margin", { 4.0f, 300.0f }, true },
        { "beside the title", { 500.0f, 15.0f }, true },
        { "notification row", { 300.0f, 45.0f }, true },
        { "between stage panels", { 275.0f, 81.0f + 131.0f }, true },
        { "inside a panel's frame", { 400.0f, 81.0f + 10.0f + 4.0f }, true },
        { "N Segs slider", { 60.0f, 81.0f + 20.0f + 24.0f + 8.0f }, false },
        { "undo button", { 20.0f, 70.0f }, false },
        { "preset browser", { 150.0f, 70.0f }, false },
        { "Mode switch", { 28.0f, 81.0f + 397.0f }, false },
    };
    for (const auto& spot : spots)
        EXPECT_EQ (click (spot.position, juce::ModifierKeys::rightButtonModifier), spot.opens) << spot.what;

    EXPECT_FALSE (click ({ 4.0f, 300.0f }, juce::ModifierKeys::leftButtonModifier)) << "a left click opens nothing";
    editor->removeFromDesktop();
}

TEST_F (ScaleFixture, MenusAreDrawnAtTheWindowsScale)
{
    tandrel::test::ignoreXErrors();
    auto editor = openEditor (*processor);
    editor->setScaleFactor (1.5f); // a host's own factor counts as well
    editor->chooseInterfaceScale (200);
    editor->addToDesktop (0);
    editor->setVisible (true);

    // The scale each open menu window is drawn at. Menu windows come and go
    // through the message loop, so wait for them rather than for a fixed time:
    // a loaded machine may take longer than any fixed pause. On Windows the
    // framework puts four shadow windows around a menu, which take no clicks.
    auto openMenuWindows = [&editor]
    {
        std::vector<juce::Component*> windows;
        auto& desktop = juce::Desktop::getInstance();
        for (int i = 0; i < desktop.getNumComponents(); ++i)
        {
            auto* window = desktop.getComponent (i);
            bool takesClicks = false, childrenTakeClicks = false;
            window->getInterceptsMouseClicks (takesClicks, childrenTakeClicks);
            if (window != editor.get() && window->isShowing() && takesClicks)
                windows.push_back (window);
        }
        return windows;
    };
    auto menuScales = [&]
    {
        pumpUntil ([&] { return ! openMenuWindows().empty(); });
        std::vector<float> scales;
        for (auto* window : openMenuWindows())
            scales.push_back (window->getDesktopScaleFactor() / juce::Desktop::getInstance().getGlobalScaleFactor());
        juce::PopupMenu::dismissAllActiveMenus();
        EXPECT_TRUE (pumpUntil ([&] { return openMenuWindows().empty(); })) << "a menu stayed open";
        return scales;
    };

    editor->showInterfaceScaleMenu();
    EXPECT_EQ (menuScales(), std::vector<float> { 3.0f }) << "the interface scale menu";

    editor->getControlBar().presetComponent.showPopup();
    EXPECT_EQ (menuScales(), std::vector<float> { 3.0f }) << "the preset menu";
    editor->removeFromDesktop();
}
