namespace juce::qorv_gui
{

namespace
{
constexpr float triangleHeightPerSide = 0.8660254f; // sqrt(3) / 2

juce::Path closedTriangle (juce::Point<float> a, juce::Point<float> b, juce::Point<float> c)
{
    juce::Path path;
    path.addTriangle (a, b, c);
    return path;
}
} // namespace

juce::Path makeDownTriangle (float apexX, float apexY, float side)
{
    const auto top = apexY - triangleHeightPerSide * side;
    return closedTriangle ({ apexX, apexY },
                           { apexX - side / 2.0f, top },
                           { apexX + side / 2.0f, top });
}

juce::Path makeRightTriangle (float apexX, float apexY, float side)
{
    const auto left = apexX - triangleHeightPerSide * side;
    return closedTriangle ({ apexX, apexY },
                           { left, apexY - side / 2.0f },
                           { left, apexY + side / 2.0f });
}

} // namespace juce::qorv_gui
