// Setting and reading the plug-in's parameters in their real units, as the host would.
#pragma once

#include "PluginProcessor.h"

#include <gtest/gtest.h>

namespace tandrel::test
{
/** Sets the parameter with this id to a value in its own units, notifying the
    host as an automation write does. An unknown id fails the test. */
inline void setParameter (PluginProcessor& processor, const juce::String& id, float value)
{
    auto* parameter = processor.getModelTree().getParameter (id);
    if (parameter == nullptr)
    {
        ADD_FAILURE() << "no parameter " << id;
        return;
    }
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** The value of the parameter with this id in its own units. */
inline float realValue (PluginProcessor& processor, const juce::String& id)
{
    auto* parameter = processor.getModelTree().getParameter (id);
    if (parameter == nullptr)
    {
        ADD_FAILURE() << "no parameter " << id;
        return 0.0f;
    }
    return parameter->convertFrom0to1 (parameter->getValue());
}
} // namespace tandrel::test
