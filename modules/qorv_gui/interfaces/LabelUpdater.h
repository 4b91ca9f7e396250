#pragma once

namespace juce::qorv_gui
{

/** Implemented by the editor: sets the value label of one parameter's control.
    kind is a parameter kind (0 N Segs … 4 Mode), stage 1..3 or -1 for globals. */
class LabelUpdater
{
public:
    virtual void updateLabel (const juce::String& text, int kind, int stage) = 0;

protected:
    ~LabelUpdater() = default;
};

} // namespace juce::qorv_gui
