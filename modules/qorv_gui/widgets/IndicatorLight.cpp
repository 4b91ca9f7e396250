namespace juce::qorv_gui
{

IndicatorLight::IndicatorLight (const LookAndFeel& lf)
    : juce::Button ("IndicatorLight"),
      offColour (lf.textColour),
      stateColours ({ lf.accentColour, lf.highlightColour })
{
}

bool IndicatorLight::setLightState (int newState)
{
    state = newState;
    repaint();
    return true;
}

void IndicatorLight::paintButton (juce::Graphics& g, bool, bool)
{
    const auto bounds = getLocalBounds().toFloat();

    if (state < 0)
    {
        g.setColour (offColour);
        g.drawEllipse (bounds, 2.0f);
        return;
    }

    g.setColour (juce::isPositiveAndBelow (state, stateColours.size()) ? stateColours.getUnchecked (state)
                                                                      : juce::Colours::transparentBlack);
    g.fillEllipse (bounds);
}

} // namespace juce::qorv_gui
