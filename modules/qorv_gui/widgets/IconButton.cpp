namespace juce::qorv_gui
{

IconButton::IconButton (const void* svgData, size_t svgDataSize, juce::Colour iconColour,
                        const juce::String& buttonName, juce::Button::Listener* listener)
    : juce::DrawableButton (buttonName, juce::DrawableButton::ImageFitted)
{
    const auto source = juce::Drawable::createFromImageData (svgData, svgDataSize);

    // Unreadable data leaves an empty button instead of failing the owner.
    auto recoloured = [&] (juce::Colour colour) -> std::unique_ptr<juce::Drawable>
    {
        if (source == nullptr)
            return {};

        auto copy = source->createCopy();
        copy->replaceColour (colourToReplace, colour);
        return copy;
    };

    const auto normal = recoloured (iconColour);
    const auto over = recoloured (iconColour.darker (0.4f));
    const auto down = recoloured (iconColour.darker (1.3f));
    const auto disabled = recoloured (LookAndFeel::dimmed (iconColour));
    setImages (normal.get(), over.get(), down.get(), disabled.get());

    if (listener != nullptr)
        addListener (listener);
}

} // namespace juce::qorv_gui
