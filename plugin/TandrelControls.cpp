#include "TandrelControls.h"

TandrelControls::TandrelControls (juce::qorv_gui::LookAndFeel& lf)
    : modeSuite (lf),
      toneSuite (lf, juce::Slider::LinearHorizontal)
{
    modeSuite.addAndMakeVisibleTo (*this);
    toneSuite.addAndMakeVisibleTo (*this);

    for (int stage = 0; stage < 3; ++stage)
        addAndMakeVisible (stageControls.add (new TandrelStageControls (lf)));
}

void TandrelControls::resized()
{
    using R = juce::Rectangle<float>;

    const float width = juce::jmax ((float) getWidth() - 20.0f, 0.0f);
    const float height = juce::jmax ((float) getHeight() - 20.0f, 0.0f);

    const float stripHeight = juce::jmin (height, 18.0f);
    const float stripY = 10.0f + height - stripHeight;

    const float panelPitch = (height - stripHeight) / 3.0f;
    for (int i = 0; i < stageControls.size(); ++i)
        stageControls[i]->setBounds (R (10.0f, 10.0f + (float) i * panelPitch, width, panelPitch - 10.0f).toNearestInt());

    const float usable = width - 10.0f;
    const float buttonSide = juce::jmin (usable, 18.0f);
    const float modeLabelWidth = juce::jmin (usable - buttonSide, 152.0f);
    modeSuite.setBounds (juce::qorv_gui::LabeledSuite::makeBounds (R (20.0f, stripY, buttonSide, stripHeight),
                                                                   R (20.0f + buttonSide, stripY, modeLabelWidth, stripHeight)));

    const float toneX = 20.0f + buttonSide + modeLabelWidth;
    const float toneRest = usable - buttonSide - modeLabelWidth;
    const float sliderLength = juce::jmax (juce::jmin (toneRest, 186.0f), 0.0f);
    toneSuite.setBounds (juce::qorv_gui::LabeledSuite::makeBounds (
        R (toneX, stripY + 1.0f, sliderLength, juce::jmax (stripHeight - 2.0f, 0.0f)),
        R (toneX + sliderLength, stripY, juce::jmin (toneRest - sliderLength, 164.0f), stripHeight)));
}
