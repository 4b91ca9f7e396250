#pragma once

namespace juce::qorv_gui
{

/** The hint line: a one-line strip that shows the help text of the component
    under the mouse, with a square switch at its left end that turns hints off
    and on.

    A low-priority thread ("TipDisplayThread") polls every 160 ms. It touches the
    component tree only while it holds the message-thread lock, taken on behalf
    of the thread so that a stop request aborts the wait at once; the destructor
    stops the thread (waiting at most 1000 ms) before any member goes away. */
class TipDisplayComponent : public juce::Component,
                            public juce::Thread,
                            public juce::Button::Listener
{
public:
    explicit TipDisplayComponent (const LookAndFeel& lookAndFeel);
    ~TipDisplayComponent() override;

    /** Stops the polling thread, waiting at most 1000 ms; true if it has stopped.
        Owners that tear down in a fixed order may call it early. */
    bool stopPolling();
    bool isPolling() const { return isThreadRunning(); }

    bool areHintsEnabled() const noexcept { return hintsEnabled.load(); }
    juce::String getHintText() const { return switchSuite.getLabel().getText(); }
    BoxToggleButton& getSwitch() noexcept { return switchSuite.getButton(); }

    void resized() override;

    static const juce::String defaultHint;
    static const juce::String hintsOffText;
    static constexpr int pollIntervalMs = 160;
    static constexpr int stopTimeoutMs = 1000;

    /** The hint thread's poll loop. */
    void run() override;

    /** The switch: off shows "Component Hints: Off" at once; on lets the next poll fill in the hint. */
    void buttonClicked (juce::Button*) override;

private:
    /** The hint for whatever the main mouse source is over; message thread only. */
    juce::String hintUnderMouse() const;

    juce::Desktop* desktop;
    std::atomic<bool> hintsEnabled { true };
    ToggleButtonSuite switchSuite;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TipDisplayComponent)
};

} // namespace juce::qorv_gui
