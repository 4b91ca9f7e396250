// Renders every toolkit widget in its states onto one contact sheet (a PNG), so
// the look can be reviewed at a glance. Usage: tandrel-toolkit-sheet [output.png]
// (default docs/toolkit.png). Run it under a display, e.g. xvfb-run.

#include "ProductIdentity.h"
#include "../common/PngFile.h"

#include <qorv_gui/qorv_gui.h>
#include <BinaryData.h>

using namespace juce::qorv_gui;

namespace
{
constexpr int sheetWidth = 1100;
constexpr int captionWidth = 190;
constexpr int rowGap = 14;

class Sheet
{
public:
    explicit Sheet (LookAndFeel& lookAndFeel)
        : lf (lookAndFeel), image (juce::Image::ARGB, sheetWidth, 1400, true), g (image)
    {
        g.fillAll (lf.backgroundColour);
    }

    /** Starts a row with its caption; widgets are then placed left to right. */
    void row (const juce::String& caption, int height)
    {
        y += rowHeight + (rowHeight > 0 ? rowGap : 0);
        rowHeight = height;
        x = captionWidth;
        g.setColour (lf.textColour);
        g.setFont (juce::Font (13.0f, juce::Font::bold));
        g.drawFittedText (caption, 10, y, captionWidth - 20, height, juce::Justification::centredLeft, 3);
    }

    /** Paints the component (sized as given) at the next place in the row, with a small note under it. */
    void place (juce::Component& component, int width, int height, const juce::String& note = {})
    {
        component.setSize (width, height);
        juce::Image snapshot (juce::Image::ARGB, juce::jmax (1, width), juce::jmax (1, height), true);
        {
            juce::Graphics sg (snapshot);
            component.paintEntireComponent (sg, true);
        }
        g.drawImageAt (snapshot, x, y + (rowHeight - height - (note.isEmpty() ? 0 : 14)) / 2);
        noteAt (note, x, width);
        x += width + 18;
    }

    /** Draws with the look and feel directly into a box at the next place in the row. */
    void draw (int width, int height, const juce::String& note, const std::function<void (juce::Graphics&)>& paint)
    {
        juce::Graphics::ScopedSaveState state (g);
        const auto top = y + (rowHeight - height - (note.isEmpty() ? 0 : 14)) / 2;
        g.reduceClipRegion (x, top, width, height);
        g.setOrigin (x, top);
        paint (g);
        g.setOrigin (-x, -top);
        noteAt (note, x, width);
        x += width + 18;
    }

    juce::Image finish()
    {
        return image.getClippedImage ({ 0, 0, sheetWidth, y + rowHeight + rowGap });
    }

private:
    void noteAt (const juce::String& note, int left, int width)
    {
        if (note.isEmpty())
            return;
        g.setColour (lf.textColour.withAlpha (0.8f));
        g.setFont (juce::Font (11.0f));
        g.drawText (note, left - 9, y + rowHeight - 13, width + 18, 13, juce::Justification::centred);
    }

    LookAndFeel& lf;
    juce::Image image;
    juce::Graphics g;
    int x = 0, y = 0, rowHeight = 0;
};

void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::File output = juce::File::getCurrentWorkingDirectory().getChildFile (argc > 1 ? argv[1] : "docs/toolkit.png");

    LookAndFeel lf;
    Sheet sheet (lf);

    sheet.row ("TitleLabels", 44);
    TitleLabels title (ProductIdentity::vendor(), juce::URL ("https://quorvex.com"), ProductIdentity::nameWithFullVersion(),
                       juce::URL ("https://quorvex.com/tandrel"), lf);
    sheet.place (title, 540, 40);

    sheet.row ("HyperlinkLabelRow", 36);
    HyperlinkLabelRow links (lf, { "User Guide", "Get Support" }, { "https://quorvex.com/guide", "https://quorvex.com/support" },
                             juce::Justification::bottomLeft);
    sheet.place (links, 540, 22);

