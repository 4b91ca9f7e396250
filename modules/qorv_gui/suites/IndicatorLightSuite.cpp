namespace juce::qorv_gui
{

IndicatorLightSuite::IndicatorLightSuite (const LookAndFeel& lf)
    : label (lf),
      light (lf)
{
}

bool IndicatorLightSuite::owns (const juce::Component* component) const
{
    return component == &light || component == &label;
}

void IndicatorLightSuite::registerComponents (ComponentMap& map)
{
    registerPair (map, light, label, *this);
}

void IndicatorLightSuite::attach (juce::AudioProcessorValueTreeState& state, const juce::String& id,
                                  UserValueUpdater*, float)
{
    attachParameter (state, id);
}

void IndicatorLightSuite::addAndMakeVisibleTo (juce::Component& parent)
{
    parent.addAndMakeVisible (label);
    parent.addAndMakeVisible (light);
}

void IndicatorLightSuite::setBounds (const juce::Array<juce::Rectangle<float>>& rects)
{
    placePair (light, label, rects);
}

void IndicatorLightSuite::setLabelText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

void IndicatorLightSuite::setEnabled (bool shouldBeEnabled)
{
    light.setEnabled (shouldBeEnabled);
    label.setEnabled (shouldBeEnabled);
}

void IndicatorLightSuite::setVisible (bool shouldBeVisible)
{
    light.setVisible (shouldBeVisible);
    label.setVisible (shouldBeVisible);
}

void IndicatorLightSuite::setHelpText (const juce::String& text)
{
    light.setHelpText (text);
    label.setHelpText (text);
}

} // namespace juce::qorv_gui
