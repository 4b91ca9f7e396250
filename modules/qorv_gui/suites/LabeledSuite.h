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
};

/** The operations every suite performs alike on its control and its label,
    written once: Suite names the two with getControl() and getLabel(). A suite
    that does not claim its components overrides owns and registerComponents;
    one bound to a parameter overrides attach, attachParameter and nudge, which
    here bind nothing. */
template <typename Suite>
class LabeledSuitePair : public LabeledSuite
{
public:
    void addKeyListener (juce::KeyListener* listener) override
    {
        suite().getControl().addKeyListener (listener);
        suite().getLabel().addKeyListener (listener);
    }

    void attach (juce::AudioProcessorValueTreeState& state, const juce::String& paramID, UserValueUpdater*, float) override
    {
        attachParameter (state, paramID);
    }

    void attachParameter (juce::AudioProcessorValueTreeState&, const juce::String&) override {}
    void nudge (int) override {}

    bool owns (const juce::Component* component) const override
    {
        return component == &suite().getControl() || component == &suite().getLabel();
    }

    void registerComponents (ComponentMap& map) override
    {
        map.emplace (&suite().getControl(), this);
        map.emplace (&suite().getLabel(), this);
    }

    void addAndMakeVisibleTo (juce::Component& parent) override
    {
        parent.addAndMakeVisible (suite().getLabel());
        parent.addAndMakeVisible (suite().getControl());
    }

    void setBounds (const juce::Array<juce::Rectangle<float>>& rects) override
    {
        // A short list is tolerated: only the rectangles that were given are applied.
        if (rects.size() > 0)
            suite().getControl().setBounds (rects.getReference (0).toNearestInt());
        if (rects.size() > 1)
            suite().getLabel().setBounds (rects.getReference (1).toNearestInt());
    }

    void setLabelText (const juce::String& text) override
    {
        suite().getLabel().setText (text, juce::dontSendNotification);
    }

    void setEnabled (bool shouldBeEnabled) override
    {
        suite().getControl().setEnabled (shouldBeEnabled);
        suite().getLabel().setEnabled (shouldBeEnabled);
    }

    void setVisible (bool shouldBeVisible) override
    {
        suite().getControl().setVisible (shouldBeVisible);
        suite().getLabel().setVisible (shouldBeVisible);
    }

    void setHelpText (const juce::String& text) override
    {
        suite().getControl().setHelpText (text);
        suite().getLabel().setHelpText (text);
    }

protected:
    LabeledSuitePair() = default;
    ~LabeledSuitePair() = default;

private:
    Suite& suite() noexcept { return static_cast<Suite&> (*this); }
    const Suite& suite() const noexcept { return static_cast<const Suite&> (*this); }
};

} // namespace juce::qorv_gui
