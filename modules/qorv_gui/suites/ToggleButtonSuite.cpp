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

} // namespace juce::qorv_gui