    // Each slider style at 0, the middle, 1, and disabled.
    const auto placeSliders = [&] (juce::Slider::SliderStyle style, int width, int height)
    {
        for (auto [value, enabled] : { std::pair { 0.0, true }, std::pair { 0.5, true }, std::pair { 1.0, true }, std::pair { 0.5, false } })
        {
            juce::Slider slider (style, juce::Slider::NoTextBox);
            slider.setLookAndFeel (&lf);
            slider.setRange (0.0, 1.0);
            slider.setValue (value);
            slider.setEnabled (enabled);
            sheet.place (slider, width, height, enabled ? juce::String (value) : "disabled");
            slider.setLookAndFeel (nullptr);
        }
    };

    sheet.row ("Rotary slider\n(0, 0.5, 1, disabled)", 76);
    placeSliders (juce::Slider::RotaryHorizontalVerticalDrag, 60, 60);

    sheet.row ("Horizontal slider\n(min, mid, max, disabled)", 34);
    placeSliders (juce::Slider::LinearHorizontal, 186, 16);

    sheet.row ("Combo box, popup menu", 120);
    juce::ComboBox box;
    box.setLookAndFeel (&lf);
    box.addItem ("Init*", 1);
    box.setSelectedId (1, juce::dontSendNotification);
    sheet.place (box, 220, 22);
    sheet.draw (230, 120, {}, [&] (juce::Graphics& pg)
    {
        lf.drawPopupMenuBackground (pg, 230, 120);
        struct Item { const char* text; bool separator, active, highlighted, submenu; };
        const Item items[] = { { "Section", false, true, false, false }, { "Normal item", false, true, false, false },
                               { "Highlighted", false, true, true, false }, { "Inactive, hovered", false, false, true, false },
                               { "", true, true, false, false }, { "Submenu", false, true, false, true } };
        int top = 4;
        for (const auto& item : items)
        {
            const auto height = item.separator ? 2 : 22;
            juce::Graphics::ScopedSaveState state (pg);
            pg.setOrigin (2, top);
            if (juce::String (item.text) == "Section")
                lf.drawPopupMenuSectionHeader (pg, { 0, 0, 226, height }, item.text);
            else
                lf.drawPopupMenuItem (pg, { 0, 0, 226, height }, item.separator, item.active, item.highlighted, false,
                                      item.submenu, item.text, {}, nullptr, nullptr);
            top += height + (item.separator ? 3 : 0);
        }
    });
    box.setLookAndFeel (nullptr);

    sheet.row ("Tab bar (3 tabs, 1 tab),\nextras placeholder", 36);
    for (int tabs : { 3, 1 })
    {
        juce::TabbedButtonBar bar (juce::TabbedButtonBar::TabsAtTop);
        bar.setLookAndFeel (&lf);
        for (int i = 0; i < tabs; ++i)
            bar.addTab ("Tab " + juce::String (i + 1), lf.backgroundColour, -1);
        bar.setCurrentTabIndex (0);
        sheet.place (bar, tabs * 100, 30);
        bar.setLookAndFeel (nullptr);
    }
    std::unique_ptr<juce::Button> extras (lf.createTabBarExtrasButton());
    sheet.place (*extras, 22, 22);

    sheet.row ("IconButton 22 x 22\n(normal, over, down, disabled)", 40);
    const std::pair<const char*, int> icons[] = { { BinaryData::undo_svg, BinaryData::undo_svgSize }, { BinaryData::redo_svg, BinaryData::redo_svgSize },
                                                  { BinaryData::reload_svg, BinaryData::reload_svgSize }, { BinaryData::new_svg, BinaryData::new_svgSize },
                                                  { BinaryData::randomPreset_svg, BinaryData::randomPreset_svgSize } };
    for (const auto& [data, size] : icons)
    {
        IconButton button (data, (size_t) size, lf.highlightColour, "Icon");
        for (auto state : { juce::Button::buttonNormal, juce::Button::buttonOver, juce::Button::buttonDown })
        {
            button.setState (state);
            sheet.place (button, 22, 22);
        }
        button.setEnabled (false);
        sheet.place (button, 22, 22);
    }

    sheet.row ("IconButton 66 x 66", 72);
    for (const auto& [data, size] : icons)
    {
        IconButton button (data, (size_t) size, lf.highlightColour, "Icon");
        sheet.place (button, 66, 66);
    }

