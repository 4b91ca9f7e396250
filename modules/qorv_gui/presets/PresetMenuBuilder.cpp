namespace juce::qorv_gui
{

namespace
{
/** JUCE disables a sub-menu without items; an empty user folder is still a
    folder the user made, so it stays listed like every other entry. */
void addEnabledSubMenu (juce::PopupMenu& menu, const juce::String& name, juce::PopupMenu subMenu)
{
    juce::PopupMenu::Item item (name);
    item.subMenu = std::make_unique<juce::PopupMenu> (std::move (subMenu));
    item.isEnabled = true;
    menu.addItem (std::move (item));
}
} // namespace

void PresetMenuBuilder::UsedNames::add (const juce::String& name)
{
    keys.insert (keyOf (name));
}

juce::String PresetMenuBuilder::UsedNames::claim (const juce::String& name)
{
    auto key = keyOf (name);

    if (keys.insert (key).second)
        return name;

    auto& counter = lastCounters[key];
    counter = juce::jmax (counter, 1);

    for (;;)
    {
        const auto suffix = " (" + juce::String (++counter) + ")";

        if (keys.insert (key + suffix).second)
            return name + suffix;
    }
}

juce::PopupMenu PresetMenuBuilder::buildMenu (PresetManager& manager, FileCheck fileCheck)
{
    const juce::ScopedLock sl (manager.getLock());
    juce::PopupMenu menu;

    menu.addSectionHeader ("Options:");
    menu.addItem (PresetComponent::newPreset, "New");
    menu.addItem (PresetComponent::browseOpen, "Browse/Open...");
    menu.addItem (PresetComponent::save, "Save");
    menu.addItem (PresetComponent::saveAs, "Save as...");
    menu.addSeparator();

    juce::PopupMenu packMenu;
    packMenu.addItem (PresetComponent::importPack, "Import...");
    packMenu.addItem (PresetComponent::createPack, "Create...");
    packMenu.addItem (PresetComponent::downloadsInfo, "Downloads & Info");
    addEnabledSubMenu (menu, "Preset Pack Options", std::move (packMenu));
    menu.addSeparator();

    UsedNames usedNames;

    menu.addSectionHeader ("Factory Presets:");

    if (auto* rootCategory = manager.getRootCategory())
        addCategoryToMenu (*rootCategory, menu, usedNames);

    menu.addSectionHeader ("User Presets:");

    if (auto* rootFolder = manager.getRootFolder())
        addFolderToMenu (*rootFolder, menu, usedNames, fileCheck);

    return menu;
}

void PresetMenuBuilder::addCategoryToMenu (const PresetManager::FactoryCategory& category,
                                           juce::PopupMenu& menu, UsedNames& usedNames)
{
    for (auto* preset : category.presets)
    {
        menu.addItem (preset->id, preset->name);
        usedNames.add (preset->name);
    }

    for (auto* sub : category.subcategories)
    {
        juce::PopupMenu subMenu;
        addCategoryToMenu (*sub, subMenu, usedNames);
        addEnabledSubMenu (menu, leafName (sub->name), std::move (subMenu));
    }
}

void PresetMenuBuilder::addFolderToMenu (const PresetManager::UserFolder& folder, juce::PopupMenu& menu,
                                         UsedNames& usedNames, FileCheck fileCheck)
{
    for (auto* preset : folder.presets)
    {
        if (preset->file.getFullPathName().isEmpty()
            || (fileCheck == FileCheck::checkEachFile && ! preset->file.existsAsFile()))
            continue;

        menu.addItem (preset->id, usedNames.claim (preset->name));
    }

    for (auto* sub : folder.subfolders)
    {
        juce::PopupMenu subMenu;
        addFolderToMenu (*sub, subMenu, usedNames, fileCheck);
        addEnabledSubMenu (menu, sub->name, std::move (subMenu));
    }
}

juce::String PresetMenuBuilder::leafName (const juce::String& categoryName)
{
    return categoryName.contains ("//") ? categoryName.fromFirstOccurrenceOf ("//", false, false)
                                        : categoryName;
}

} // namespace juce::qorv_gui
