#include <QorvGuiFonts.h>
#include <stdexcept>

namespace juce::qorv_gui
{

namespace
{
// The typefaces are parsed once per process, on first use rather than at static
// initialisation, so that nothing touches the font engine before JUCE is up.
juce::Typeface::Ptr sourceCodeProTypeface()
{
    static const auto typeface = juce::Typeface::createSystemTypefaceFor (QorvGuiFonts::SourceCodeProBold_ttf,
                                                                          QorvGuiFonts::SourceCodeProBold_ttfSize);
    return typeface;
}

juce::Typeface::Ptr courierPrimeTypeface()
{
    static const auto typeface = juce::Typeface::createSystemTypefaceFor (QorvGuiFonts::CourierPrimeBold_ttf,
                                                                          QorvGuiFonts::CourierPrimeBold_ttfSize);
    return typeface;
}

juce::Font mainFontConstant()     { return juce::Font (sourceCodeProTypeface()).withHeight (19.0f); }
juce::Font titleFontConstant()    { return juce::Font (courierPrimeTypeface()).withHeight (34.0f); }
juce::Font subtitleFontConstant() { return titleFontConstant().withHeight (28.0f); }

// A rounded corner approximated by one cubic segment (the usual circle constant).
constexpr float cornerKappa = 0.5522848f;

void roundedCornerTo (juce::Path& path, juce::Point<float> corner, juce::Point<float> from, juce::Point<float> to)
{
    path.lineTo (from);
    path.cubicTo (from + (corner - from) * cornerKappa, to + (corner - to) * cornerKappa, to);
}
} // namespace

//==============================================================================
LookAndFeel::ExtrasButtonPlaceholder::ExtrasButtonPlaceholder()
    : juce::ShapeButton ("Placeholder", juce::Colour (0xff000000), juce::Colour (0xff000000), juce::Colour (0xff000000))
{
}

void LookAndFeel::ExtrasButtonPlaceholder::paintButton (juce::Graphics& g, bool, bool)
{
    g.setColour (juce::Colour (0xff000000));
    g.fillRect (getLocalBounds());
}

//==============================================================================
LookAndFeel::LookAndFeel()
    : accentColour (juce::Colour::fromString ("ff8710dc")),
      highlightColour (juce::Colour::fromString ("ff9acd32")),
      backgroundColour (juce::Colour::fromString ("ff737373")),
      textColour (juce::Colour::fromString ("fff5f5f5")),
      mainFont (mainFontConstant()),
      titleFont (titleFontConstant()),
      subtitleFont (subtitleFontConstant())
{
}

juce::Colour LookAndFeel::dimmed (juce::Colour colour)
{
    return colour.withMultipliedAlpha (0.6f);
}

//==============================================================================
void LookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height,
                                    float sliderPos, float, float,
                                    juce::Slider::SliderStyle style, juce::Slider& slider)
{
    // No widget uses vertical sliders; refuse loudly rather than draw something untested.
    if (style == juce::Slider::LinearVertical)
        throw std::logic_error ("Not coded");

    const auto enabled = slider.isEnabled();
    const auto frame = enabled ? accentColour : dimmed (accentColour);
    g.setColour (frame);
    g.drawRect (juce::Rectangle<float> ((float) x, (float) y, (float) width, (float) height), 2.0f);

    if (style != juce::Slider::LinearHorizontal)
        return;

    // The thumb ends at sliderPos and is the height times the golden ratio's inverse
    // wide; at the minimum its left part lies outside and the track is empty.
    const auto h = (float) height;
    const auto thumbWidth = 0.618034f * h;
    const auto trackEnd = sliderPos - thumbWidth;
    g.fillRect (juce::Rectangle<float> (trackEnd, 0.0f, thumbWidth, h));

    if (trackEnd > 0.0f)
    {
        g.setColour (enabled ? highlightColour : dimmed (highlightColour));
        g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, trackEnd, h));
    }
}

void LookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                    float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                                    juce::Slider& slider)
{
    const auto enabled = slider.isEnabled();
    const auto side = (float) juce::jmin (width, height);
    const auto diameter = juce::jmax (side - 12.0f, 0.0f);
    const auto radius = side / 2.0f;
    const juce::Rectangle<float> body ((float) x + 6.0f, (float) y + 6.0f, diameter, diameter);

    g.setColour (enabled ? accentColour : dimmed (accentColour));
    g.fillEllipse (body);
    g.setColour (enabled ? highlightColour : dimmed (highlightColour));
    g.drawEllipse (body, 3.0f);

    // The pointer stays opaque even when disabled, so the value remains readable.
    juce::Path pointer;
    pointer.addTriangle (0.0f, -radius,
                         -0.32258067f * radius, -0.1923077f * radius,
                         0.32258067f * radius, -0.1923077f * radius);
    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);
    g.setColour (backgroundColour);
    g.fillPath (pointer, juce::AffineTransform::rotation (angle).translated ((float) x + radius, (float) y + radius));
}

