#pragma once

namespace juce::qorv_gui
{

/** Implemented by the processor: a value the user typed into a label or stepped
    with the arrow keys, in the parameter's own units. */
class UserValueUpdater
{
public:
    virtual void setUserValue (const juce::String& parameterId, float value) = 0;

protected:
    ~UserValueUpdater() = default;
};

} // namespace juce::qorv_gui
