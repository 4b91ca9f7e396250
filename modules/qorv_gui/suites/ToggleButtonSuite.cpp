namespace juce::qorv_gui
{

ToggleButtonSuite::ToggleButtonSuite (const LookAndFeel& lf)
    : label (lf),
      button (lf)
{
}

ToggleButtonSuite::~ToggleButtonSuite()
{
    button.attachment.reset();
}

bool ToggleButtonSuite::owns (const juce::Component* component) const
{
    return component == &button || component == &label;
}

void ToggleButtonSuite::registerComponents (ComponentMap& map)
{
    registerPair (map, button, label, *this);
}

void ToggleButtonSuite::addKeyListener (juce::KeyListener* listener)
{
    button.addKeyListener (listener);
    label.addKeyListener (listener);
}

void ToggleButtonSuite::attach (juce::AudioProcessorValueTreeState& state, const juce::String& id,
                                UserValueUpdater* newUpdater, float newStep)
{
    attachParameter (state, id);
    button.paramID = id;
    updater = newUpdater;

    if (newStep != 0.0f)
    {
        button.setWantsKeyboardFocus (true);
        step = newStep;
    }
}

void ToggleButtonSuite::attachParameter (juce::AudioProcessorValueTreeState& state, const juce::String& id)
{
    if (auto* parameter = state.getParameter (id))
    {
        button.attachment.reset();
        button.attachment = std::make_unique<juce::ButtonParameterAttachment> (*parameter, button, state.undoManager);
    }
}

void ToggleButtonSuite::nudge (int direction)
{
    if (updater != nullptr && direction != 0)
        updater->setUserValue (button.paramID, button.getToggleState() ? 0.0f : 1.0f);
}

void ToggleButtonSuite::addAndMakeVisibleTo (juce::Component& parent)
{
    parent.addAndMakeVisible (label);
    parent.addAndMakeVisible (button);
}

void ToggleButtonSuite::setBounds (const juce::Array<juce::Rectangle<float>>& rects)
{
    placePair (button, label, rects);
}

void ToggleButtonSuite::setLabelText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

void ToggleButtonSuite::setEnabled (bool shouldBeEnabled)
{
    button.setEnabled (shouldBeEnabled);
    label.setEnabled (shouldBeEnabled);
}

void ToggleButtonSuite::setVisible (bool shouldBeVisible)
{
    button.setVisible (shouldBeVisible);
    label.setVisible (shouldBeVisible);
}

void ToggleButtonSuite::setHelpText (const juce::String& text)
{
    button.setHelpText (text);
    label.setHelpText (text);
}

} // namespace juce::qorv_gui