    sheet.row ("TriangleButton\n(up, down, left, right; over, down)", 36);
    for (int direction : { 0, 1, 2, 3 })
    {
        TriangleButton button (direction, lf, "Arrow");
        sheet.place (button, 18, 18);
    }
    for (auto state : { juce::Button::buttonOver, juce::Button::buttonDown })
    {
        TriangleButton button (TriangleButton::right, lf, "Arrow");
        button.setState (state);
        sheet.place (button, 18, 18);
    }

    sheet.row ("BoxToggleButton\n(off, off hovered, on, on hovered)", 36);
    for (auto [on, over] : { std::pair { false, false }, std::pair { false, true }, std::pair { true, false }, std::pair { true, true } })
    {
        BoxToggleButton button (lf);
        button.setToggleState (on, juce::dontSendNotification);
        button.setState (over ? juce::Button::buttonOver : juce::Button::buttonNormal);
        sheet.place (button, 18, 18);
    }

    sheet.row ("MouseoverTextButton\n(idle, hovered)", 36);
    for (auto over : { false, true })
    {
        MouseoverTextButton button (lf, "Save");
        button.setState (over ? juce::Button::buttonOver : juce::Button::buttonNormal);
        sheet.place (button, 90, 26);
    }

    sheet.row ("IndicatorLight\n(state -1, 0, 1, 2, 5)", 36);
    for (int state : { -1, 0, 1, 2, 5 })
    {
        IndicatorLight light (lf);
        light.stateColours.add (LookAndFeel::dimmed (lf.accentColour));
        light.setLightState (state);
        sheet.place (light, 14, 14, juce::String (state));
    }

    sheet.row ("LabeledSuiteGrid\n(a stage panel)", 100);
    LabeledSuiteGrid grid (lf, { indicatorLight, horizontalSlider, horizontalSlider, horizontalSlider });
    grid.setSize (510, 96);
    const char* labelTexts[] = { "Stage 1", "N Segs: 12", "Seg Size: 9.6 us", "Seg Mix: 100 %" };
    for (int i = 0; i < 4; ++i)
        grid.getSuite (i)->setLabelText (labelTexts[i]);
    grid.getSuiteAs<IndicatorLightSuite> (0)->setLightState (0);
    grid.getSuiteAs<SliderSuite> (1)->getSlider().setRange (2.0, 91.0);
    grid.getSuiteAs<SliderSuite> (1)->getSlider().setValue (12.0);
    grid.getSuiteAs<SliderSuite> (2)->getSlider().setValue (0.2);
    grid.getSuiteAs<SliderSuite> (3)->getSlider().setValue (0.83);
    sheet.place (grid, 510, 96);

    sheet.row ("ToggleButtonSuite, SliderSuite,\nTextEditorSuite", 30);
    juce::Component suites;
    ToggleButtonSuite mode (lf);
    SliderSuite tone (lf, juce::Slider::LinearHorizontal);
    TextEditorSuite name (lf, "Name");
    mode.addAndMakeVisibleTo (suites);
    tone.addAndMakeVisibleTo (suites);
    name.addAndMakeVisibleTo (suites);
    mode.setLabelText ("Mode: Series");
    tone.setLabelText ("Tone: 0.0 dB");
    tone.getSlider().setValue (0.5);
    name.getTextEditor().setText ("My preset");
    mode.setBounds (LabeledSuite::makeBounds ({ 0, 5, 18, 18 }, { 18, 0, 152, 28 }));
    tone.setBounds (LabeledSuite::makeBounds ({ 176, 6, 186, 16 }, { 362, 0, 164, 28 }));
    name.setBounds (LabeledSuite::makeBounds ({ 600, 2, 200, 24 }, { 530, 0, 70, 28 }));
    sheet.place (suites, 810, 28);

    sheet.row ("TipDisplayComponent\n(on, off)", 56);
    {
        TipDisplayComponent on (lf), off (lf);
        on.setSize (540, 22);
        off.setSize (540, 22);
        off.getSwitch().setToggleState (false, juce::sendNotification);
        pump (500); // the "on" strip's first polls fill in the default hint
        juce::Component strips;
        strips.addAndMakeVisible (on);
        strips.addAndMakeVisible (off);
        off.setTopLeftPosition (0, 26);
        sheet.place (strips, 540, 48);
    }

    return writePngFile (sheet.finish(), output) ? 0 : 1;
}
