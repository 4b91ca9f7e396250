#pragma once

namespace juce::qorv_gui
{

/** A control paired with the BasicLabel that names it and shows its value: the
    unit the editor binds to a parameter, lays out, steps with the arrow keys and
    gives a hint.

    Suites are built unattached; attach() binds the control to its parameter
    through a JUCE attachment (with the state's undo manager), while label edits
    and nudges go through the processor's UserValueUpdater. Owners keep suites by
    their concrete type; pointers to this interface are never owning. */
class LabeledSuite
{
public:
    using ComponentMap = std::map<juce::Component*, LabeledSuite*>;

    /** True if the component is this suite's control or label. */
    virtual bool owns (const juce::Component* component) const = 0;

    /** Maps the control and the label to this suite; keys already present keep their entry. */
    virtual void registerComponents (ComponentMap& map) = 0;

    /** Adds the listener to the components that take key presses. */
    virtual void addKeyListener (juce::KeyListener* listener) = 0;

    /** Binds the suite to a parameter. A non-zero step lets nudge() move the value
        and makes the control want keyboard focus. */
    virtual void attach (juce::AudioProcessorValueTreeState& state, const juce::String& paramID,
                         UserValueUpdater* updater, float step) = 0;

    /** Creates the JUCE parameter attachment; an unknown ID leaves the control unattached. */
    virtual void attachParameter (juce::AudioProcessorValueTreeState& state, const juce::String& paramID) = 0;

    /** Moves the value one step down (direction -1) or up (+1) through the updater. */
    virtual void nudge (int direction) = 0;

    virtual void addAndMakeVisibleTo (juce::Component& parent) = 0;

    /** rects[0] goes to the control, rects[1] to the label, rounded to whole pixels. */
    virtual void setBounds (const juce::Array<juce::Rectangle<float>>& rects) = 0;

    virtual void setLabelText (const juce::String& text) = 0;
    virtual void setEnabled (bool shouldBeEnabled) = 0;
    virtual void setVisible (bool shouldBeVisible) = 0;

    /** The same hint for the control and the label, read by the hint line. */
    virtual void setHelpText (const juce::String& text) = 0;

    /** The argument of setBounds(): control rectangle first, label rectangle second. */
    static juce::Array<juce::Rectangle<float>> makeBounds (juce::Rectangle<float> control, juce::Rectangle<float> label)
    {
        return { control, label };
    }

    UserValueUpdater* updater = nullptr;
    float step = 0.0f;

protected:
    LabeledSuite() = default;
    ~LabeledSuite() = default;

    /** The two components every suite consists of, in setBounds order. */
    static void placePair (juce::Component& control, juce::Component& label,
                           const juce::Array<juce::Rectangle<float>>& rects);
    static void registerPair (ComponentMap& map, juce::Component& control, juce::Component& label,
                              LabeledSuite& suite);
};

} // namespace juce::qorv_gui
