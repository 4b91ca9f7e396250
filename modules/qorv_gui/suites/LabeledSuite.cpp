namespace juce::qorv_gui
{

void LabeledSuite::placePair (juce::Component& control, juce::Component& label,
                              const juce::Array<juce::Rectangle<float>>& rects)
{
    // A short list is tolerated: only the rectangles that were given are applied.
    if (rects.size() > 0)
        control.setBounds (rects.getReference (0).toNearestInt());
    if (rects.size() > 1)
        label.setBounds (rects.getReference (1).toNearestInt());
}

void LabeledSuite::registerPair (ComponentMap& map, juce::Component& control, juce::Component& label,
                                 LabeledSuite& suite)
{
    map.emplace (&control, &suite);
    map.emplace (&label, &suite);
}

} // namespace juce::qorv_gui
