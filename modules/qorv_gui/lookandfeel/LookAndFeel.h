#pragma once

namespace juce::qorv_gui
{

/** The toolkit's colours and fonts, and the drawing of the JUCE widgets the
    toolkit does not draw itself (sliders, combo box with its popup menu, text
    editor, tab bar).

    The editor owns one instance, declared before every widget that refers to
    it, and passes it to each toolkit widget, which reads the public colours and
    fonts directly. It is set explicitly only on sliders and the preset combo
    box; everything else keeps JUCE's default look.

    LookAndFeel_V4 already implements TabbedButtonBar::LookAndFeelMethods, so the
    tab-bar overrides below replace JUCE's through that one base. */
class LookAndFeel : public juce::LookAndFeel_V4
{
public:
    /** Tab bars that would need a scroll button get this opaque black block
        instead; no tab bar of the program is wide enough to show it. */
    class ExtrasButtonPlaceholder : public juce::ShapeButton
    {
    public:
        ExtrasButtonPlaceholder();
        void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    };

    LookAndFeel();

    const juce::Colour accentColour;
    const juce::Colour highlightColour;
    const juce::Colour backgroundColour;
    const juce::Colour textColour;
    const juce::Font mainFont;
    const juce::Font titleFont;
    const juce::Font subtitleFont;

    /** The disabled look: the colour at 60 % of its alpha (153 for opaque colours). */
    static juce::Colour dimmed (juce::Colour colour);

    //==============================================================================
    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float minSliderPos, float maxSliderPos,
                           juce::Slider::SliderStyle, juce::Slider&) override;
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    /** A combo box's menu, and every sub-menu under it (they inherit these
        options), stays one column that scrolls when it is taller than the
        screen, instead of spreading over columns: a folder of hundreds of
        presets still opens on screen. */
    juce::PopupMenu::Options getOptionsForComboBoxPopupMenu (juce::ComboBox&, juce::Label&) override;

    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics&, const juce::Rectangle<int>& area,
                            bool isSeparator, bool isActive, bool isHighlighted, bool isTicked,
                            bool hasSubMenu, const juce::String& text, const juce::String& shortcutKeyText,
                            const juce::Drawable* icon, const juce::Colour* textColour) override;
    void drawPopupMenuSectionHeader (juce::Graphics&, const juce::Rectangle<int>& area,
                                     const juce::String& sectionName) override;

    void fillTextEditorBackground (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;

    int getTabButtonOverlap (int tabDepth) override;
    int getTabButtonBestWidth (juce::TabBarButton&, int tabDepth) override;
    juce::Rectangle<int> getTabButtonExtraComponentBounds (const juce::TabBarButton&, juce::Rectangle<int>& textArea,
                                                           juce::Component& extraComp) override;
    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    juce::Font getTabButtonFont (juce::TabBarButton&, float height) override;
    void drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int w, int h) override;
    void createTabButtonShape (juce::TabBarButton&, juce::Path&, bool isMouseOver, bool isMouseDown) override;
    void fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&,
                             bool isMouseOver, bool isMouseDown) override;
    juce::Button* createTabBarExtrasButton() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeel)
};

} // namespace juce::qorv_gui
