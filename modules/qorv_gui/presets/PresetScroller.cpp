namespace juce::qorv_gui
{

PresetScroller::PresetScroller (const LookAndFeel& lf, PresetComponent& browser)
    : leftButton (TriangleButton::left, lf, "LeftScrollerButton", this),
      rightButton (TriangleButton::right, lf, "RightScrollerButton", this),
      presetComponent (&browser)
{
    addAndMakeVisible (leftButton);
    addAndMakeVisible (rightButton);
}

void PresetScroller::resized()
{
    const auto width = (float) getWidth();
    const auto height = (float) getHeight();

    // Square-ish arrows at the two ends; a wide scroller leaves a gap between.
    const auto s = juce::jmin (width / 2.0f, height / 2.0f);
    const auto t = juce::jmin (width - s, s);

    leftButton.setBounds (juce::Rectangle<float> (0.0f, 0.0f, s, height).toNearestInt());
    rightButton.setBounds (juce::Rectangle<float> (width - t, 0.0f, t, height).toNearestInt());
}

void PresetScroller::buttonClicked (juce::Button* button)
{
    const auto id = presetComponent->getManager().stepPreset (button == &leftButton ? -1 : 1);

    if (id != -1)
        presetComponent->selectPresetId (id, juce::sendNotificationSync);
}

} // namespace juce::qorv_gui
