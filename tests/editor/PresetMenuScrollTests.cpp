// A folder holding more presets than the screen has room for opens from the
// browser's menu as one column that stays on screen and scrolls.

#include "PluginProcessor.h"
#include "ScopedTempDir.h"
#include "XErrors.h"

#include <gtest/gtest.h>

namespace
{
std::set<juce::Component*> desktopComponents()
{
    std::set<juce::Component*> components;
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
        components.insert (desktop.getComponent (i));

    return components;
}

/** The one window that joined the desktop since before. */
juce::Component* newWindow (const std::set<juce::Component*>& before)
{
    juce::Component* found = nullptr;

    for (auto* component : desktopComponents())
        if (before.count (component) == 0)
            found = component;

    return found;
}

/** How many presses of the down key lead from the top of a menu to the item
    with the given text: the keys skip headers and separators. */
int downPressesTo (const juce::PopupMenu& menu, const juce::String& text)
{
    int presses = 0;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();

        if (item.isSeparator || item.isSectionHeader || ! item.isEnabled)
            continue;

        ++presses;

        if (item.text == text)
            return presses;
    }

    return -1;
}
} // namespace

TEST (PresetMenuScrolling, AFolderTallerThanTheScreenOpensOnScreenAsOneColumnThatScrolls)
{
    constexpr int numPresets = 250;
    tandrel::test::ScopedTempDir folder;
    ASSERT_TRUE (folder["folder 1"].createDirectory().wasOk());
    const char bytes[16] = {};
    for (int i = 1; i <= numPresets; ++i)
        ASSERT_TRUE (folder["folder 1/preset " + juce::String (i) + ".td11"].replaceWithData (bytes, sizeof (bytes)));

    PluginProcessor processor { folder.get() };
    juce::qorv_gui::LookAndFeel lookAndFeel;
    juce::qorv_gui::PresetComponent box (lookAndFeel, processor.getPresetManager(), juce::URL ("https://example.invalid/"));
    box.setBounds (0, 0, 200, 22);
    tandrel::test::ignoreXErrors();
    box.addToDesktop (0);
    box.setVisible (true);

    auto before = desktopComponents();
    box.showPopup();
    auto* menu = newWindow (before);
    ASSERT_NE (menu, nullptr) << "the menu did not open";

    const auto presses = downPressesTo (*box.getRootMenu(), "Folder 1");
    ASSERT_GT (presses, 0);
    for (int i = 0; i < presses; ++i)
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));

    before = desktopComponents();
    menu->keyPressed (juce::KeyPress (juce::KeyPress::rightKey));
    auto* folderMenu = newWindow (before);
    ASSERT_NE (folderMenu, nullptr) << "the folder's sub-menu did not open";
    ASSERT_EQ (folderMenu->getNumChildComponents(), numPresets);

    const auto screen = juce::Desktop::getInstance().getDisplays().getDisplayForRect (folderMenu->getScreenBounds())->userArea;
    EXPECT_TRUE (screen.contains (folderMenu->getScreenBounds())) << folderMenu->getScreenBounds().toString() << " on " << screen.toString();

    auto* first = folderMenu->getChildComponent (0);
    auto* last = folderMenu->getChildComponent (numPresets - 1);
    EXPECT_EQ (last->getX(), first->getX()) << "one column";
    EXPECT_GT (last->getBottom(), folderMenu->getHeight()) << "the last preset starts out of view";

    // The mouse wheel scrolls it down to the last preset.
    const auto firstTop = first->getY();
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                  folderMenu, folderMenu, now, {}, now, 1, false);
    for (int i = 0; i < numPresets && last->getBottom() > folderMenu->getHeight(); ++i)
        folderMenu->mouseWheelMove (event, { 0.0f, -1.0f, false, false, false });

    EXPECT_LT (first->getY(), firstTop);
    EXPECT_LE (last->getBottom(), folderMenu->getHeight());
    EXPECT_TRUE (screen.contains (folderMenu->getScreenBounds()));

    juce::PopupMenu::dismissAllActiveMenus();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    box.removeFromDesktop();
}
