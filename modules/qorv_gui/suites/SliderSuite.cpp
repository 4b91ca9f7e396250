namespace juce::qorv_gui
{

SliderSuite::SliderSuite (LookAndFeel& lf, juce::Slider::SliderStyle style)
    : label (lf),
      slider (style, juce::Slider::NoTextBox)
{
    slider.setLookAndFeel (&lf);
}

SliderSuite::~SliderSuite()
{
    attachment.reset();
    slider.setLookAndFeel (nullptr);
    label.removeListener (this);
}

void SliderSuite::attach (juce::AudioProcessorValueTreeState& state, const juce::String& id,
                          UserValueUpdater* newUpdater, float newStep)
{
    attachParameter (state, id);
    paramID = id;
    updater = newUpdater;

    // Single click edits; clicking elsewhere discards the edit.
    label.setEditable (true, false, true);
    label.removeListener (this);
    label.addListener (this);

    if (newStep != 0.0f)
    {
        slider.setWantsKeyboardFocus (true);
        step = newStep;
    }
}

void SliderSuite::attachParameter (juce::AudioProcessorValueTreeState& state, const juce::String& id)
{
    if (auto* parameter = state.getParameter (id))
    {
        attachment.reset();
        attachment = std::make_unique<juce::SliderParameterAttachment> (*parameter, slider, state.undoManager);
    }
}

void SliderSuite::nudge (int direction)
{
    if (updater == nullptr || direction == 0)
        return;

    auto value = (float) slider.getValue() + (float) direction * step;
    value = direction < 0 ? juce::jmax (value, (float) slider.getMinimum())
                          : juce::jmin (value, (float) slider.getMaximum());
    updater->setUserValue (paramID, value);
}

float SliderSuite::parseLabelValue (const juce::String& text)
{
    const juce::String separator (": ");
    const auto number = text.contains (separator) ? text.fromFirstOccurrenceOf (separator, false, false) : text;
    return (float) NumberText::withBoundedExponent (number).getDoubleValue();
}

void SliderSuite::labelTextChanged (juce::Label* changedLabel)
{
    if (updater != nullptr && changedLabel == &label)
        updater->setUserValue (paramID, parseLabelValue (label.getText()));
}

} // namespace juce::qorv_gui
