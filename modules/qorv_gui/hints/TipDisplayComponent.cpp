namespace juce::qorv_gui
{

const juce::String TipDisplayComponent::defaultHint ("Toggle button to disable hints.");
const juce::String TipDisplayComponent::hintsOffText ("Component Hints: Off");

TipDisplayComponent::TipDisplayComponent (const LookAndFeel& lf)
    : juce::Thread ("TipDisplayThread"),
      desktop (&juce::Desktop::getInstance()),
      switchSuite (lf)
{
    hintsEnabled = true;

    // Switched on before this strip listens, so the initial state fires no click.
    auto& button = switchSuite.getButton();
    button.setToggleState (true, juce::sendNotification);
    button.addListener (this);
    switchSuite.addAndMakeVisibleTo (*this);

    startThread (juce::Thread::Priority::low);
}

TipDisplayComponent::~TipDisplayComponent()
{
    stopPolling();
    switchSuite.getButton().removeListener (this);
}

bool TipDisplayComponent::stopPolling()
{
    return stopThread (stopTimeoutMs);
}

void TipDisplayComponent::resized()
{
    const auto side = juce::jmin (getWidth(), getHeight());
    switchSuite.setBounds (LabeledSuite::makeBounds (
        { 4.0f, 4.0f, (float) juce::jmax (side - 8, 0), (float) juce::jmax (getHeight() - 8, 0) },
        { (float) side, 0.0f, (float) (getWidth() - side), (float) getHeight() }));
}

void TipDisplayComponent::buttonClicked (juce::Button* button)
{
    if (button != &switchSuite.getButton())
        return;

    hintsEnabled = button->getToggleState();

    // Switching on shows nothing new here: the next poll puts the hint in.
    if (! hintsEnabled)
        switchSuite.setLabelText (hintsOffText);
}

juce::String TipDisplayComponent::hintUnderMouse() const
{
    auto* component = desktop->getMainMouseSource().getComponentUnderMouse();

    if (component == nullptr
        || component == getParentComponent()
        || component->isMouseButtonDown()
        || component->isCurrentlyBlockedByAnotherModalComponent())
        return defaultHint;

    // Only the component's own text counts; parents' hints do not leak into children.
    const auto text = component->getHelpText();
    return text.isEmpty() ? defaultHint : text;
}

void TipDisplayComponent::run()
{
    while (! threadShouldExit())
    {
        if (hintsEnabled)
        {
            // Bound to this thread: a stop request makes the lock attempt give up.
            const juce::MessageManagerLock lock (this);
            if (! lock.lockWasGained() || threadShouldExit())
                return;

            // The user may have switched off while this poll waited for the lock.
            if (hintsEnabled)
                switchSuite.setLabelText (hintUnderMouse());
        }

        // Unlike a plain sleep, this wait ends as soon as a stop is requested.
        wait (pollIntervalMs);
    }
}

} // namespace juce::qorv_gui
