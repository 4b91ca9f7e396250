#include "Engine.h"

void applyParameterToEngine (Engine&, ParsedParameterId, float)
{
}

juce::String engineValueText (Engine&, ParsedParameterId)
{
    return {};
}