//==============================================================================
void LookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int, juce::ComboBox&)
{
    const auto w = (float) width;
    const auto h = (float) height;
    g.fillAll (backgroundColour);
    g.setColour (highlightColour);
    g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, w, h), 2.0f);

    // Arrow side 6/11 of the height, centred vertically, right corner 8 px from the edge.
    const auto arrowSide = h * 0.54545456f;
    g.fillPath (makeDownTriangle (w - 8.0f - arrowSide / 2.0f, h - (h - 0.8660254f * arrowSide) / 2.0f, arrowSide));
}

juce::Font LookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return mainFont;
}

//==============================================================================
juce::PopupMenu::Options LookAndFeel::getOptionsForComboBoxPopupMenu (juce::ComboBox& box, juce::Label& label)
{
    return juce::LookAndFeel_V4::getOptionsForComboBoxPopupMenu (box, label).withMaximumNumColumns (1);
}

void LookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.fillAll (backgroundColour);
    g.setColour (textColour);
    g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, (float) width, (float) height), 2.0f);
}

void LookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area,
                                     bool isSeparator, bool isActive, bool isHighlighted, bool,
                                     bool hasSubMenu, const juce::String& text, const juce::String&,
                                     const juce::Drawable*, const juce::Colour*)
{
    if (isSeparator)
    {
        g.setColour (textColour);
        g.fillRect (area);
        return;
    }

    // Inactive items are deliberately not dimmed: they only lose the highlight.
    auto itemTextColour = textColour;
    if (isHighlighted && isActive)
    {
        g.setColour (accentColour);
        g.fillRect (area);
        itemTextColour = backgroundColour;
    }

    g.setColour (itemTextColour);
    if (hasSubMenu)
        g.fillPath (makeRightTriangle ((float) area.getWidth() - 8.0f, (float) area.getHeight() / 2.0f,
                                       (float) area.getHeight() * 0.54545456f));

    g.setFont (mainFont);
    g.drawFittedText (text, area.reduced (4), juce::Justification::centredLeft, 1, 1.0f);
}

void LookAndFeel::drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                              const juce::String& sectionName)
{
    g.setColour (textColour);
    g.setFont (mainFont);
    g.drawFittedText (sectionName, area, juce::Justification::centred, 1, 0.0f);
}

//==============================================================================
void LookAndFeel::fillTextEditorBackground (juce::Graphics& g, int, int, juce::TextEditor&)
{
    g.fillAll (backgroundColour);
}

void LookAndFeel::drawTextEditorOutline (juce::Graphics& g, int, int, juce::TextEditor& editor)
{
    g.setColour (highlightColour);
    g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, (float) editor.getWidth(), (float) editor.getHeight()), 1.0f);
}

//==============================================================================
int LookAndFeel::getTabButtonOverlap (int)
{
    return 0;
}

int LookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int)
{
    const auto textWidth = (int) std::ceil (mainFont.getStringWidthFloat (button.getButtonText()));
    return juce::jmax (40, textWidth + 12);
}

juce::Rectangle<int> LookAndFeel::getTabButtonExtraComponentBounds (const juce::TabBarButton&, juce::Rectangle<int>&,
                                                                    juce::Component&)
{
    return {};
}

void LookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);

    auto labelColour = textColour;
    if (button.getToggleState())
    {
        g.setColour (accentColour);
        g.fillPath (shape);
        labelColour = backgroundColour;
    }
    else
    {
        g.setColour (isMouseOver || isMouseDown ? accentColour : highlightColour);
        g.strokePath (shape, juce::PathStrokeType (3.0f));
    }

    g.setColour (labelColour);
    g.setFont (mainFont);
    g.drawText (button.getButtonText(), button.getTextArea(), juce::Justification::centred, true);
}

juce::Font LookAndFeel::getTabButtonFont (juce::TabBarButton&, float)
{
    return {};
}

void LookAndFeel::drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool, bool) {}

void LookAndFeel::drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int, int) {}

void LookAndFeel::fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&, bool, bool) {}

void LookAndFeel::createTabButtonShape (juce::TabBarButton& button, juce::Path& path, bool, bool)
{
    const auto area = button.getActiveArea().toFloat();
    const auto left = area.getX(), top = area.getY(), right = area.getRight(), bottom = area.getBottom();
    const auto radius = juce::jmin (8.0f, area.getWidth() / 2.0f, area.getHeight() / 2.0f);

    const auto index = button.getIndex();
    const auto isFirst = index == 0;
    const auto isLast = index == button.getTabbedButtonBar().getNumTabs() - 1;

    path.clear();
    if (isFirst)
    {
        // Only the outer top-left corner is rounded; a lone tab is a first tab.
        path.startNewSubPath (left, bottom);
        roundedCornerTo (path, { left, top }, { left, top + radius }, { left + radius, top });
        path.lineTo (right, top);
        path.lineTo (right, bottom);
        path.closeSubPath();
    }
    else if (isLast)
    {
        path.startNewSubPath (left, top);
        path.lineTo (right, top);
        roundedCornerTo (path, { right, bottom }, { right, bottom - radius }, { right - radius, bottom });
        path.lineTo (left, bottom);
        path.closeSubPath();
    }
    else
    {
        path.addRectangle (area);
    }
}

juce::Button* LookAndFeel::createTabBarExtrasButton()
{
    return new ExtrasButtonPlaceholder();
}

} // namespace juce::qorv_gui
