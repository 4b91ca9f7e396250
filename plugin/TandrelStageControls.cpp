#include "TandrelStageControls.h"

using namespace juce::qorv_gui;

TandrelStageControls::TandrelStageControls (LookAndFeel& lf)
    : panelColour (lf.textColour),
      grid (lf, { (int) SuiteKind::indicatorLight, (int) SuiteKind::horizontalSlider,
                           (int) SuiteKind::horizontalSlider, (int) SuiteKind::horizontalSlider })
{
    // State 2: the stage was just muted by a click on its light.
    const auto accent = lf.accentColour;
    const auto dimmedAlpha = (juce::uint8) juce::jmin (255, juce::roundToInt (accent.getAlpha() * 0.6f));
    getLightSuite().getLight().stateColours.add (accent.withAlpha (dimmedAlpha));

    addAndMakeVisible (grid);
}

IndicatorLightSuite& TandrelStageControls::getLightSuite() const
{
    return *grid.getSuiteAs<IndicatorLightSuite> (lightSuite);
}

SliderSuite& TandrelStageControls::getSliderSuite (int index) const
{
    return *grid.getSuiteAs<SliderSuite> (index);
}

SliderSuite& TandrelStageControls::getSliderSuite (ParamKind kind) const
{
    jassert (sliderSuiteFor (kind) >= 0);
    return getSliderSuite (sliderSuiteFor (kind));
}

int TandrelStageControls::sliderSuiteFor (ParamKind kind) noexcept
{
    switch (kind)
    {
        case ParamKind::nSegs:   return nSegsSuite;
        case ParamKind::segSize: return segSizeSuite;
        case ParamKind::segMix:  return segMixSuite;
        case ParamKind::tone:
        case ParamKind::mode:
        case ParamKind::none:    break;
    }
    return -1;
}

void TandrelStageControls::paint (juce::Graphics& g)
{
    g.setColour (panelColour);
    g.drawRoundedRectangle (getLocalBounds().toFloat(), 20.0f, 3.0f);
}

void TandrelStageControls::resized()
{
    grid.setBounds (10, 10, juce::jmax (getWidth() - 20, 0), juce::jmax (getHeight() - 20, 0));
}
