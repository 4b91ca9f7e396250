namespace juce::qorv_gui
{

IndicatorLightSuite::IndicatorLightSuite (const LookAndFeel& lf)
    : label (lf),
      light (lf)
{
}

} // namespace juce::qorv_gui
