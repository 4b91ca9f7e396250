#include "ParameterAssignment.h"

#include <qorv_gui/qorv_gui.h>

namespace
{
juce::AudioProcessorParameterWithID* findParameter (juce::AudioProcessor& processor, const juce::String& id)
{
    for (auto* parameter : processor.getParameters())
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            if (withId->paramID == id)
                return withId;
    return nullptr;
}

juce::String formatNumber (float value)
{
    return juce::String (value, 2).trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
}

juce::String describeRange (juce::AudioProcessorParameterWithID& parameter)
{
    if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (&parameter))
    {
        juce::StringArray items;
        for (int i = 0; i < choice->choices.size(); ++i)
            items.add (juce::String (i) + " = " + choice->choices[i]);
        return "one of " + items.joinIntoString (", ");
    }
    if (auto* integer = dynamic_cast<juce::AudioParameterInt*> (&parameter))
        return "whole numbers " + juce::String (integer->getRange().getStart()) + " to " + juce::String (integer->getRange().getEnd());
    if (auto* real = dynamic_cast<juce::AudioParameterFloat*> (&parameter))
        return formatNumber (real->range.start) + " to " + formatNumber (real->range.end);
    return "0 to 1";
}

juce::String describeDefault (juce::AudioProcessorParameterWithID& parameter)
{
    return parameter.getText (parameter.getDefaultValue(), 64);
}

bool parseNumber (const juce::String& text, double& value)
{
    const auto number = juce::qorv_gui::NumberText::parseWhole (text.trim());
    value = number.value_or (0.0);
    return number.has_value();
}
} // namespace

juce::String applyParameterAssignment (juce::AudioProcessor& processor, const juce::String& assignment)
{
    const auto id = assignment.upToFirstOccurrenceOf ("=", false, false).trim();
    const auto valueText = assignment.fromFirstOccurrenceOf ("=", false, false).trim();

    auto* parameter = findParameter (processor, id);
    if (parameter == nullptr)
    {
        juce::StringArray known;
        for (auto* p : processor.getParameters())
            if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (p))
                known.add ("\"" + withId->paramID + "\"");
        return "unknown parameter id \"" + id + "\"; known ids: " + known.joinIntoString (", ");
    }

    const auto outOfRange = [&]
    { return "value \"" + valueText + "\" is out of range for \"" + id + "\": expected " + describeRange (*parameter); };

    float normalised = 0.0f;
    double number = 0.0;

    if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter))
    {
        int index = choice->choices.indexOf (valueText, true);
        if (index < 0 && parseNumber (valueText, number) && number == std::floor (number))
            index = (int) number;
        if (index < 0 || index >= choice->choices.size())
            return outOfRange();
        normalised = choice->convertTo0to1 ((float) index);
    }
    else if (auto* integer = dynamic_cast<juce::AudioParameterInt*> (parameter))
    {
        const auto range = integer->getRange();
        // A fraction would be rounded to a count the user did not ask for.
        if (! parseNumber (valueText, number) || number != std::floor (number) || number < range.getStart() || number > range.getEnd())
            return outOfRange();
        normalised = integer->convertTo0to1 ((float) number);
    }
    else if (auto* real = dynamic_cast<juce::AudioParameterFloat*> (parameter))
    {
        if (! parseNumber (valueText, number) || number < real->range.start || number > real->range.end)
            return outOfRange();
        normalised = real->convertTo0to1 ((float) number);
    }
    else
        return "parameter \"" + id + "\" cannot be set from the command line";

    parameter->setValueNotifyingHost (normalised);
    return {};
}

juce::String describeParameters (juce::AudioProcessor& processor)
{
    juce::String text;
    for (auto* p : processor.getParameters())
        if (auto* parameter = dynamic_cast<juce::AudioProcessorParameterWithID*> (p))
            text << juce::String ("\"" + parameter->paramID + "\"").paddedRight (' ', 16) << "  " << describeRange (*parameter).paddedRight (' ', 28)
                 << "  default " << describeDefault (*parameter) << "\n";
    return text;
}
